#pragma once

// Records what an editor window sends, by value, as the main window would receive it.
#include "mywidget.h"

#include <QImage>
#include <QLineEdit>
#include <QList>
#include <QTemporaryDir>
#include <QTest>

struct EditorProbe {
    QList<QImage> images;
    QList<qm::tile_struct> tiles;
    QList<qm::anim_st> anims;
    QList<QPair<int, int>> senders;   // kind and id of every tile or image signal

    explicit EditorProbe(myWidget& w)
    {
        QObject::connect(&w, &myWidget::imgChange, [this](int k, int i, QImage& img) {
            images << img;
            senders << qMakePair(k, i);
        });
        QObject::connect(&w, &myWidget::tileChange, [this](int k, int i, qm::tile_struct& t) {
            tiles << t;
            senders << qMakePair(k, i);
        });
        QObject::connect(&w, &myWidget::animChange, [this](int, qm::anim_st& a) { anims << a; });
    }
    int total() const { return int(images.size() + tiles.size() + anims.size()); }
};

// Replaces a box's text the way a user does: select everything, then type.
inline void typeInto(QLineEdit* box, const QString& text)
{
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Backspace);
    else
        QTest::keyClicks(box, text);
}

// A picture file holding `picture`, for a test to import; kept while the test program runs.
inline QString pictureFile(const QImage& picture)
{
    static QTemporaryDir dir;
    static int count = 0;
    const QString path = dir.filePath(QStringLiteral("picture%1.png").arg(++count));
    picture.save(path, "PNG");
    return path;
}

// Imports `picture` as a user who drops its file onto the window; true when taken.
inline bool importPicture(myWidget& w, const QImage& picture)
{
    return w.importPictureFile(pictureFile(picture));
}
