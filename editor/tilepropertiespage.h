#pragma once

#include "records.h"

#include <QList>
#include <QWidget>

class QLabel;
class QLineEdit;
namespace qm {
struct TileField;
}

// The "Properties" page of a land or static tile's window: the record's numbers, each in the
// base it is known by. A land tile shows only its texture id, a static everything else. A
// field is read back only when the user typed in it, so an untouched value passes through
// exactly as received.
class TilePropertiesPage : public QWidget {
    Q_OBJECT

public:
    explicit TilePropertiesPage(QWidget* parent = nullptr);

    // The kind of the item: which fields show and are read back.
    void setKind(int kind);
    // Shows a record. Fields the user changed and has not sent keep what the user typed.
    void load(const qm::tile_struct& record);
    // Reads the fields the user typed in into `record`; true when there was any. A read-only
    // page reads nothing back.
    bool readInto(qm::tile_struct& record);
    bool hasUnappliedEdits() const;

    void setReadOnly(bool readOnly);

    // Why a field holds no value its part of the record can take, naming the field; empty
    // when every field is acceptable.
    QString problem() const;

    void retranslate();

signals:
    // The user typed in a field.
    void edited();

private:
    struct Field {
        QLabel* label;
        QLineEdit* box;
        const qm::TileField* field;   // nullptr while the item's kind does not carry it
        const char* caption;
        const char* name;
    };

    QList<Field> m_fields;   // in the order they are read back
    int m_kind = -1;
    bool m_readOnly = false;
};
