#include "animpage.h"

#include "animplayer.h"
#include "formlayout.h"
#include "numberfield.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace qm;

namespace {

constexpr int kOffsetRows = 64;

} // namespace

AnimPage::AnimPage(QWidget* parent)
    : QWidget(parent)
{
    auto* page = new QVBoxLayout(this);
    form::outer(page);
    m_player = form::named(new AnimPlayer(this), "animPlayer");
    page->addWidget(m_player);

    auto* top = new QHBoxLayout();
    form::nested(top);
    m_countLabel = form::named(new QLabel(this), "textLabel1_2");
    m_count = form::named(new QLineEdit(this), "lineFrameCount");
    m_unknownLabel = form::named(new QLabel(this), "textLabel2");
    m_unknown = form::named(new QLineEdit(this), "lineFrameUnknown");
    top->addWidget(m_countLabel);
    top->addWidget(m_count);
    top->addItem(form::horizontalSpacer());
    top->addWidget(m_unknownLabel);
    top->addWidget(m_unknown);
    page->addLayout(top);

    m_intervalGroup = form::named(new QGroupBox(this), "groupBox2");
    auto* intervals = new QGridLayout(m_intervalGroup);
    form::outer(intervals);
    intervals->setAlignment(Qt::AlignTop);
    m_startLabel = form::named(new QLabel(m_intervalGroup), "textLabel3");
    m_start = form::named(new QLineEdit(m_intervalGroup), "lineFrameStart");
    m_intervalLabel = form::named(new QLabel(m_intervalGroup), "textLabel4");
    m_interval = form::named(new QLineEdit(m_intervalGroup), "lineFrameInterval");
    intervals->addWidget(m_startLabel, 0, 0);
    intervals->addWidget(m_start, 0, 1);
    intervals->addWidget(m_intervalLabel, 1, 0);
    intervals->addWidget(m_interval, 1, 1);
    page->addWidget(m_intervalGroup);

    m_offsetGroup = form::named(new QGroupBox(this), "groupBox3");
    auto* offsets = new QVBoxLayout(m_offsetGroup);
    form::outer(offsets);
    offsets->setAlignment(Qt::AlignTop);
    m_offsets = form::named(new QTableWidget(kOffsetRows, 1, m_offsetGroup), "table1");
    m_offsets->horizontalHeader()->setStretchLastSection(true);
    // One line of text per offset: 64 rows should not need a long scroll.
    m_offsets->verticalHeader()->setDefaultSectionSize(m_offsets->fontMetrics().height() + 6);
    for (int r = 0; r < kOffsetRows; ++r)
        m_offsets->setItem(r, 0, new QTableWidgetItem(QStringLiteral("0")));
    offsets->addWidget(m_offsets);
    page->addWidget(m_offsetGroup, 1);

    for (QLineEdit* box : valueBoxes()) {
        makeNumberField(box, NumberRange::animationByte());
        connect(box, &QLineEdit::textEdited, this, &AnimPage::edited);
    }
    m_offsets->setItemDelegate(new NumberFieldDelegate(NumberRange::animationByte(), m_offsets));
    // Only what the user changes counts: our own filling runs with the table's signals blocked.
    connect(m_offsets, &QTableWidget::cellChanged, this, [this] {
        markOffsetsEdited();
        emit edited();
    });
    // The animation follows the values as they are typed, before they are applied.
    connect(this, &AnimPage::edited, this, [this] { m_player->setRecord(record()); });
    retranslate();
}

void AnimPage::retranslate()
{
    m_countLabel->setText(form::text("Count"));
    m_unknownLabel->setText(form::text("Unknown"));
    m_intervalGroup->setTitle(form::text("Intervals (50msec * value)"));
    m_startLabel->setText(form::text("Start"));
    m_intervalLabel->setText(form::text("Interval"));
    m_offsetGroup->setTitle(form::text("Offsets"));
    m_player->retranslate();
    m_offsets->setHorizontalHeaderLabels({ form::text("Offset") });
}

QList<QLineEdit*> AnimPage::valueBoxes() const
{
    return { m_count, m_unknown, m_start, m_interval };
}

void AnimPage::load(const anim_st& record)
{
    if (hasUnappliedEdits())
        return;
    // setText clears the boxes' modified marks.
    m_count->setText(QString::number(record.frameCount));
    m_unknown->setText(QString::number(record.frameUnknown));
    m_start->setText(QString::number(record.frameStart));
    m_interval->setText(QString::number(record.frameInterval));
    // Our own filling is no edit: the table must not report it.
    const QSignalBlocker quiet(m_offsets);
    for (int r = 0; r < int(record.frames.size()); ++r) {
        QTableWidgetItem* cell = m_offsets->item(r, 0);
        if (!cell) {
            cell = new QTableWidgetItem();
            m_offsets->setItem(r, 0, cell);
        }
        cell->setText(QString::number(record.frames[size_t(r)]));
    }
    m_player->setRecord(record);
}

bool AnimPage::hasUnappliedEdits() const
{
    bool edited = m_offsetsEdited;
    for (QLineEdit* box : valueBoxes())
        edited = edited || box->isModified();
    return edited;
}

bool AnimPage::takeEdits()
{
    const bool edited = hasUnappliedEdits();
    m_offsetsEdited = false;
    for (QLineEdit* box : valueBoxes())
        box->setModified(false);
    return edited;
}

anim_st AnimPage::record() const
{
    anim_st a;
    a.frameUnknown = readSignedByte(m_unknown->text());
    a.frameCount = readSignedByte(m_count->text());
    a.frameInterval = readSignedByte(m_interval->text());
    a.frameStart = readSignedByte(m_start->text());
    for (int r = 0; r < int(a.frames.size()); ++r) {
        const QTableWidgetItem* cell = m_offsets->item(r, 0);
        a.frames[size_t(r)] = cell ? readSignedByte(cell->text()) : qint8(0);
    }
    return a;
}

QString AnimPage::problem() const
{
    const QLabel* labels[] = { m_countLabel, m_unknownLabel, m_startLabel, m_intervalLabel };
    const QList<QLineEdit*> boxes = valueBoxes();
    for (int i = 0; i < boxes.size(); ++i) {
        const QString problem = numberFieldProblem(labels[i]->text(), boxes[i]->text(), NumberRange::animationByte());
        if (!problem.isEmpty())
            return problem;
    }
    for (int r = 0; r < m_offsets->rowCount(); ++r) {
        const QTableWidgetItem* cell = m_offsets->item(r, 0);
        // Offsets are numbered as the table's row headers show them, from 1.
        const QString problem = numberFieldProblem(form::text("Offset %1").arg(r + 1),
                                                   cell ? cell->text() : QString(), NumberRange::animationByte());
        if (!problem.isEmpty())
            return problem;
    }
    return QString();
}
