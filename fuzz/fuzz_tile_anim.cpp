// libFuzzer target: tiledata and animdata entries. Reading then writing an entry must give
// back its bytes (names up to their first zero byte, then zero padding): Latin-1 both ways.
#include "animdata.h"
#include "fuzzsupport.h"
#include "tiledata.h"

using namespace qm;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    writeSeedsIfAsked([] {
        tile_struct t;
        t.name = QString::fromLatin1("lamp post \xe9\xff");
        t.flags = 0x00800041;
        t.weight = 3;
        t.height = 20;
        t.animid = 0x1234;
        anim_st a;
        a.frames[0] = 0;
        a.frames[1] = 1;
        a.frameCount = 2;
        a.frameInterval = 4;
        return QVector<QByteArray> { landTileBytes(t) + staticTileBytes(t) + animBytes(a) };
    });
    return 0;
}

namespace {

// The entry as writing it back must produce: the name cut at its first zero byte.
QByteArray normalised(const char* entry, int size)
{
    QByteArray bytes(entry, size);
    const int nameStart = size - kTileNameSize;
    bool ended = false;
    for (int i = nameStart; i < size; ++i) {
        ended = ended || bytes[i] == '\0';
        if (ended)
            bytes[i] = '\0';
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* p = reinterpret_cast<const char*>(data);
    const size_t all = kLandTileRecordSize + kStaticTileRecordSize + kAnimRecordSize;
    if (size < all)
        return 0;
    if (landTileBytes(parseLandTile(p)) != normalised(p, kLandTileRecordSize))
        std::abort();
    p += kLandTileRecordSize;
    if (staticTileBytes(parseStaticTile(p)) != normalised(p, kStaticTileRecordSize))
        std::abort();
    p += kStaticTileRecordSize;
    if (animBytes(parseAnim(p)) != QByteArray(p, kAnimRecordSize))
        std::abort();
    return 0;
}
