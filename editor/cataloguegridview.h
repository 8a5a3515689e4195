#pragma once

#include <QListView>
#include <QWidget>

class CatalogueGridModel;
class PictureDropTarget;
class QSlider;

// A catalogue as a grid of thumbnails with the id under each: a QListView in icon mode
// with uniform cells, 32 to 256 px, changed by Ctrl+wheel. Items the change set holds an
// edit of carry a marker. Rows beyond the view (a margin of one screen) are asked for ahead
// of scrolling. A picture file dropped onto a cell is announced for the owner to import.
class CatalogueGridView : public QListView {
    Q_OBJECT

public:
    static constexpr int kMinCell = 32;
    static constexpr int kMaxCell = 256;

    explicit CatalogueGridView(QWidget* parent = nullptr);

    // Also sets the model's cache to the size. The model must be a CatalogueGridModel.
    void setGridModel(CatalogueGridModel* model);
    CatalogueGridModel* gridModel() const { return m_model; }

    int cellSize() const { return m_cell; }
    // Small pictures drawn two, three or more times larger when the cell has room for that.
    bool scalesSmallPictures() const { return m_scaleUp; }
    void setScalesSmallPictures(bool on);
    // What the empty view says when no row passes the filter; empty while there are rows.
    QString emptyMessage() const;

    // Where a cell draws its picture and its id: the id keeps a row of its own at the
    // bottom, every picture stands on the line just above it (a common baseline) and is
    // centred across. Pictures larger than their room are fitted into it; with `scaleUp`,
    // pictures at most half their room are enlarged by the largest whole factor that fits.
    struct CellLayout {
        QRect picture;
        QRect label;
    };
    static CellLayout cellLayout(const QRect& cell, const QSize& picture, int labelHeight, bool scaleUp);
    // The first and last rows at least partly in view; -1, -1 when none.
    QPair<int, int> rowsInView() const;

public slots:
    void setCellSize(int pixels);

signals:
    void cellSizeChanged(int pixels);
    // A picture file was dropped onto the cell of item (kind, id).
    void pictureDropped(int kind, int id, const QString& path);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void prefetchMargin();

    CatalogueGridModel* m_model = nullptr;
    PictureDropTarget* m_dropTarget;
    int m_cell = 64;
    bool m_scaleUp = false;
};

// The grid with its cell-size slider under it, as a catalogue tab shows it.
class CatalogueGrid : public QWidget {
    Q_OBJECT

public:
    explicit CatalogueGrid(QWidget* parent = nullptr);
    CatalogueGridView* view() const { return m_view; }
    QSlider* slider() const { return m_slider; }

private:
    CatalogueGridView* m_view;
    QSlider* m_slider;
};
