#pragma once

#include <QObject>

#include <functional>

class CatalogueSelection;
class QWidget;

namespace qm {
class EditSession;
}

// Export and Import of one item as a patch file: the selected item of the current catalogue
// out through the session, and a patch file in under an id the user chooses.
class PatchCommands : public QObject {
    Q_OBJECT

public:
    using ShowStatus = std::function<void(const QString&)>;

    PatchCommands(qm::EditSession& session, CatalogueSelection& selection, QWidget* dialogParent,
                  ShowStatus status, QObject* parent = nullptr);

    void exportItem();
    void importItem();

private:
    void refuse(const QString& why);

    qm::EditSession& m_session;
    CatalogueSelection& m_selection;
    QWidget* m_dialogParent;
    ShowStatus m_status;
};
