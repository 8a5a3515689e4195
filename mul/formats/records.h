#pragma once

#include <QMetaType>
#include <QString>
#include <QtGlobal>

#include <array>

namespace qm {

// One entry of tiledata.mul, land or static. For a land tile only name, texid and flags
// carry values; for a static tile everything but texid. The classic layout stores the low
// 32 flag bits; the wide layout all 64.
struct tile_struct {
    QString name;         // at most 20 Latin-1 characters
    quint16 texid = 0;
    quint64 flags = 0;
    quint8 weight = 0;
    quint8 quality = 0;
    quint8 quantity = 0;
    quint16 unk = 0;
    quint8 unk1 = 0;
    quint16 animid = 0;
    quint8 hue = 0;
    quint16 unk2 = 0;
    quint8 unk3 = 0;
    quint8 height = 0;

    bool operator==(const tile_struct& o) const
    {
        return name == o.name && texid == o.texid && flags == o.flags && weight == o.weight
            && quality == o.quality && quantity == o.quantity && unk == o.unk && unk1 == o.unk1
            && animid == o.animid && hue == o.hue && unk2 == o.unk2 && unk3 == o.unk3
            && height == o.height;
    }
    bool operator!=(const tile_struct& o) const { return !(*this == o); }
};

// One entry of animdata.mul: 68 signed bytes, in file order.
struct anim_st {
    std::array<qint8, 64> frames {};
    qint8 frameUnknown = 0;
    qint8 frameCount = 0;
    qint8 frameInterval = 0;
    qint8 frameStart = 0;

    bool operator==(const anim_st& o) const
    {
        return frames == o.frames && frameUnknown == o.frameUnknown && frameCount == o.frameCount
            && frameInterval == o.frameInterval && frameStart == o.frameStart;
    }
    bool operator!=(const anim_st& o) const { return !(*this == o); }
};

constexpr int kAnimRecordSize = 68;
constexpr int kLandTileRecordSize = 26;
constexpr int kStaticTileRecordSize = 37;
constexpr int kWideLandTileRecordSize = 30;
constexpr int kWideStaticTileRecordSize = 41;
constexpr int kTileNameSize = 20;

} // namespace qm

Q_DECLARE_METATYPE(qm::tile_struct)
Q_DECLARE_METATYPE(qm::anim_st)
