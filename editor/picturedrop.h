#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAbstractItemView;
class QMimeData;
class QModelIndex;
class QWidget;

// The one local file a drag carries, when it carries exactly one; empty otherwise (several
// files, a web address, text). Whether the file is a usable picture is the importer's to say,
// with the same messages as its Import.
QString droppedPictureFile(const QMimeData* mime);

// Lets a catalogue view (the id list or the grid) take a picture file dropped onto one of
// its items: the drag is accepted only over an item, and the drop is announced with the
// item's id; the window that owns the catalogue imports it as one undoable step.
class PictureDropTarget : public QObject {
    Q_OBJECT

public:
    // The id an index of the view shows; -1 for none. The default reads an IdRole of the
    // model when it has one, else the first column's text as the lists show ids ("0x1a").
    using IdOfIndex = std::function<int(const QModelIndex&)>;

    PictureDropTarget(QAbstractItemView* view, int kind, IdOfIndex idOf = {});

    int kind() const { return m_kind; }
    void setKind(int kind) { m_kind = kind; }

signals:
    void pictureDropped(int kind, int id, const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int idAt(const QPoint& viewportPos) const;

    QAbstractItemView* m_view;
    int m_kind;
    QWidget* m_viewport;
    IdOfIndex m_idOf;
};
