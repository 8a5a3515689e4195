#pragma once

#include <QImage>
#include <QLabel>

// The picture of the image page. Game art is small pixel art: it is enlarged by whole
// factors without smoothing so that it stays crisp, and transparent areas show a
// checkerboard so that they are told apart from black. At zoom "fit" the picture fills the
// page by the largest whole factor, or is shrunk to fit when larger than the page (a big
// gump); at a chosen factor the view asks for the enlarged size, so that the scroll area
// around it scrolls. From 4× up a grid can outline each pixel.
class ImageView : public QLabel {
    Q_OBJECT

public:
    explicit ImageView(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& shownImage() const { return m_image; }

    // 0 fits the picture to the view; 1, 2, 4 or 8 enlarges it by that factor.
    void setZoom(int factor);
    int zoom() const { return m_zoom; }
    // Screen pixels per picture pixel as shown now (below 1 for a picture shrunk to fit).
    double scale() const;

    // The pixel grid, drawn while the zoom is 4× or more.
    void setGridWanted(bool wanted);
    bool drawsGrid() const { return m_gridWanted && m_zoom >= 4; }

    // Where the picture is drawn in the view.
    QRect pictureRect() const;
    // The picture's pixel under a point of the view; (-1, -1) when none is.
    QPoint pixelAt(const QPoint& pos) const;

    // Where a picture of `imageSize` is drawn inside `area`: centred, scaled by a whole
    // factor when it fits, shrunk to fit otherwise.
    static QRect placement(const QSize& imageSize, const QRect& area);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The mouse is over `pixel` of the picture, or over none when it is (-1, -1).
    void hovered(const QPoint& pixel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // The size the picture takes at the chosen factor, with the view's margins.
    QSize zoomedSize() const;

    void setHovered(const QPoint& pixel);

    QImage m_image;
    QPoint m_hovered { -1, -1 };
    int m_zoom = 0;
    bool m_gridWanted = false;
};
