#include "cataloguegridview.h"

#include "cataloguegridmodel.h"
#include "thumbnailcache.h"

#include <QPainter>
#include <QScrollBar>
#include <QSlider>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int kWheelStep = 16;

// Paints the item as usual, then a corner mark on items edited in the change set.
class EditedMarkDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
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
};

} // namespace

CatalogueGridView::CatalogueGridView(QWidget* parent)
    : QListView(parent)
{
    setObjectName(QStringLiteral("gridView"));
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);   // one size hint for all: 60,000 rows lay out at once
    setLayoutMode(QListView::SinglePass);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setWordWrap(false);
    setItemDelegate(new EditedMarkDelegate(this));
    setCellSize(m_cell);
}

void CatalogueGridView::setGridModel(CatalogueGridModel* model)
{
    m_model = model;
    setModel(model);
    if (model)
        model->cache()->setCellSize(m_cell);
}

QPair<int, int> CatalogueGridView::rowsInView() const
{
    if (!model() || model()->rowCount() == 0)
        return { -1, -1 };
    const QRect area = viewport()->rect();
    // Cells are uniform: the first and last rows lie at the corners, or the grid ends.
    QModelIndex first = indexAt(area.topLeft() + QPoint(2, 2));
    if (!first.isValid())
        first = indexAt(QPoint(area.left() + gridSize().width() / 2, area.top() + gridSize().height() / 2));
    QModelIndex last = indexAt(area.bottomRight() - QPoint(2, 2));
    const int lastRow = last.isValid() ? last.row() : model()->rowCount() - 1;
    return { first.isValid() ? first.row() : 0, lastRow };
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
