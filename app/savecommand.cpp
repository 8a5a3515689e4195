#include "savecommand.h"

#include "dialogs.h"
#include "sessionsave.h"

#include <QApplication>

using namespace qm;

namespace {

// Message boxes want the normal pointer even while Save shows the wait cursor.
class NormalCursor {
public:
    NormalCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~NormalCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

SaveCommand::SaveCommand(EditSession& session, QWidget* dialogParent, ShowStatus status, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_dialogParent(dialogParent)
    , m_status(std::move(status))
{
}

SaveCommand::~SaveCommand() = default;

// The stages write into one transaction: only when all of them are written is any file
// replaced, and a failed stage leaves every file and the whole change set as they were.
void SaveCommand::run(const std::function<void(Stage)>& runStage)
{
    if (m_save)
        return;   // a Save is running already (a stage's pause let this one in)
    QApplication::setOverrideCursor(Qt::WaitCursor);
    attempt(runStage);
    QApplication::restoreOverrideCursor();
}

bool SaveCommand::attempt(const std::function<void(Stage)>& runStage)
{
    m_failed = false;
    m_notes.clear();
    m_save = std::make_unique<SessionSave>(m_session);
    QString error;
    if (!m_save->begin(&error)) {
        m_save.reset();
        reportFailure(error);
        return false;
    }
    for (Stage stage : { ArtStage, GumpStage, TextureStage, AnimStage }) {
        if (m_failed)
            break;
        // Between stages the window repaints, so that the status text of each stage shows.
        if (stage != ArtStage)
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 1000);
        runStage(stage);
    }
    if (!m_failed) {
        if (m_save->commit(&error)) {
            m_status(tr("Ready"));
            if (!m_notes.isEmpty()) {
                NormalCursor cursor;
                Dialogs::get().warning(m_dialogParent, tr("Tile data not saved"), m_notes.join(QLatin1Char('\n')));
            }
        } else {
            reportFailure(error);
        }
    }
    m_save.reset();
    return false;
}

void SaveCommand::stage(Stage stage)
{
    if (!m_save) {
        run([this](Stage s) { this->stage(s); });
        return;
    }
    QString error;
    bool ok = true;
    switch (stage) {
    case ArtStage:
        m_status(tr("Writing art.idx/mul and tiledata.mul"));
        ok = m_save->stageArt(&error, &m_notes);
        break;
    case GumpStage:
        m_status(tr("Writing gump.idx/mul"));
        ok = m_save->stageImages(Gump, &error);
        break;
    case TextureStage:
        m_status(tr("Writing Textures "));
        ok = m_save->stageImages(Texture, &error);
        break;
    case AnimStage:
        m_status(tr("Writing animdata.mul"));
        ok = m_save->stageAnim(&error);
        break;
    }
    if (!ok)
        reportFailure(error);
}

void SaveCommand::reportFailure(const QString& error)
{
    m_failed = true;
    m_status(tr("Save failed"));
    NormalCursor cursor;
    Dialogs::get().critical(m_dialogParent, tr("Save failed"),
                            error + tr(".\n\nNo file was changed; your unsaved edits are kept."));
}
