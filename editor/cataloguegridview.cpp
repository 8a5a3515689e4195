#include "cataloguegridview.h"

#include "cataloguegridmodel.h"
#include "picturedrop.h"
#include "thumbnailcache.h"

#include <QPainter>
#include <QScrollBar>
#include <QSlider>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

using namespace qm;

namespace {

constexpr int kWheelStep = 16;

// Paints the item as usual, then a corner mark on items edited in the change set, and a small
// "plays" triangle in the lower left corner of animated statics.
class EditedMarkDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.data(CatalogueGridModel::AnimatedRole).toBool())
            paintAnimatedMark(painter, option.rect);
        if (!index.data(CatalogueGridModel::EditedRole).toBool())
            return;
        const QRect r = option.rect;
        const int size = std::clamp(r.width() / 6, 6, 16);
        const QPoint corner = r.topRight() + QPoint(-2, 2);
        const QPolygon mark({ corner, corner - QPoint(size, 0), corner + QPoint(0, size) });
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(230, 120, 0));
        painter->drawPolygon(mark);
        painter->restore();
    }

    static void paintAnimatedMark(QPainter* painter, const QRect& r)
    {
        const int size = std::clamp(r.width() / 7, 6, 14);
        const QPoint corner = r.bottomLeft() + QPoint(3, -3 - size);
        const QPolygon mark({ corner, corner + QPoint(0, size), corner + QPoint(size * 4 / 5, size / 2) });
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(Qt::white, 1));
        painter->setBrush(QColor(30, 110, 220));
        painter->drawPolygon(mark);
        painter->restore();
    }
};

} // namespace

CatalogueGridView::CatalogueGridView(QWidget* parent)
    : QListView(parent)
{
    setObjectName(QStringLiteral("gridView"));
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);   // one size hint for all rows, asked once
    // Laid out in batches between events: the first screen shows before all 60,000 cells are placed.
    setLayoutMode(QListView::Batched);
    setBatchSize(2000);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setWordWrap(false);
    setItemDelegate(new EditedMarkDelegate(this));
    setCellSize(m_cell);
    m_dropTarget = new PictureDropTarget(this, -1);
    connect(m_dropTarget, &PictureDropTarget::pictureDropped, this, &CatalogueGridView::pictureDropped);
}

void CatalogueGridView::setGridModel(CatalogueGridModel* model)
{
    m_model = model;
    setModel(model);
    m_dropTarget->setKind(model ? model->kind() : -1);
    if (model)
        model->cache()->setCellSize(m_cell);
}

QPair<int, int> CatalogueGridView::rowsInView() const
{
    const int count = model() ? model()->rowCount() : 0;
    const QSize cell = gridSize();
    if (count == 0 || cell.isEmpty())
        return { -1, -1 };
    // Cells are uniform and fill the grid row by row: the row under the top left corner
    // (or the first cell of the top grid line) and enough whole grid lines to cover the view.
    const QRect area = viewport()->rect();
    QModelIndex first = indexAt(area.topLeft() + QPoint(cell.width() / 2, 1));
    if (!first.isValid())
        first = indexAt(area.topLeft() + QPoint(cell.width() / 2, cell.height() / 2));
    const int firstRow = first.isValid() ? first.row() : 0;
    const int columns = std::max(1, area.width() / cell.width());
    const int lines = area.height() / cell.height() + 2;
    const int lineStart = firstRow - firstRow % columns;
    return { firstRow, std::min(count - 1, lineStart + columns * lines - 1) };
}

void CatalogueGridView::setCellSize(int pixels)
{
    pixels = std::clamp(pixels, kMinCell, kMaxCell);
    const bool changed = pixels != m_cell;
    m_cell = pixels;
    setIconSize(QSize(pixels, pixels));
    setGridSize(QSize(pixels + 12, pixels + fontMetrics().height() + 10));
    if (m_model) {
        m_model->cache()->setCellSize(pixels);
        m_model->cellSizeChanged();
    }
    if (changed)
        emit cellSizeChanged(pixels);
}

void CatalogueGridView::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps != 0)
            setCellSize(m_cell + steps * kWheelStep);
        event->accept();
        return;
    }
    QListView::wheelEvent(event);
}

void CatalogueGridView::scrollContentsBy(int dx, int dy)
{
    QListView::scrollContentsBy(dx, dy);
    prefetchMargin();
}

void CatalogueGridView::resizeEvent(QResizeEvent* event)
{
    QListView::resizeEvent(event);
    prefetchMargin();
}

void CatalogueGridView::prefetchMargin()
{
    if (!m_model)
        return;
    const auto [first, last] = rowsInView();
    if (first < 0)
        return;
    // One screen below and above; asked before the view paints, so the cells in view,
    // asked while painting, are newer and decoded first.
    const int screen = last - first + 1;
    m_model->prefetch(last + 1, last + screen);
    m_model->prefetch(first - screen, first - 1);
}

CatalogueGrid::CatalogueGrid(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new CatalogueGridView(this);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("cellSizeSlider"));
    m_slider->setRange(CatalogueGridView::kMinCell, CatalogueGridView::kMaxCell);
    m_slider->setSingleStep(8);
    m_slider->setPageStep(32);
    m_slider->setValue(m_view->cellSize());
    m_slider->setToolTip(tr("Picture size (Ctrl+wheel over the grid)"));
    layout->addWidget(m_view, 1);
    layout->addWidget(m_slider);
    connect(m_slider, &QSlider::valueChanged, m_view, &CatalogueGridView::setCellSize);
    connect(m_view, &CatalogueGridView::cellSizeChanged, m_slider, &QSlider::setValue);
}
