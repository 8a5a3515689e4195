// The "AnimData" page: a static tile's 64 frame offsets and four animation values.
#include "mywidget.h"

#include "itemkind.h"
#include "numberfield.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableWidget>

using namespace qm;

QList<QLineEdit*> myWidget::animFields() const
{
    return { lineFrameCount, lineFrameUnknown, lineFrameStart, lineFrameInterval };
}

// A page the user changed and has not applied keeps what the user typed.
void myWidget::setAnimData(int itemId, anim_st& data)
{
    if (itemId != id || kind != Static || animPageEdited())
        return;
    // setText clears the boxes' modified marks.
    lineFrameCount->setText(QString::number(data.frameCount));
    lineFrameUnknown->setText(QString::number(data.frameUnknown));
    lineFrameStart->setText(QString::number(data.frameStart));
    lineFrameInterval->setText(QString::number(data.frameInterval));
    // Our own filling is no edit: the table must not report it.
    const QSignalBlocker quiet(table1);
    for (int r = 0; r < int(data.frames.size()); ++r) {
        QTableWidgetItem* cell = table1->item(r, 0);
        if (!cell) {
            cell = new QTableWidgetItem();
            table1->setItem(r, 0, cell);
        }
        cell->setText(QString::number(data.frames[size_t(r)]));
    }
}

void myWidget::valueChanged(int, int)
{
    offsetsEdited = true;
}

bool myWidget::animPageEdited() const
{
    bool edited = offsetsEdited;
    for (QLineEdit* box : animFields())
        edited = edited || box->isModified();
    return edited;
}

bool myWidget::animEdited()
{
    if (kind != Static)
        return false;
    bool edited = offsetsEdited;
    offsetsEdited = false;
    bool anyBox = false;
    for (QLineEdit* box : animFields())
        anyBox = anyBox || box->isModified();
    if (anyBox) {
        for (QLineEdit* box : animFields())
            box->setModified(false);
        edited = true;
    }
    return edited;
}

anim_st myWidget::readAnimData()
{
    anim_st a;
    a.frameUnknown = readSignedByte(lineFrameUnknown->text());
    a.frameCount = readSignedByte(lineFrameCount->text());
    a.frameInterval = readSignedByte(lineFrameInterval->text());
    a.frameStart = readSignedByte(lineFrameStart->text());
    for (int r = 0; r < int(a.frames.size()); ++r) {
        const QTableWidgetItem* cell = table1->item(r, 0);
        a.frames[size_t(r)] = cell ? readSignedByte(cell->text()) : qint8(0);
    }
    return a;
}
