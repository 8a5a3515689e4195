// The hues of hues.mul in the session: read with the directory, edited as undo steps, saved in
// place with everything else.
#include "editsession.h"

#include "itemsource.h"

#include <QDir>

namespace qm {

void EditSession::readHues()
{
    m_hueEdits.clear();
    m_hueFile = m_dir.isEmpty() ? HueFile() : readHueFile(m_dir);
    m_hueStamp = m_dir.isEmpty() ? FileStamp() : stampOf(mulPath(m_dir, hueFileName()));
}

const HueFile& EditSession::hues() const
{
    return m_hueFile;
}

HueFile EditSession::currentHues() const
{
    HueFile current = m_hueFile;
    for (auto it = m_hueEdits.cbegin(); it != m_hueEdits.cend(); ++it)
        if (current.contains(it.key()))
            current.hues[it.key() - 1] = *it;
    return current;
}

HueEntry EditSession::hue(int number) const
{
    const auto it = m_hueEdits.constFind(number);
    if (it != m_hueEdits.constEnd())
        return *it;
    const HueEntry* stored = m_hueFile.hue(number);
    return stored ? *stored : HueEntry();
}

QString EditSession::huesReadOnlyReason() const
{
    if (!m_hueFile.present)
        return QStringLiteral("%1 is missing in %2, so there are no hues to change")
            .arg(hueFileName(), QDir::toNativeSeparators(m_dir));
    if (!m_hueFile.problem.isEmpty())
        return QStringLiteral("%1; the hues are read-only and Save leaves the file as it is").arg(m_hueFile.problem);
    return QString();
}

QString EditSession::huesStatus() const
{
    if (!m_hueFile.present)
        return QStringLiteral("No hues: %1 is missing in this directory.").arg(hueFileName());
    if (!m_hueFile.problem.isEmpty())
        return huesReadOnlyReason() + QLatin1Char('.');
    return QStringLiteral("%1 hues in %2.").arg(m_hueFile.count()).arg(hueFileName());
}

bool EditSession::setHue(int number, const HueEntry& entry, QString* error)
{
    QString why = hueNumberProblem(number, hueCount());
    if (why.isEmpty())
        why = huesReadOnlyReason();
    if (why.isEmpty())
        why = hueEditProblem(number, hueCount(), *m_hueFile.hue(number), entry);
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    beginStep(QStringLiteral("Change Hue %1").arg(number));
    if (!m_pending->huesBefore.contains(number))
        m_pending->huesBefore.insert(number, hueState(number));
    // An entry equal to the stored one is no edit: the change set drops it.
    applyHueState(number, entry == *m_hueFile.hue(number) ? std::nullopt : std::optional<HueEntry>(entry));
    endStep();
    return true;
}

std::optional<HueEntry> EditSession::hueState(int number) const
{
    const auto it = m_hueEdits.constFind(number);
    return it == m_hueEdits.constEnd() ? std::nullopt : std::optional<HueEntry>(*it);
}

void EditSession::applyHueState(int number, const std::optional<HueEntry>& state)
{
    if (hueState(number) == state)
        return;
    if (state)
        m_hueEdits.insert(number, *state);
    else
        m_hueEdits.remove(number);
    emit hueChanged(number);
}

} // namespace qm
