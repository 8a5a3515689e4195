#pragma once

#include "catalogueselection.h"
#include "itemkind.h"

#include <QObject>

#include <memory>

class CataloguePane;
class HuesPane;
class QAction;
class QBoxLayout;
class QTreeView;
class ThumbnailCache;

namespace qm {
class EditSession;
}

// The four catalogue tabs as views of the session: each tab's filter box, id list and
// thumbnail grid (one cache for the four), kept in step with the session's catalogues and
// edits, the list/grid switch and the view settings the program remembers.
class CataloguePanes : public QObject, public CatalogueSelection {
    Q_OBJECT

public:
    // Puts a pane holding `lists[kind]` into `layouts[kind]`, for each kind.
    CataloguePanes(qm::EditSession& session, QTreeView* const (&lists)[qm::kItemKindCount],
                   QBoxLayout* const (&layouts)[qm::kItemKindCount], QObject* parent = nullptr);
    ~CataloguePanes() override;
    // From now on the thumbnail threads decode nothing: the session is going away.
    void detachSession();

    CataloguePane* pane(int kind) const;
    ThumbnailCache* thumbnails() const { return m_thumbnails; }
    // Checked: the current catalogue shows the thumbnail grid ("viewGridAction").
    QAction* viewGridAction() const { return m_viewGrid; }
    // Checked: small pictures in the grid are shown enlarged in whole steps
    // ("viewScaleUpAction").
    QAction* viewScaleUpAction() const { return m_viewScaleUp; }
    // View → Preview Hue…: asks a hue number ("viewPreviewHueAction").
    QAction* previewHueAction() const { return m_previewHueAction; }
    void retranslate();

    // Every thumbnail drawn with hue `hue` (by the game's rule for each item), 0 for the
    // stored colours; a number the directory's hues do not hold is refused (false).
    bool setPreviewHue(int hue);
    int previewHue() const { return m_previewHue; }
    // Asks the number through a dialog and sets it; a bad number is told and changes nothing.
    void choosePreviewHue();

    // The tab shown.
    void setCurrentKind(qm::ItemKind kind);
    // Every catalogue anew from the session (a directory was opened).
    void reload();
    // Every tab without filter or selection (their filter texts kept in the boxes' history).
    void resetViews();

    // CatalogueSelection
    qm::ItemKind currentKind() const override { return m_current; }
    QVector<int> selectedIds() const override;
    QVector<int> shownIds() const override;
    bool selectOnly(qm::ItemKind kind, int id) override;

    // Shows the current catalogue as a grid (true) or as the id list.
    void showGrid(bool grid);
    // The Hues tab: View → Thumbnail Grid switches it while it is shown (setHuesShown), and
    // its choice is remembered as the catalogues' are.
    void setHuesPane(HuesPane* pane);
    void setHuesShown(bool shown);

signals:
    // A double-click on an item of either view.
    void itemActivated(int kind, int id);
    // The right-click menu of either view, at a global position.
    void menuRequested(const QPoint& globalPos);
    // The Delete key in either view.
    void deleteRequested();
    // Enter or Return in either view: open the selected items.
    void openRequested();
    // The selection of a tab's shown view changed.
    void selectionChanged(int kind);

private:
    void followItem(qm::ItemKind kind, int id, int parts);
    // After a Save: the files changed, so every picture is read anew.
    void followSave();

    qm::EditSession& m_session;
    // The session as the decoder threads reach it (they may outlive it while the window
    // closes, so they hold this and not the session).
    struct Pictures;
    std::shared_ptr<Pictures> m_pictures;
    ThumbnailCache* m_thumbnails;
    CataloguePane* m_panes[qm::kItemKindCount] = {};
    QAction* m_viewGrid;
    QAction* m_viewScaleUp;
    QAction* m_previewHueAction;
    int m_previewHue = 0;
    qm::ItemKind m_current = qm::Land;
    HuesPane* m_huesPane = nullptr;
    bool m_huesShown = false;
};
