#include "imageview.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

ImageView::ImageView(QWidget* parent)
    : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMouseTracking(true);   // the pixel line follows the mouse without a button held
}

void ImageView::setImage(const QImage& image)
{
    m_image = image;
    m_hovered = QPoint(-1, -1);
    setText(image.isNull() ? tr("No image") : QString());
    updateGeometry();
    update();
}

void ImageView::setZoom(int factor)
{
    m_zoom = std::max(0, factor);
    updateGeometry();
    update();
}

void ImageView::setGridWanted(bool wanted)
{
    m_gridWanted = wanted;
    update();
}

QRect ImageView::placement(const QSize& imageSize, const QRect& area)
{
    if (imageSize.isEmpty() || area.isEmpty())
        return QRect();
    QSize shown;
    if (imageSize.width() <= area.width() && imageSize.height() <= area.height()) {
        const int factor = std::max(1, std::min(area.width() / imageSize.width(),
                                                area.height() / imageSize.height()));
        shown = imageSize * factor;
    } else {
        shown = imageSize.scaled(area.size(), Qt::KeepAspectRatio);
        shown = shown.expandedTo(QSize(1, 1));
    }
    QRect r(QPoint(0, 0), shown);
    r.moveCenter(area.center());
    // moveCenter rounds towards the top left; keep the picture inside the area.
    r.moveLeft(std::max(area.left(), r.left()));
    r.moveTop(std::max(area.top(), r.top()));
    return r;
}

QRect ImageView::pictureRect() const
{
    if (m_image.isNull())
        return QRect();
    if (m_zoom == 0)
        return placement(m_image.size(), contentsRect());
    const QRect area = contentsRect();
    QRect r(QPoint(0, 0), m_image.size() * m_zoom);
    // Centred while the view is larger than the picture, from the top left once it scrolls.
    r.moveLeft(area.left() + std::max(0, (area.width() - r.width()) / 2));
    r.moveTop(area.top() + std::max(0, (area.height() - r.height()) / 2));
    return r;
}

double ImageView::scale() const
{
    const QRect r = pictureRect();
    return r.isEmpty() ? 0.0 : double(r.width()) / m_image.width();
}

QPoint ImageView::pixelAt(const QPoint& pos) const
{
    const QRect r = pictureRect();
    if (r.isEmpty() || !r.contains(pos))
        return QPoint(-1, -1);
    const int x = int(std::floor(double(pos.x() - r.left()) * m_image.width() / r.width()));
    const int y = int(std::floor(double(pos.y() - r.top()) * m_image.height() / r.height()));
    return QPoint(std::clamp(x, 0, m_image.width() - 1), std::clamp(y, 0, m_image.height() - 1));
}

QSize ImageView::zoomedSize() const
{
    const QMargins m = contentsMargins();
    return m_image.size() * m_zoom + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize ImageView::sizeHint() const
{
    if (m_zoom > 0 && !m_image.isNull())
        return zoomedSize();
    return QSize(200, 200);
}

QSize ImageView::minimumSizeHint() const
{
    if (m_zoom > 0 && !m_image.isNull())
        return zoomedSize();
    return QSize(64, 64);
}

void ImageView::setHovered(const QPoint& pixel)
{
    if (pixel == m_hovered)
        return;
    m_hovered = pixel;
    update();
    emit hovered(pixel);
}

void ImageView::mouseMoveEvent(QMouseEvent* event)
{
    setHovered(pixelAt(event->position().toPoint()));
    QLabel::mouseMoveEvent(event);
}

void ImageView::leaveEvent(QEvent* event)
{
    setHovered(QPoint(-1, -1));
    QLabel::leaveEvent(event);
}

void ImageView::paintEvent(QPaintEvent* event)
{
    if (m_image.isNull()) {
        QLabel::paintEvent(event);
        return;
    }
    const QRect target = pictureRect();
    if (target.isEmpty())
        return;
    QPainter p(this);
    // Only what is exposed is drawn: an 8× gump is far larger than the scrolled window.
    const QRect visible = target & event->rect();
    p.setClipRect(visible);
    // Checkerboard behind the picture: transparent pixels are not black.
    const int cell = 8;
    p.fillRect(visible, QColor(0xcc, 0xcc, 0xcc));
    const int firstRow = target.top() + (visible.top() - target.top()) / cell * cell;
    for (int y = firstRow; y <= visible.bottom(); y += cell) {
        const int shift = (((y - target.top()) / cell) % 2) * cell;
        const int firstX = target.left() + shift
            + std::max(0, (visible.left() - target.left() - shift) / (2 * cell) * (2 * cell));
        for (int x = firstX; x <= visible.right(); x += 2 * cell)
            p.fillRect(QRect(x, y, cell, cell), QColor(0xff, 0xff, 0xff));
    }
    // Whole-factor enlargements stay sharp; only a picture shrunk to fit is smoothed.
    const bool enlarged = target.width() >= m_image.width();
    p.setRenderHint(QPainter::SmoothPixmapTransform, !enlarged);
    if (m_zoom > 0) {
        // Only the pixels in view, each drawn as a z × z square.
        const int z = m_zoom;
        const QRect source = QRect(QPoint((visible.left() - target.left()) / z,
                                          (visible.top() - target.top()) / z),
                                   QPoint((visible.right() - target.left()) / z,
                                          (visible.bottom() - target.top()) / z))
            & m_image.rect();
        p.drawImage(QRect(target.topLeft() + source.topLeft() * z, source.size() * z), m_image, source);
    } else {
        p.drawImage(target, m_image);
    }
    if (drawsGrid()) {
        p.setPen(QColor(0x30, 0x30, 0x30, 0x80));
        const int z = m_zoom;
        const int x0 = std::max(0, (visible.left() - target.left()) / z);
        const int x1 = std::min(m_image.width(), (visible.right() - target.left()) / z + 1);
        const int y0 = std::max(0, (visible.top() - target.top()) / z);
        const int y1 = std::min(m_image.height(), (visible.bottom() - target.top()) / z + 1);
        for (int x = x0; x <= x1; ++x)
            p.drawLine(target.left() + x * z, visible.top(), target.left() + x * z, visible.bottom());
        for (int y = y0; y <= y1; ++y)
            p.drawLine(visible.left(), target.top() + y * z, visible.right(), target.top() + y * z);
    }
    // The pixel the line under the picture describes, once pixels are large enough to frame.
    if (m_zoom >= 4 && m_image.rect().contains(m_hovered)) {
        const QRect pixel(target.topLeft() + m_hovered * m_zoom, QSize(m_zoom, m_zoom));
        p.setPen(QPen(Qt::white, 1));
        p.drawRect(pixel.adjusted(-1, -1, 0, 0));
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(pixel.adjusted(-2, -2, 1, 1));
    }
}
