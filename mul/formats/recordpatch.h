#pragma once

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

namespace qm {

// Bytes to write over a file at a byte position, neither growing nor shrinking it: how files of
// fixed-size records (tile data, animation data, hues) take an edit in place.
struct RecordPatch {
    qint64 offset = 0;
    QByteArray bytes;
};

// Writes each patch over `bytes`. False, leaving `bytes` unchanged, when a patch reaches outside.
inline bool applyRecordPatches(QByteArray& bytes, const QVector<RecordPatch>& patches)
{
    for (const RecordPatch& p : patches)
        if (p.offset < 0 || p.offset + p.bytes.size() > bytes.size())
            return false;
    for (const RecordPatch& p : patches)
        bytes.replace(int(p.offset), int(p.bytes.size()), p.bytes);
    return true;
}

} // namespace qm
