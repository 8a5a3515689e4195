#pragma once

#include "imagebatchimport.h"

#include <QObject>
#include <QString>

#include <functional>

class CatalogueSelection;
class QAbstractItemView;
class QAction;
class QMenu;
class QWidget;

namespace qm {
class EditSession;
}

// Pictures in and out of a catalogue many at a time: a picture file dropped onto a list row
// or grid cell, and folders of PNG files named by kind and id, written from or read into the
// session. Acts on the catalogue the user looks at: its selection, else everything it shows.
class PictureBatches : public QObject {
    Q_OBJECT

public:
    using ShowStatus = std::function<void(const QString&)>;

    PictureBatches(qm::EditSession& session, CatalogueSelection& selection, QWidget* dialogParent,
                   ShowStatus status, QObject* parent = nullptr);

    // "Export Pictures..." and "Import Pictures...".
    QAction* exportAction() const { return m_export; }
    QAction* importAction() const { return m_import; }
    void retranslate();
    // Puts both actions into `menu` right after `after`.
    void addActionsAfter(QMenu* menu, QAction* after) const;
    // Lets the view take picture files dropped onto its items of catalogue `kind`.
    void acceptDrops(QAbstractItemView* view, int kind);

    // The step that gives a planned import's pictures to the session, all or nothing. Tests
    // put another in front of it, to see a refusal half-way through the window.
    using ApplyImport = std::function<bool(qm::EditSession&, qm::ItemKind, const QVector<qm::AcceptedPicture>&,
                                           const QString& stepName, QVector<int>* newIds, QString* error)>;
    void setApplyImport(ApplyImport apply) { m_apply = std::move(apply); }

public slots:
    // Replaces the item's picture with a dropped picture file under Import's rules, as one
    // undo step; refusals are told in a message naming the file.
    void dropPicture(int kind, int id, const QString& path);
    // The selected items of the current catalogue (all it shows when none is) into a folder,
    // one PNG each named by kind and id.
    void exportPictures();
    // Such a folder back as one undo step; when any file is refused, nothing is applied.
    void importPictures();

private:
    QVector<int> batchIds() const;

    qm::EditSession& m_session;
    CatalogueSelection& m_selection;
    QWidget* m_dialogParent;
    ShowStatus m_status;
    QAction* m_export;
    QAction* m_import;
    QString m_folder;
    ApplyImport m_apply = qm::applyImageImport;
};
