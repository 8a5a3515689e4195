#include "editsession.h"

namespace qm {

const HueFile& EditSession::hues() const
{
    if (!m_hues)
        m_hues = std::make_unique<HueFile>(m_dir.isEmpty() ? HueFile() : readHueFile(m_dir));
    return *m_hues;
}

} // namespace qm
