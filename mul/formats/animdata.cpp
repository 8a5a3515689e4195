#include "animdata.h"

#include "indexfile.h"

#include <QFile>

#include <cstring>

namespace qm {

static_assert(sizeof(anim_st) == kAnimRecordSize, "anim_st must be the 68 bytes of an entry");

qint64 animOffset(int id)
{
    if (id < 0 || id >= kStaticCount)
        return -1;
    return qint64(id / kAnimBlockEntries) * kAnimBlockSize + 4
        + qint64(id % kAnimBlockEntries) * kAnimRecordSize;
}

anim_st parseAnim(const char* bytes)
{
    anim_st a;
    std::memcpy(a.frames.data(), bytes, a.frames.size());
    a.frameUnknown = qint8(bytes[64]);
    a.frameCount = qint8(bytes[65]);
    a.frameInterval = qint8(bytes[66]);
    a.frameStart = qint8(bytes[67]);
    return a;
}

QByteArray animBytes(const anim_st& a)
{
    QByteArray out(reinterpret_cast<const char*>(a.frames.data()), int(a.frames.size()));
    out.append(char(a.frameUnknown));
    out.append(char(a.frameCount));
    out.append(char(a.frameInterval));
    out.append(char(a.frameStart));
    return out;
}

anim_st readAnimRecord(const QString& mulDir, int id)
{
    return readAnimRecord(mulDir, id, nullptr);
}

anim_st readAnimRecord(const QString& mulDir, int id, bool* found)
{
    if (found)
        *found = false;
    const qint64 offset = animOffset(id);
    if (offset < 0)
        return anim_st();
    QFile f(mulPath(mulDir, QStringLiteral("animdata.mul")));
    if (!f.open(QIODevice::ReadOnly) || !f.seek(offset))
        return anim_st();
    const QByteArray bytes = f.read(kAnimRecordSize);
    if (bytes.size() != kAnimRecordSize)
        return anim_st();
    if (found)
        *found = true;
    return parseAnim(bytes.constData());
}

} // namespace qm
