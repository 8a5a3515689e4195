#include "imageview.h"

#include <QPainter>

#include <algorithm>

ImageView::ImageView(QWidget* parent)
    : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ImageView::setImage(const QImage& image)
{
    m_image = image;
    setText(image.isNull() ? tr("No image") : QString());
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

QSize ImageView::sizeHint() const
{
    return QSize(200, 200);
}

QSize ImageView::minimumSizeHint() const
{
    return QSize(64, 64);
}

void ImageView::paintEvent(QPaintEvent* event)
{
    if (m_image.isNull()) {
        QLabel::paintEvent(event);
        return;
    }
    const QRect target = placement(m_image.size(), contentsRect());
    if (target.isEmpty())
        return;
    QPainter p(this);
    // Checkerboard behind the picture: transparent pixels are not black.
    const int cell = 8;
    p.save();
    p.setClipRect(target);
    p.fillRect(target, QColor(0xcc, 0xcc, 0xcc));
    for (int y = target.top(); y <= target.bottom(); y += cell)
        for (int x = target.left() + (((y - target.top()) / cell) % 2) * cell; x <= target.right();
             x += 2 * cell)
            p.fillRect(QRect(x, y, cell, cell), QColor(0xff, 0xff, 0xff));
    p.restore();
    const bool enlarged = target.width() >= m_image.width();
    p.setRenderHint(QPainter::SmoothPixmapTransform, !enlarged);
    p.drawImage(target, m_image);
}
