#pragma once

#include "directorydiff.h"
#include "itemstate.h"

#include <QDockWidget>
#include <QThreadPool>

#include <atomic>
#include <memory>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;
class CatalogueFilterBox;

namespace qm {
class DirectoryView;
class EditSession;
}

// The "Differences" dock: what differs between the session and another data directory,
// opened read-only. It compares on a worker thread (a snapshot of the session against the
// other directory) with a progress bar and Cancel, lists the differences with counts per
// catalogue, filters them as the catalogues are filtered plus by kind of difference, shows
// both pictures and both tile records of the selected item, and takes items across or
// exports them as patch files. Everything it changes goes through the session.
class DifferencesDock : public QDockWidget {
    Q_OBJECT

public:
    DifferencesDock(qm::EditSession& session, QWidget* parent = nullptr);
    ~DifferencesDock() override;

    // Starts comparing with `otherDir` (any comparison running is cancelled first). False
    // with the reason when it cannot start: a missing directory, or the session's own.
    bool compareWith(const QString& otherDir, QString* error);
    QString otherDirectory() const { return m_otherDir; }
    bool isComparing() const { return m_job != nullptr; }
    void cancel();
    const qm::DiffResult& result() const { return m_result; }
    // The other directory of the last comparison, read-only; null before any.
    std::shared_ptr<const qm::DirectoryView> otherView() const { return m_other; }
    // True once the session changed after the comparison's snapshot was taken: the list may
    // no longer be what differs, and "Compare Again" is offered.
    bool isOutdated() const { return m_outdated; }
    // The differences the filters let through, in list order.
    QVector<qm::Difference> shownDifferences() const;
    // The distinct items of the selected rows, else of every row shown.
    QVector<qm::ItemKey> chosenItems() const;

    QTreeWidget* list() const { return m_list; }
    CatalogueFilterBox* filterBox() const { return m_filter; }
    QComboBox* partBox() const { return m_part; }
    QComboBox* catalogueBox() const { return m_catalogue; }

public slots:
    // Compares with the same other directory anew, from the session as it is now.
    void compareAgain();
    // Asks what to take and takes the chosen items as one undo step, then compares anew.
    void takeChosen();
    // Asks for the side and a folder and writes one patch per chosen item.
    void exportChosen();

signals:
    // Double-click: open the item in an item window here, or there when it is only there.
    void openItem(int kind, int id);
    // "Open There" (or a double-click on an item only there): a read-only window on the
    // other directory's item.
    void openItemThere(int kind, int id);
    void statusMessage(const QString& text);
    // A comparison ended (finished or cancelled).
    void comparisonDone();

private:
    struct Job;

    void buildWidgets();
    void finish(const qm::DiffResult& result, const QString& error);
    void pollProgress();
    void fillList();
    void applyFilters();
    void showCurrent();
    void showCounts();
    bool rowPasses(const qm::Difference& d) const;
    void markOutdated();
    void showOutdated();

    qm::EditSession& m_session;
    QString m_otherDir;
    std::shared_ptr<const qm::DirectoryView> m_other;
    qm::DiffResult m_result;
    std::shared_ptr<Job> m_job;
    bool m_outdated = false;
    QThreadPool m_pool;
    QTimer* m_poll;

    QLabel* m_title;
    QLabel* m_counts;
    QProgressBar* m_progress;
    QPushButton* m_cancel;
    QPushButton* m_again;
    CatalogueFilterBox* m_filter;
    QComboBox* m_catalogue;
    QComboBox* m_part;
    QTreeWidget* m_list;
    QLabel* m_herePicture;
    QLabel* m_therePicture;
    QTreeWidget* m_tiles;
    QPushButton* m_take;
    QPushButton* m_export;
    QPushButton* m_openThere;
};
