#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

class ImageView;
class QMenu;
class QPoint;

// The "Image" page of an item window: the item's picture, exported to a picture file or
// replaced by one (chosen in a dialog, dropped, or pasted). A replaced picture is brought to
// the size and shape the item's kind needs and waits on the page until the window sends it.
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

    // The page's menu with "Export" and "Import", at a screen position.
    void openMenu(const QPoint& globalPos);

    void retranslate();

signals:
    // The picture shown changed, stored or replaced.
    void pictureShown(const QImage& picture);
    // The user replaced the picture.
    void edited();

private:
    void showPicture(const QImage& picture);

    ImageView* m_view;
    QMenu* m_menu;
    QAction* m_exportAction;
    QAction* m_importAction;
    QImage m_picture;
    bool m_edited = false;
    int m_kind = -1;
    QString m_readOnlyReason;
};
