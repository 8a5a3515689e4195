#include "differencesdock.h"

#include "cataloguefilterbox.h"
#include "dialogs.h"
#include "differencepatches.h"
#include "directoryview.h"
#include "editsession.h"
#include "sessiondiffside.h"
#include "sessiontake.h"
#include "tilefields.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace qm;

namespace {

constexpr int kDifferenceRole = Qt::UserRole + 1;   // the row's index into the result
constexpr int kPreviewSide = 160;

// The difference-kind choices, in the order of the drop-down; -1: every kind.
const QVector<QPair<QString, int>>& partChoices()
{
    static const QVector<QPair<QString, int>> choices {
        { QStringLiteral("All differences"), -1 },
        { QStringLiteral("Only here"), int(DiffPart::OnlyHere) },
        { QStringLiteral("Only there"), int(DiffPart::OnlyThere) },
        { QStringLiteral("Picture"), int(DiffPart::Picture) },
        { QStringLiteral("Tile data"), int(DiffPart::Tile) },
        { QStringLiteral("Animation data"), int(DiffPart::Anim) },
        { QStringLiteral("Cannot be read"), int(DiffPart::Unreadable) },
    };
    return choices;
}

QString tileValue(const TileField& field, const tile_struct& tile)
{
    const quint64 v = field.get(tile);
    return field.hex ? QStringLiteral("0x") + QString::number(v, 16) : QString::number(v);
}

QPixmap preview(const QImage& image)
{
    if (image.isNull())
        return QPixmap();
    const QImage shown = image.width() > kPreviewSide || image.height() > kPreviewSide
        ? image.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
        : image;
    return QPixmap::fromImage(shown);
}

} // namespace

// One comparison on the worker thread: its cancel flag and how far it got.
struct DifferencesDock::Job {
    std::atomic_bool cancel { false };
    std::atomic<qint64> done { 0 };
    std::atomic<qint64> total { 0 };
};

DifferencesDock::DifferencesDock(EditSession& session, QWidget* parent)
    : QDockWidget(QStringLiteral("Differences"), parent)
    , m_session(session)
    , m_poll(new QTimer(this))
{
    setObjectName(QStringLiteral("differencesDock"));
    m_pool.setMaxThreadCount(1);
    m_poll->setInterval(100);
    connect(m_poll, &QTimer::timeout, this, &DifferencesDock::pollProgress);
    buildWidgets();
    // Any later change to the session can make the list wrong; recomparing on every edit
    // would be slow on big directories, so the list is marked out of date and the user
    // compares again when ready.
    connect(&m_session, &EditSession::itemChanged, this, &DifferencesDock::markOutdated);
    connect(&m_session, &EditSession::itemListed, this, &DifferencesDock::markOutdated);
    connect(&m_session, &EditSession::itemUnlisted, this, &DifferencesDock::markOutdated);
    connect(&m_session, &EditSession::saved, this, &DifferencesDock::markOutdated);
    connect(&m_session, &EditSession::cataloguesReset, this, &DifferencesDock::markOutdated);
}

DifferencesDock::~DifferencesDock()
{
    cancel();
    m_pool.waitForDone();
}

void DifferencesDock::buildWidgets()
{
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    m_title = new QLabel(QStringLiteral("Choose File → Compare With… to compare with another data directory."), body);
    m_title->setObjectName(QStringLiteral("differenceTitle"));
    m_title->setWordWrap(true);
    m_counts = new QLabel(body);
    m_counts->setObjectName(QStringLiteral("differenceCounts"));
    auto* progressRow = new QHBoxLayout;
    m_progress = new QProgressBar(body);
    m_progress->setObjectName(QStringLiteral("differenceProgress"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), body);
    m_cancel->setObjectName(QStringLiteral("differenceCancel"));
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_cancel);
    m_again = new QPushButton(QStringLiteral("Compare Again"), body);
    m_again->setObjectName(QStringLiteral("differenceCompareAgain"));
    progressRow->addWidget(m_again);
    m_again->hide();
    connect(m_again, &QPushButton::clicked, this, &DifferencesDock::compareAgain);
    m_progress->hide();
    m_cancel->hide();
    connect(m_cancel, &QPushButton::clicked, this, &DifferencesDock::cancel);

    m_filter = new CatalogueFilterBox(body);
    auto* choiceRow = new QHBoxLayout;
    m_catalogue = new QComboBox(body);
    m_catalogue->setObjectName(QStringLiteral("differenceCatalogue"));
    m_catalogue->addItem(QStringLiteral("All catalogues"), -1);
    for (int kind = 0; kind < kItemKindCount; ++kind)
        m_catalogue->addItem(kindName(kind), kind);
    m_part = new QComboBox(body);
    m_part->setObjectName(QStringLiteral("differenceKinds"));
    for (const auto& choice : partChoices())
        m_part->addItem(choice.first, choice.second);
    choiceRow->addWidget(m_catalogue);
    choiceRow->addWidget(m_part, 1);
    connect(m_filter, &CatalogueFilterBox::filterChanged, this, &DifferencesDock::applyFilters);
    connect(m_catalogue, &QComboBox::currentIndexChanged, this, [this] {
        const int kind = m_catalogue->currentData().toInt();
        m_filter->setTileConditionsEnabled(kind < 0 || hasTileData(kind));
        applyFilters();
    });
    connect(m_part, &QComboBox::currentIndexChanged, this, &DifferencesDock::applyFilters);

    m_list = new QTreeWidget(body);
    m_list->setObjectName(QStringLiteral("differenceList"));
    m_list->setHeaderLabels({ QStringLiteral("Kind"), QStringLiteral("Id"), QStringLiteral("What") });
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &DifferencesDock::showCurrent);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* row) {
        const Difference& d = m_result.differences.at(row->data(0, kDifferenceRole).toInt());
        if (d.part == DiffPart::OnlyThere)
            emit openItemThere(d.kind, d.id);
        else
            emit openItem(d.kind, d.id);
    });

    auto* pictures = new QHBoxLayout;
    m_herePicture = new QLabel(body);
    m_herePicture->setObjectName(QStringLiteral("differenceHerePicture"));
    m_therePicture = new QLabel(body);
    m_therePicture->setObjectName(QStringLiteral("differenceTherePicture"));
    for (QLabel* l : { m_herePicture, m_therePicture }) {
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumSize(kPreviewSide / 2, kPreviewSide / 2);
        l->setFrameShape(QFrame::StyledPanel);
        auto* column = new QVBoxLayout;
        column->addWidget(new QLabel(l == m_herePicture ? QStringLiteral("Here") : QStringLiteral("There"), body));
        column->addWidget(l, 1);
        pictures->addLayout(column, 1);
    }
    m_tiles = new QTreeWidget(body);
    m_tiles->setObjectName(QStringLiteral("differenceTiles"));
    m_tiles->setHeaderLabels({ QStringLiteral("Field"), QStringLiteral("Here"), QStringLiteral("There") });
    m_tiles->setRootIsDecorated(false);

    auto* buttons = new QHBoxLayout;
    m_take = new QPushButton(QStringLiteral("Take…"), body);
    m_take->setObjectName(QStringLiteral("differenceTake"));
    m_export = new QPushButton(QStringLiteral("Export as Patch Files…"), body);
    m_export->setObjectName(QStringLiteral("differenceExport"));
    buttons->addWidget(m_take);
    buttons->addWidget(m_export);
    m_openThere = new QPushButton(QStringLiteral("Open There"), body);
    m_openThere->setObjectName(QStringLiteral("differenceOpenThere"));
    m_openThere->setToolTip(QStringLiteral("Open the current item as the other directory holds it, read-only"));
    buttons->addWidget(m_openThere);
    connect(m_openThere, &QPushButton::clicked, this, [this] {
        const QTreeWidgetItem* row = m_list->currentItem();
        if (!row || !m_other)
            return;
        const Difference& d = m_result.differences.at(row->data(0, kDifferenceRole).toInt());
        if (d.part == DiffPart::OnlyHere)
            emit statusMessage(QStringLiteral("%1 is not in %2").arg(itemName(d.kind, d.id), QDir::toNativeSeparators(m_otherDir)));
        else
            emit openItemThere(d.kind, d.id);
    });
    buttons->addStretch(1);
    connect(m_take, &QPushButton::clicked, this, &DifferencesDock::takeChosen);
    connect(m_export, &QPushButton::clicked, this, &DifferencesDock::exportChosen);

    auto* split = new QSplitter(Qt::Vertical, body);
    split->addWidget(m_list);
    auto* detail = new QWidget(split);
    auto* detailLayout = new QVBoxLayout(detail);
    detailLayout->setContentsMargins(0, 0, 0, 0);
    detailLayout->addLayout(pictures);
    detailLayout->addWidget(m_tiles, 1);
    split->addWidget(detail);

    layout->addWidget(m_title);
    layout->addLayout(progressRow);
    layout->addWidget(m_counts);
    layout->addWidget(m_filter);
    layout->addLayout(choiceRow);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    setWidget(body);
}

bool DifferencesDock::compareWith(const QString& otherDir, QString* error)
{
    cancel();
    m_pool.waitForDone();
    auto other = std::make_shared<const DirectoryView>(otherDir);
    if (!other->isOpen()) {
        *error = other->errorString();
        return false;
    }
    if (QFileInfo(otherDir).canonicalFilePath() == QFileInfo(m_session.directory()).canonicalFilePath()) {
        *error = QStringLiteral("%1 is the data directory being edited: both sides are the same directory")
                     .arg(QDir::toNativeSeparators(otherDir));
        m_title->setText(*error);
        return false;
    }
    m_otherDir = otherDir;
    m_other = other;
    // The snapshot below is taken now: changes made from here on make it out of date again.
    m_outdated = false;
    m_again->hide();
    m_result = DiffResult();
    m_list->clear();
    m_title->setText(QStringLiteral("Comparing with %1…").arg(QDir::toNativeSeparators(otherDir)));
    m_counts->clear();

    // The session's side is built here, on the session's thread; the worker reads only copies.
    auto here = std::make_shared<const SessionDiffSide>(m_session);
    auto job = std::make_shared<Job>();
    m_job = job;
    m_progress->setRange(0, 0);
    m_progress->show();
    m_cancel->show();
    m_poll->start();
    m_pool.start([this, here, other, job] {
        DiffOptions options;
        options.cancel = &job->cancel;
        options.progress = [job](qint64 done, qint64 total) {
            job->done = done;
            job->total = total;
        };
        DiffResult result;
        QString why;
        compareSides(*here, *other, options, &result, &why);
        QMetaObject::invokeMethod(this, [this, job, result, why] {
            if (m_job == job)
                finish(result, why);
        }, Qt::QueuedConnection);
    });
    return true;
}

void DifferencesDock::compareAgain()
{
    if (m_otherDir.isEmpty())
        return;
    QString error;
    if (!compareWith(m_otherDir, &error)) {
        m_title->setText(error);
        emit statusMessage(error);
    }
}

void DifferencesDock::markOutdated()
{
    if (m_otherDir.isEmpty())
        return;
    m_outdated = true;
    // A running comparison finishes first; its result is then shown as out of date.
    if (!isComparing())
        showOutdated();
}

void DifferencesDock::showOutdated()
{
    m_title->setText(QStringLiteral("Compared with %1: the session changed since, so the list may be out of date "
                                    "(Compare Again to refresh it)")
                         .arg(QDir::toNativeSeparators(m_otherDir)));
    m_again->show();
}

void DifferencesDock::cancel()
{
    if (m_job)
        m_job->cancel = true;
}

void DifferencesDock::pollProgress()
{
    if (!m_job)
        return;
    const qint64 total = m_job->total, done = m_job->done;
    if (total > 0) {
        m_progress->setRange(0, 1000);
        m_progress->setValue(int(done * 1000 / total));
    }
}

void DifferencesDock::finish(const DiffResult& result, const QString& error)
{
    m_job.reset();
    m_poll->stop();
    m_progress->hide();
    m_cancel->hide();
    m_result = result;
    const QString where = QDir::toNativeSeparators(m_otherDir);
    if (!error.isEmpty())
        m_title->setText(error);
    else if (result.cancelled)
        m_title->setText(QStringLiteral("Comparison with %1 cancelled: the list is incomplete").arg(where));
    else
        m_title->setText(QStringLiteral("Compared with %1 (opened read-only)").arg(where));
    fillList();
    showCounts();
    if (m_outdated)
        showOutdated();
    emit statusMessage(m_title->text());
    emit comparisonDone();
}

void DifferencesDock::showCounts()
{
    QStringList parts;
    for (int kind : m_result.kinds)
        parts << QStringLiteral("%1: %2").arg(kindName(kind)).arg(m_result.itemCount(kind));
    QStringList warnings;
    for (int kind : m_result.kinds)
        for (int side = 0; side < 2; ++side)
            for (const QString& w : { m_result.unreadable[kind][side], m_result.warnings[kind][side] })
                if (!w.isEmpty())
                    warnings << QStringLiteral("%1 %2: %3").arg(kindName(kind), sideName(DiffSideName(side)), w);
    m_counts->setText(parts.join(QStringLiteral("   ")));
    m_counts->setToolTip(warnings.join(QLatin1Char('\n')));
}

void DifferencesDock::fillList()
{
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(m_result.differences.size());
    for (int i = 0; i < m_result.differences.size(); ++i) {
        const Difference& d = m_result.differences.at(i);
        auto* row = new QTreeWidgetItem({ kindName(d.kind), hexId(d.id), differenceText(d) });
        row->setData(0, kDifferenceRole, i);
        rows << row;
    }
    m_list->addTopLevelItems(rows);
    m_list->setUpdatesEnabled(true);
    applyFilters();
}

bool DifferencesDock::rowPasses(const Difference& d) const
{
    const int kind = m_catalogue->currentData().toInt();
    if (kind >= 0 && d.kind != kind)
        return false;
    const int part = m_part->currentData().toInt();
    if (part >= 0 && int(d.part) != part)
        return false;
    const CatalogueFilter filter = m_filter->filter();
    if (filter.isEmpty())
        return true;
    if (!hasTileData(d.kind))
        return filter.matches(d.id, nullptr);
    const tile_struct tile = m_session.tile(ItemKind(d.kind), d.id);
    return filter.matches(d.id, &tile);
}

void DifferencesDock::applyFilters()
{
    int shown = 0;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = m_list->topLevelItem(i);
        const bool pass = rowPasses(m_result.differences.at(row->data(0, kDifferenceRole).toInt()));
        row->setHidden(!pass);
        shown += pass;
    }
    m_filter->setMatchCount(shown, m_list->topLevelItemCount());
}

QVector<Difference> DifferencesDock::shownDifferences() const
{
    QVector<Difference> out;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = m_list->topLevelItem(i);
        if (!row->isHidden())
            out << m_result.differences.at(row->data(0, kDifferenceRole).toInt());
    }
    return out;
}

QVector<ItemKey> DifferencesDock::chosenItems() const
{
    QVector<Difference> chosen;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = m_list->topLevelItem(i);
        if (!row->isHidden() && row->isSelected())
            chosen << m_result.differences.at(row->data(0, kDifferenceRole).toInt());
    }
    return differingItems(chosen.isEmpty() ? shownDifferences() : chosen);
}

void DifferencesDock::showCurrent()
{
    m_herePicture->clear();
    m_therePicture->clear();
    m_tiles->clear();
    const QTreeWidgetItem* row = m_list->currentItem();
    if (!row || !m_other)
        return;
    const Difference& d = m_result.differences.at(row->data(0, kDifferenceRole).toInt());
    const ItemKind kind = ItemKind(d.kind);
    QString why;
    const QImage here = m_session.image(kind, d.id);
    const QImage there = m_other->picture(kind, d.id, &why);
    m_herePicture->setPixmap(preview(here));
    if (here.isNull())
        m_herePicture->setText(QStringLiteral("here: no picture"));
    m_therePicture->setPixmap(preview(there));
    if (there.isNull())
        m_therePicture->setText(why.isEmpty() ? QStringLiteral("there: no picture") : QStringLiteral("there: ") + why);
    if (!hasTileData(kind)) {
        m_tiles->hide();
        return;
    }
    m_tiles->show();
    const tile_struct a = m_session.tile(kind, d.id);
    tile_struct b;
    bool present = false;
    m_other->tileRecord(kind, d.id, &b, &present, &why);
    const QStringList differing = differingTileFields(kind, a, b);
    auto add = [&](const QString& field, const QString& hereText, const QString& thereText) {
        auto* r = new QTreeWidgetItem(m_tiles, { field, hereText, present ? thereText : QStringLiteral("—") });
        if (differing.contains(field)) {
            QFont bold = r->font(0);
            bold.setBold(true);
            for (int c = 0; c < 3; ++c) {
                r->setFont(c, bold);
                r->setBackground(c, QColor(255, 225, 160));
            }
            r->setData(0, Qt::UserRole, true);
        }
    };
    add(QStringLiteral("name"), a.name, b.name);
    for (const TileField* f : tileFieldsOf(kind))
        add(QLatin1String(f->name), tileValue(*f, a), tileValue(*f, b));
}

void DifferencesDock::takeChosen()
{
    const QVector<ItemKey> items = chosenItems();
    if (!m_other || items.isEmpty() || isComparing())
        return;
    const int choice = Dialogs::get().choose(
        this, QStringLiteral("Take"),
        QStringLiteral("Take what of %1 item(s) from %2?").arg(items.size()).arg(QDir::toNativeSeparators(m_otherDir)),
        { QStringLiteral("All"), QStringLiteral("Picture"), QStringLiteral("Tile Data"), QStringLiteral("Animation Data") });
    static const int parts[] = { kTakeAll, ImagePart, TilePart, AnimPart };
    if (choice < 0 || choice > 3)
        return;
    QMap<int, QVector<int>> byKind;
    for (const ItemKey& item : items)
        byKind[item.kind] << item.id;
    QString error;
    bool ok = true;
    m_session.beginStep(items.size() == 1 ? QStringLiteral("Take %1").arg(itemName(items.first().kind, items.first().id))
                                          : QStringLiteral("Take %1 Items").arg(items.size()));
    for (auto it = byKind.cbegin(); ok && it != byKind.cend(); ++it)
        ok = takeItems(m_session, *m_other, ItemKind(it.key()), it.value(), parts[choice], &error);
    if (ok)
        m_session.endStep();
    if (!ok) {
        Dialogs::get().warning(this, QStringLiteral("Take"), error);
        return;
    }
    emit statusMessage(QStringLiteral("Took %1 item(s) from %2").arg(items.size()).arg(QDir::toNativeSeparators(m_otherDir)));
    QString why;
    compareWith(m_otherDir, &why);
}

void DifferencesDock::exportChosen()
{
    const QVector<ItemKey> items = chosenItems();
    if (!m_other || items.isEmpty())
        return;
    const int side = Dialogs::get().choose(this, QStringLiteral("Export as Patch Files"),
                                           QStringLiteral("Export %1 item(s) as they are:").arg(items.size()),
                                           { QStringLiteral("Here"), QStringLiteral("There") });
    if (side < 0)
        return;
    const QString folder = Dialogs::get().getExistingDirectory(this, QStringLiteral("Export as Patch Files"), QString());
    if (folder.isEmpty())
        return;
    QStringList written, skipped;
    QString error;
    if (!exportDifferencePatches(m_session, *m_other, side == 0 ? DiffSideName::Here : DiffSideName::There, items,
                                 folder, &written, &skipped, &error)) {
        Dialogs::get().warning(this, QStringLiteral("Export as Patch Files"), error);
        return;
    }
    QString text = QStringLiteral("Exported %1 patch file(s) to %2").arg(written.size()).arg(QDir::toNativeSeparators(folder));
    if (!skipped.isEmpty())
        text += QStringLiteral(" (%1 without an entry on that side left out)").arg(skipped.size());
    emit statusMessage(text);
}
