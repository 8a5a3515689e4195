#include "artpicturereader.h"

#include "indexfile.h"

#include <QFile>

namespace qm {

ArtPictureReader::ArtPictureReader(const QString& mulDir, int kind)
    : m_kind(kind)
    , m_data(mulDir, kind)
{
    QFile index(mulPath(mulDir, indexFileName(kind)));
    if (index.open(QIODevice::ReadOnly))
        m_index = index.readAll();
}

QImage ArtPictureReader::picture(int id) const
{
    // A land id past the land records would read a static's.
    if (id < 0 || (m_kind == Land && id >= kLandCount) || (m_kind == Static && id >= kStaticCount))
        return QImage();
    const qint64 number = indexRecordNumber(m_kind, id);
    return m_data.decode(indexRecordAt(m_index, number));
}

} // namespace qm
