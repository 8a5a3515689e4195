#include "mappedfile.h"

#include <QFileInfo>

namespace qm {

MappedFile::MappedFile(const QString& path)
    : m_file(path)
{
    const QFileInfo info(path);
    m_exists = info.isFile();
    if (!m_exists) {
        m_error = QStringLiteral("%1 is missing").arg(info.fileName());
        // Only regular files are opened: a pipe or device in a file's place could block or
        // never end.
        if (info.exists())
            m_openError = QStringLiteral("not a regular file");
        else if (!m_file.open(QIODevice::ReadOnly))
            m_openError = m_file.errorString();
        return;
    }
    if (!m_file.open(QIODevice::ReadOnly)) {
        m_openError = m_file.errorString();
        m_error = QStringLiteral("%1 cannot be opened: %2").arg(info.fileName(), m_openError);
        return;
    }
    m_size = m_file.size();
    m_open = true;
    if (m_size == 0)
        return;
    m_map = m_file.map(0, m_size);
    if (m_map) {
        m_data = reinterpret_cast<const char*>(m_map);
        return;
    }
    // Some file systems cannot map; reading the file whole is slower but gives the same bytes.
    m_contents = m_file.readAll();
    if (m_contents.size() != m_size) {
        m_open = false;
        m_error = QStringLiteral("%1 cannot be read whole: %2").arg(info.fileName(), m_file.errorString());
        m_contents.clear();
        m_size = 0;
        return;
    }
    m_data = m_contents.constData();
}

MappedFile::~MappedFile()
{
    if (m_map)
        m_file.unmap(m_map);
}

} // namespace qm
