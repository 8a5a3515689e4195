// The "AnimData" page: a static tile's 64 frame offsets and four animation values.
#include "mywidget.h"

#include "itemkind.h"
#include "numberfield.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableWidget>

using namespace qm;

QList<QLineEdit*> myWidget::animFields() const
{
    return { lineFrameCount, lineFrameUnknown, lineFrameStart, lineFrameInterval };
}

void myWidget::makeAnimNumberFields()
{
    for (QLineEdit* box : animFields())
        makeNumberField(box, NumberRange::animationByte());
    table1->setItemDelegate(new NumberFieldDelegate(NumberRange::animationByte(), table1));
}

QString myWidget::animFieldProblem() const
{
    if (kind != Static)
        return QString();
    const QLabel* labels[] = { textLabel1_2, textLabel2, textLabel3, textLabel4 };
    const QList<QLineEdit*> boxes = animFields();
    for (int i = 0; i < boxes.size(); ++i) {
        const QString problem = numberFieldProblem(labels[i]->text(), boxes[i]->text(), NumberRange::animationByte());
        if (!problem.isEmpty())
            return problem;
    }
    for (int r = 0; r < table1->rowCount(); ++r) {
        const QTableWidgetItem* cell = table1->item(r, 0);
        // Offsets are numbered as the table's row headers show them, from 1.
        const QString problem = numberFieldProblem(tr("Offset %1").arg(r + 1), cell ? cell->text() : QString(),
                                                   NumberRange::animationByte());
        if (!problem.isEmpty())
            return problem;
    }
    return QString();
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
