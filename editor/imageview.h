#pragma once

#include <QImage>
#include <QLabel>

// The picture of the image page. Game art is small pixel art: it is enlarged by whole
// factors without smoothing so that it stays crisp, a picture larger than the page (a big
// gump) is shrunk to fit, the aspect ratio is always kept, and transparent areas show a
// checkerboard so that they are told apart from black.
class ImageView : public QLabel {
    Q_OBJECT

public:
    explicit ImageView(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& shownImage() const { return m_image; }

    // Where a picture of `imageSize` is drawn inside `area`: centred, scaled by a whole
    // factor when it fits, shrunk to fit otherwise.
    static QRect placement(const QSize& imageSize, const QRect& area);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};
