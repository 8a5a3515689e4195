#include "demodata.h"

#include "animdata.h"
#include "artcodec.h"
#include "demodraw.h"
#include "demohues.h"
#include "hueapply.h"
#include "hues.h"
#include "indexfile.h"
#include "littleendian.h"
#include "tiledata.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QVector>

#include <functional>

namespace qm {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("DemoData", text);
}

// Collects output in large chunks, so that a 100 MB file is a few dozen writes.
class BigWriter {
public:
    explicit BigWriter(const QString& path) : m_file(path) { m_ok = m_file.open(QIODevice::WriteOnly); }

    void write(const QByteArray& bytes)
    {
        m_buffer.append(bytes);
        m_pos += bytes.size();
        if (m_buffer.size() >= (8 << 20))
            flush();
    }
    qint64 pos() const { return m_pos; }
    bool commit(QString* error)
    {
        flush();
        if (m_ok && m_file.commit())
            return true;
        if (error)
            *error = tr("Cannot write %1: %2").arg(m_file.fileName(), m_file.errorString());
        return false;
    }

private:
    void flush()
    {
        if (m_ok && !m_buffer.isEmpty())
            m_ok = m_file.write(m_buffer) == m_buffer.size();
        m_buffer.clear();
    }
    QSaveFile m_file;
    QByteArray m_buffer;
    qint64 m_pos = 0;
    bool m_ok = false;
};

// Which copies of a set of drawn records fill a catalogue of `count` ids. Copy k covers ids
// k * setSize ... ; the first copy always, the others spread evenly so the total comes near
// `targetBytes` (0: only the first copy).
QVector<bool> copiesToFill(int count, int setSize, qint64 setBytes, qint64 targetBytes)
{
    const int copies = (count + setSize - 1) / setSize;
    QVector<bool> fill(copies, false);
    fill[0] = true;
    if (targetBytes <= 0 || setBytes <= 0)
        return fill;
    const double fraction = std::min(1.0, double(targetBytes) / (double(setBytes) * copies));
    double carried = 0;
    for (int k = 1; k < copies; ++k) {
        carried += fraction;
        if (carried >= 1) {
            fill[k] = true;
            carried -= 1;
        }
    }
    return fill;
}

struct EncodedSet {
    QVector<QByteArray> records;
    QVector<quint32> extras;
    qint64 bytes = 0;
};

EncodedSet encodeAll(int kind, const QVector<QImage>& images)
{
    EncodedSet set;
    for (const QImage& image : images) {
        QByteArray r;
        switch (kind) {
        case Land: r = encodeLand(image); break;
        case Static: r = encodeStatic(image); break;
        case Gump: r = encodeGump(image); break;
        default: r = encodeTexture(image); break;
        }
        Q_ASSERT(!r.isEmpty());
        set.records << r;
        set.extras << (kind == Gump ? gumpExtraFor(image.width(), image.height())
                                    : kind == Texture ? textureExtraFor(image.width()) : 0u);
        set.bytes += r.size();
    }
    return set;
}

// One catalogue of a data file: `count` ids whose records come from `set`, the record of id
// n being set[sourceFor(n)] (none when that is negative).
struct CataloguePart {
    int count;
    const EncodedSet* set;
    std::function<int(int)> sourceFor;
};

bool writeWhole(const QString& path, const QByteArray& bytes, QString* error);

// Writes a data file and its index from catalogues laid one after another in the index.
bool writeArtFiles(const QString& dir, int kind, const QVector<CataloguePart>& parts, qint64* bytes,
                   int* filled, QString* error)
{
    BigWriter data(mulPath(dir, dataFileName(kind)));
    QByteArray index;
    *filled = 0;
    for (const CataloguePart& part : parts) {
        for (int id = 0; id < part.count; ++id) {
            const int source = part.sourceFor(id);
            IndexRecord r;
            r.length = 0;
            if (source >= 0) {
                const QByteArray& record = part.set->records[source];
                r = { qint32(data.pos()), qint32(record.size()), part.set->extras[source] };
                data.write(record);
                ++*filled;
            }
            appendIndexRecord(index, r);
        }
    }
    *bytes = data.pos();
    return data.commit(error) && writeWhole(mulPath(dir, indexFileName(kind)), index, error);
}

bool writeWhole(const QString& path, const QByteArray& bytes, QString* error)
{
    BigWriter w(path);
    w.write(bytes);
    return w.commit(error);
}

// The first copy after the first that fill leaves empty, or -1: where the pictures drawn for
// hues go, so that every id the drawn sets give stays as it is.
int firstEmptyCopy(const QVector<bool>& copies)
{
    for (int k = 1; k < copies.size(); ++k)
        if (!copies[k])
            return k;
    return -1;
}

// The demo's statics drawn for hues and animation, in the order they take ids.
QVector<DemoTile> hueShowcaseStatics()
{
    QVector<DemoTile> tiles;
    auto add = [&](const QImage& image, const QString& name, quint64 flags) {
        DemoTile t;
        t.image = image;
        t.name = name;
        t.flags = quint32(flags);
        t.height = 10;
        t.weight = 20;
        tiles << t;
    };
    add(demoGreyStatic(), QStringLiteral("urn"), 0);
    add(demoPartlyGreyStatic(), QStringLiteral("shield"), kPartialHueFlag);
    const QVector<QImage> crystal = demoCrystalFrames();
    for (int f = 0; f < crystal.size(); ++f)
        add(crystal[f], QStringLiteral("glowing crystal"), f == 0 ? kAnimatedFlag : 0);
    return tiles;
}

} // namespace

QStringList demoFileNames()
{
    return { QStringLiteral("artidx.mul"), QStringLiteral("art.mul"), QStringLiteral("gumpidx.mul"),
             QStringLiteral("gumpart.mul"), QStringLiteral("texidx.mul"), QStringLiteral("texmaps.mul"),
             QStringLiteral("tiledata.mul"), QStringLiteral("animdata.mul"), hueFileName() };
}

bool writeDemoDirectory(const QString& dir, bool full, bool overwrite, QString* error,
                        DemoSummary* summary, bool longRunGumps)
{
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = tr("Cannot create the directory %1").arg(dir);
        return false;
    }
    if (!overwrite) {
        for (const QString& name : demoFileNames()) {
            if (QFile::exists(mulPath(dir, name))) {
                if (error)
                    *error = tr("%1 already holds %2; choose an empty directory").arg(dir, name);
                return false;
            }
        }
    }

    const QVector<DemoTile> lands = demoLandTiles();
    const QVector<DemoTile> statics = demoStaticTiles();
    QVector<QImage> landImages, staticImages;
    for (const DemoTile& t : lands)
        landImages << t.image;
    for (const DemoTile& t : statics)
        staticImages << t.image;
    const EncodedSet landSet = encodeAll(Land, landImages);
    const EncodedSet staticSet = encodeAll(Static, staticImages);
    const EncodedSet gumpSet = encodeAll(Gump, longRunGumps ? demoLongRunGumps() : demoGumps());
    const QVector<DemoTile> showcase = hueShowcaseStatics();
    QVector<QImage> showcaseImages;
    for (const DemoTile& t : showcase)
        showcaseImages << t.image;
    const EncodedSet showcaseSet = encodeAll(Static, showcaseImages);
    const EncodedSet greyGumpSet = encodeAll(Gump, { demoGreyGump() });
    const EncodedSet textureSet = encodeAll(Texture, demoTextures());

    constexpr qint64 MB = 1 << 20;
    // Land: each ground at its own 0x40 block in the small demo; every id in the full one.
    auto landSource = [&](int id) {
        if (full)
            return id % int(lands.size());
        const int ground = id / 0x40, variant = id % 0x40;
        return ground < kDemoGrounds && variant < kDemoLandVariants ? ground * kDemoLandVariants + variant : -1;
    };
    const qint64 landBytes = full ? qint64(kLandCount) * kLandRecordSize : 0;
    const QVector<bool> staticCopies = copiesToFill(kStaticCount - 1, int(statics.size()), staticSet.bytes,
                                                    full ? 80 * MB - landBytes : 0);
    // The statics drawn for hues take the start of the first copy left empty; their sources
    // follow the drawn set's.
    const int staticSetSize = int(statics.size());
    const int showcaseCopy = firstEmptyCopy(staticCopies);
    const int showcaseFirst = showcaseCopy < 0 ? -1 : 1 + showcaseCopy * staticSetSize;
    const bool hasShowcase = showcaseFirst > 0 && showcaseFirst + showcase.size() <= kStaticCount;
    QVector<DemoTile> allStatics = statics;
    EncodedSet allStaticSet = staticSet;
    if (hasShowcase) {
        allStatics += showcase;
        allStaticSet.records += showcaseSet.records;
        allStaticSet.extras += showcaseSet.extras;
    }
    // Static 0 stays empty, as in the game; the drawn set starts at 1.
    auto staticSource = [&](int id) {
        if (id == 0)
            return -1;
        if (hasShowcase && id >= showcaseFirst && id < showcaseFirst + showcase.size())
            return staticSetSize + id - showcaseFirst;
        const int k = (id - 1) / staticSetSize;
        return staticCopies[k] ? (id - 1) % staticSetSize : -1;
    };
    const int gumpCount = full ? 65536 : 128;
    const int gumpSlot = int(gumpSet.records.size()) + int(gumpSet.records.size()) / 20 + 1;
    const QVector<bool> gumpCopies = copiesToFill(gumpCount, gumpSlot, gumpSet.bytes, full ? 100 * MB : 0);
    const int greyGumpCopy = firstEmptyCopy(gumpCopies);
    const int greyGump = greyGumpCopy < 0 ? -1 : greyGumpCopy * gumpSlot;
    EncodedSet allGumpSet = gumpSet;
    allGumpSet.records += greyGumpSet.records;
    allGumpSet.extras += greyGumpSet.extras;
    // Every twentieth id of a copy is left free, so the free list has something to show.
    auto gumpSource = [&](int id) {
        if (id == greyGump)
            return int(gumpSet.records.size());
        const int k = id / gumpSlot, slot = id % gumpSlot;
        if (!gumpCopies[k] || slot % 21 == 20)
            return -1;
        const int source = slot - slot / 21;
        return source < gumpSet.records.size() ? source : -1;
    };
    const int textureCount = full ? 16384 : 64;
    const QVector<bool> textureCopies = copiesToFill(textureCount, int(textureSet.records.size()),
                                                     textureSet.bytes, full ? 20 * MB : 0);
    auto textureSource = [&](int id) {
        const int k = id / int(textureSet.records.size());
        return textureCopies[k] ? id % int(textureSet.records.size()) : -1;
    };

    DemoSummary sum;
    QByteArray tiledata(int(kFullTileDataSize), '\0');
    QByteArray animdata(int(kFullAnimDataSize), '\0');
    int filled = 0;
    if (!writeArtFiles(dir, Land, { { kLandCount, &landSet, landSource }, { kStaticCount, &allStaticSet, staticSource } },
                       &sum.artBytes, &filled, error)
        || !writeArtFiles(dir, Gump, { { gumpCount, &allGumpSet, gumpSource } }, &sum.gumpBytes, &sum.gumps, error)
        || !writeArtFiles(dir, Texture, { { textureCount, &textureSet, textureSource } }, &sum.textureBytes,
                          &sum.textures, error))
        return false;
    for (int id = 0; id < kLandCount; ++id) {
        const int source = landSource(id);
        if (source < 0)
            continue;
        ++sum.landTiles;
        const DemoTile& d = lands[source];
        tile_struct t;
        t.name = d.name;
        t.flags = d.flags;
        t.texid = d.texid;
        tiledata.replace(int(landTileOffset(id)), kLandTileRecordSize, landTileBytes(t));
    }
    for (int id = 0; id < kStaticCount; ++id) {
        const int source = staticSource(id);
        if (source < 0)
            continue;
        ++sum.staticTiles;
        const DemoTile& d = allStatics[source];
        tile_struct t;
        t.name = d.name;
        t.flags = d.flags;
        t.weight = d.weight;
        t.height = d.height;
        t.quality = d.animFrames ? 5 : 0;   // light radius of the animated lights
        tiledata.replace(int(staticTileOffset(id)), kStaticTileRecordSize, staticTileBytes(t));
        // Animated lights: the next frames are the following ids.
        if (d.animFrames > 0 && id + d.animFrames - 1 < kStaticCount) {
            anim_st a;
            for (int f = 0; f < d.animFrames; ++f)
                a.frames[size_t(f)] = qint8(f);
            a.frameCount = qint8(d.animFrames);
            a.frameInterval = qint8(2 + source % 3);
            a.frameStart = 0;
            animdata.replace(int(animOffset(id)), kAnimRecordSize, animBytes(a));
            ++sum.animatedStatics;
        }
    }
    if (hasShowcase) {
        sum.greyStatic = showcaseFirst;
        sum.partialHueStatic = showcaseFirst + 1;
        sum.crystalStatic = showcaseFirst + 2;
        // The crystal glows up and down after a short wait: frames 0, 1, 2, 1.
        anim_st a;
        a.frames = { { 0, 1, 2, 1 } };
        a.frameCount = 4;
        a.frameInterval = 3;
        a.frameStart = 4;
        animdata.replace(int(animOffset(sum.crystalStatic)), kAnimRecordSize, animBytes(a));
        ++sum.animatedStatics;
    }
    sum.greyGump = greyGump;
    const QByteArray hues = demoHueFileBytes(kUsualHueGroups);
    sum.hues = hueCountForSize(hues.size());
    if (!writeWhole(mulPath(dir, QStringLiteral("tiledata.mul")), tiledata, error)
        || !writeWhole(mulPath(dir, QStringLiteral("animdata.mul")), animdata, error)
        || !writeWhole(mulPath(dir, hueFileName()), hues, error))
        return false;

    if (summary)
        *summary = sum;
    return true;
}

} // namespace qm
