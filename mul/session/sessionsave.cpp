#include "sessionsave.h"

namespace qm {

SessionSave::SessionSave(EditSession& session)
    : m_session(session)
{
}

SessionSave::~SessionSave() = default;

bool SessionSave::begin(QString* error, const EditSession::Reapply& reapply)
{
    m_rewrite = std::make_unique<Rewrite>(m_session.m_dir);
    if (!m_rewrite->begin(error)) {
        m_rewrite.reset();
        return false;
    }
    // Under the lock no other save can change the files any more, so what is checked now
    // still holds when the files are swapped in.
    const QStringList stale = m_session.staleIndexFiles();
    if (stale.isEmpty())
        return true;
    if (!reapply) {
        *error = QStringLiteral("%1 was changed by another program after the directory was opened; saving "
                                "now would undo those changes. Nothing was written and your edits are kept "
                                "(export them as patches, open the directory again and import them)")
                     .arg(stale.join(QStringLiteral(", ")));
        m_rewrite.reset();
        return false;
    }
    // The directory as it is now, then the caller's edit once more on top of it.
    m_session.reload();
    if (!reapply(m_session, error)) {
        m_rewrite.reset();
        return false;
    }
    return true;
}

bool SessionSave::stageArt(QString* error, QStringList* notes)
{
    if (!m_rewrite)
        return false;
    const EditSession& s = m_session;
    if (!s.isReadOnly(Land)
        && !m_rewrite->stageArtPair(s.listed(Land), s.listed(Static), s.m_changes, error))
        return false;
    return m_rewrite->stageTiles(s.m_changes, s.tileDataWritable(), error, notes);
}

bool SessionSave::stageImages(ItemKind kind, QString* error)
{
    if (!m_rewrite)
        return false;
    return m_session.isReadOnly(kind) || m_rewrite->stageImages(kind, m_session.listed(kind), m_session.m_changes, error);
}

bool SessionSave::stageAnim(QString* error)
{
    return m_rewrite && m_rewrite->stageAnim(m_session.m_changes, error);
}

bool SessionSave::commit(QString* error)
{
    if (!m_rewrite)
        return false;
    // What the files hold now is what the history's "as the files hold it" means; read it
    // before the files are replaced.
    const QMap<ItemKey, ItemState> filesBefore = m_session.historyFromFiles();
    const bool ok = m_rewrite->commit(error);
    const Rewrite::Written written = m_rewrite->written();
    m_rewrite.reset();
    if (!ok)
        return false;
    m_session.pinHistoryToFiles(filesBefore);
    m_session.markSaved();
    m_session.forgetWritten(written);
    emit m_session.saved();
    return true;
}

} // namespace qm
