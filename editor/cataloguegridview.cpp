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

// Draws a whole cell: the selection fills it, the picture stands on the baseline above the
// id's own row (so tall pictures never cover the id), and edited items carry a corner mark.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(CatalogueGridView* view)
        : QStyledItemDelegate(view)
        , m_view(view)
    {
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return m_view->gridSize();
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QRect r = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        painter->save();
        if (selected)
            painter->fillRect(r, palette.brush(QPalette::Highlight));
        const QPixmap picture = index.data(Qt::DecorationRole).value<QPixmap>();
        const int labelHeight = option.fontMetrics.height();
        const auto layout = CatalogueGridView::cellLayout(r, picture.deviceIndependentSize().toSize(), labelHeight,
                                                          m_view->scalesSmallPictures());
        if (!picture.isNull()) {
            // Whole-step enlargements keep the pixels square and sharp.
            const bool whole = layout.picture.width() % std::max(1, picture.width()) == 0
                               && layout.picture.width() >= picture.width();
            painter->setRenderHint(QPainter::SmoothPixmapTransform, !whole);
            painter->drawPixmap(layout.picture, picture);
        }
        painter->setFont(option.font);
        painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const QString id = index.data(Qt::DisplayRole).toString();
        painter->drawText(layout.label, Qt::AlignCenter,
                          option.fontMetrics.elidedText(id, Qt::ElideRight, layout.label.width()));
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(palette.color(QPalette::Highlight), 1, Qt::DotLine));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(r.adjusted(0, 0, -1, -1));
        }
        if (index.data(CatalogueGridModel::EditedRole).toBool()) {
            const int size = std::clamp(r.width() / 6, 6, 16);
            const QPoint corner = r.topRight() + QPoint(-2, 2);
            const QPolygon mark({ corner, corner - QPoint(size, 0), corner + QPoint(0, size) });
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(Qt::NoPen);
            painter->setBrush(QColor(230, 120, 0));
            painter->drawPolygon(mark);
        }
        painter->restore();
        if (index.data(CatalogueGridModel::AnimatedRole).toBool())
            paintAnimatedMark(painter, r);
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

private:
    CatalogueGridView* m_view;
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
    setItemDelegate(new CellDelegate(this));
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

void CatalogueGridView::setScalesSmallPictures(bool on)
{
    if (on == m_scaleUp)
        return;
    m_scaleUp = on;
    viewport()->update();
}

QString CatalogueGridView::emptyMessage() const
{
    return model() && model()->rowCount() == 0 ? tr("No items match") : QString();
}

CatalogueGridView::CellLayout CatalogueGridView::cellLayout(const QRect& cell, const QSize& picture,
                                                            int labelHeight, bool scaleUp)
{
    constexpr int kMargin = 2;
    const QRect inner = cell.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    CellLayout layout;
    layout.label = QRect(inner.left(), inner.bottom() - labelHeight + 1, inner.width(), labelHeight);
    const QRect room(inner.left(), inner.top(), inner.width(), std::max(0, inner.height() - labelHeight - kMargin));
    if (picture.isEmpty() || room.isEmpty())
        return layout;
    QSize size = picture;
    if (size.width() > room.width() || size.height() > room.height()) {
        size.scale(room.size(), Qt::KeepAspectRatio);
        size = size.expandedTo(QSize(1, 1));
    } else if (scaleUp) {
        const int factor = std::min(room.width() / size.width(), room.height() / size.height());
        if (factor >= 2)
            size *= factor;
    }
    // Bottom-aligned: every picture's foot on the same line, just above the id.
    layout.picture = QRect(room.left() + (room.width() - size.width()) / 2, room.bottom() - size.height() + 1,
                           size.width(), size.height());
    return layout;
}

void CatalogueGridView::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    const QString message = emptyMessage();
    if (message.isEmpty())
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(viewport()->rect().adjusted(8, 8, -8, -8), Qt::AlignHCenter | Qt::AlignTop, message);
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
