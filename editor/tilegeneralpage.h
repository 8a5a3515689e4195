#pragma once

#include "records.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;

// The "General" page of a land or static tile's window: the tile's name and its flags, one
// check box per bit of the low 32, and for the wide tile data layout a field for bits 32 to
// 63. The boxes change a working flag word at once; the name and the high bits are read back
// only when the window sends the record.
class TileGeneralPage : public QWidget {
    Q_OBJECT

public:
    explicit TileGeneralPage(QWidget* parent = nullptr);

    // Shows a record. What the user changed and has not sent keeps what the user typed.
    void load(const qm::tile_struct& record);
    // Copies the name and flags into `record` when they differ from what was loaded or sent;
    // true when anything changed. A read-only page reads nothing back.
    bool readInto(qm::tile_struct& record);
    bool hasUnappliedEdits() const;

    // The working copy of the low 32 flag bits.
    quint32 flagWord() const { return m_flagWord; }
    // Sets or clears one bit of the working flag word (the bit is taken modulo 32).
    void setFlag(int bit, bool on);
    // Checks the 32 boxes as `flags` says; the working word follows the boxes.
    void setFlags(quint32 flags);
    // The check box of flag bit 0 to 31.
    QCheckBox* flagBox(int bit) const { return m_boxes[bit]; }

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    // The wide layout stores flag bits 32 to 63; only it shows their field.
    void setShowsHighFlags(bool shown);
    bool showsHighFlags() const { return m_wide; }

    // Why the high flags field holds no value the record can take; empty when it does.
    QString problem() const;

    void retranslate();

signals:
    // The user changed the name, a flag or the high flags.
    void edited();

private:
    QLabel* m_nameLabel;
    QLineEdit* m_name;
    QGroupBox* m_flagGroup;
    QCheckBox* m_boxes[32];
    QLabel* m_highLabel;
    QLineEdit* m_high;

    quint32 m_flagWord = 0;
    quint64 m_shownFlags = 0;   // the flags of the record last loaded or sent
    bool m_readOnly = false;
    bool m_wide = false;
};
