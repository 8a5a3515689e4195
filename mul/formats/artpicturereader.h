#pragma once

#include "artdatafile.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace qm {

// The pictures of one catalogue straight from the data files, for reading many: the index
// file is read once and the data file mapped once. picture() only reads, so several threads
// may call it at once.
class ArtPictureReader {
public:
    ArtPictureReader(const QString& mulDir, int kind);

    bool isOpen() const { return m_data.isOpen(); }
    QString errorString() const { return m_data.errorString(); }

    // The decoded picture; null for an empty item, an id outside the index or a broken record.
    QImage picture(int id) const;

private:
    int m_kind;
    QByteArray m_index;
    ArtDataFile m_data;
};

} // namespace qm
