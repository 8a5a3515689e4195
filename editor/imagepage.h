#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

namespace qm {
struct HueFile;
}

class HueChooser;
class ImageView;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QMenu;
class QPoint;
class QScrollArea;

// The "Image" page of an item window: the item's picture, exported to a picture file or
// replaced by one (chosen in a dialog, dropped, or pasted). A replaced picture is brought to
// the size and shape the item's kind needs and waits on the page until the window sends it.
// A tool row zooms the picture (fit, 1×, 2×, 4×, 8×, with a pixel grid from 4×); the line
// under it gives the picture's size and the stored colour of the pixel under the mouse.
// A hue chooser previews the picture hued as the game would draw it; the preview changes
// nothing, and Export writes the stored picture unless "Export as shown" is checked.
class ImagePage : public QWidget {
    Q_OBJECT

public:
    explicit ImagePage(QWidget* parent = nullptr);

    // The kind of the item: what size and shape a new picture is given.
    void setKind(int kind);
    // Shows the item's stored picture. A picture replaced here and not yet sent stays; the
    // stored one shows once it is sent or dropped.
    void load(const QImage& picture);
    const QImage& picture() const { return m_picture; }

    // Whether a replaced picture waits to be sent.
    bool hasUnappliedEdits() const { return m_edited; }
    // True once for a waiting picture: the caller sends picture() and the page forgets the edit.
    bool takeEdit();
    // Forgets a waiting picture without sending it (the item was deleted).
    void dropEdit() { m_edited = false; }

    // `reason` (naming the file) refuses every new picture; empty allows them again.
    void setReadOnlyReason(const QString& reason);

    // Asks for a file name and writes the picture there.
    void exportPicture();
    // Asks for a picture file and takes it as the new picture.
    void importPicture();
    // Takes a picture file as the new picture; false (with a message) when it is refused.
    bool importFile(const QString& path);
    // Takes `picture` from `source` (words for a message) as the new picture; false (with a
    // message under `title`) when the item cannot take it.
    bool replacePicture(const QImage& picture, const QString& source, const QString& title);

    // Puts the picture on the clipboard.
    void copyPicture();
    // Takes the clipboard's picture as the new picture, under Import's rules.
    void pastePicture();

    // The page's menu with "Export", "Import", "Copy" and "Paste", at a screen position.
    void openMenu(const QPoint& globalPos);

    // The zoom levels offered: 0 fits the picture to the page, the others are factors.
    static const QList<int>& zoomLevels();
    void setZoom(int level);
    int zoom() const;
    // One level up (+1) or down (-1) from the scale shown now.
    void stepZoom(int direction);
    // Ctrl+0 (fit), Ctrl+1 (1×), Ctrl++ and Ctrl+- while the focus is inside `scope`.
    void addZoomShortcuts(QWidget* scope);

    // The hues the chooser offers.
    void setHues(const qm::HueFile& hues);
    // The item's tile flags: a static's Partial Hue flag makes the preview partial by default.
    void setTileFlags(quint64 flags);
    HueChooser* hueChooser() const { return m_hueChooser; }
    // The picture as the page shows it: hued while a preview hue is chosen, else the picture.
    QImage shownPicture() const;
    // Whether Export writes the picture as shown rather than as stored.
    QAction* exportAsShownAction() const { return m_exportAsShownAction; }

    // The line under the picture.
    QString pixelLine() const;

    void retranslate();

signals:
    // The picture shown changed, stored or replaced.
    void pictureShown(const QImage& picture);
    // The user replaced the picture.
    void edited();

protected:
    // Ctrl and the wheel zoom; without Ctrl the wheel scrolls.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPicture(const QImage& picture);
    void showPixel(const QPoint& pixel);
    void showHue();
    void resetHueMode();

    ImageView* m_view;
    QScrollArea* m_scroll;
    QButtonGroup* m_zoomButtons;
    QCheckBox* m_gridBox;
    QLabel* m_pixelLine;
    QPoint m_hovered { -1, -1 };
    QMenu* m_menu;
    QAction* m_exportAction;
    QAction* m_importAction;
    QAction* m_copyAction;
    QAction* m_pasteAction;
    QAction* m_exportAsShownAction;
    HueChooser* m_hueChooser;
    quint64 m_tileFlags = 0;
    QImage m_picture;
    bool m_edited = false;
    int m_kind = -1;
    QString m_readOnlyReason;
};
