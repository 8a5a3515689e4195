#pragma once

#include "records.h"

#include <QList>
#include <QWidget>

class AnimPlayer;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTableWidget;

// The "AnimData" page of a static tile's window: the 64 frame offsets and the four values of
// its animation record, each a signed byte. Any edit sends the whole record as the page shows
// it. Above them the animation plays as the page's values stand, typed or not yet applied.
class AnimPage : public QWidget {
    Q_OBJECT

public:
    explicit AnimPage(QWidget* parent = nullptr);

    // Shows a record. A page the user changed and has not sent keeps what the user typed.
    void load(const qm::anim_st& record);
    // A complete record built from the page as it stands.
    qm::anim_st record() const;

    bool hasUnappliedEdits() const;
    // Whether the page was edited since the last call; forgets the edits.
    bool takeEdits();
    // Counts the offsets table as edited (the user changed a cell).
    void markOffsetsEdited() { m_offsetsEdited = true; }

    // Why a field or offset holds no value a signed byte can take, naming it; empty when
    // all are acceptable.
    QString problem() const;

    // The player showing the animation of the page's values.
    AnimPlayer* player() const { return m_player; }

    void retranslate();

signals:
    // The user changed a value or an offset.
    void edited();

private:
    QList<QLineEdit*> valueBoxes() const;

    QLabel* m_countLabel;
    QLineEdit* m_count;
    QLabel* m_unknownLabel;
    QLineEdit* m_unknown;
    QGroupBox* m_intervalGroup;
    QLabel* m_startLabel;
    QLineEdit* m_start;
    QLabel* m_intervalLabel;
    QLineEdit* m_interval;
    QGroupBox* m_offsetGroup;
    QTableWidget* m_offsets;
    AnimPlayer* m_player;

    bool m_offsetsEdited = false;
};
