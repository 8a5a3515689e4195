#include "directorydiff.h"

#include "directoryview.h"
#include "tilefields.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <algorithm>
#include <iterator>

namespace qm {

namespace {

constexpr int kSideCount = 2;
constexpr qint64 kProgressStep = 4096;
constexpr qint64 kCancelStep = 256;

int idRange(int kind) { return kind == Land ? kLandCount : kStaticCount; }

// Index extras that change what the same bytes show: a gump's size, a texture's side.
bool extrasShowAlike(int kind, quint32 a, quint32 b)
{
    switch (kind) {
    case Gump: return a == b;
    case Texture: return textureSizeForExtra(a) == textureSizeForExtra(b);
    default: return true;
    }
}

bool samePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    return a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

Difference differenceOf(int kind, int id, DiffPart part)
{
    Difference d;
    d.kind = kind;
    d.id = id;
    d.part = part;
    return d;
}

class Comparison {
public:
    Comparison(const DiffSide& here, const DiffSide& there, DiffResult* result)
        : m_sides { &here, &there }
        , m_result(result)
    {
    }

    void picture(int kind, int id, bool listedHere, bool listedThere)
    {
        if (!listedHere && !listedThere)
            return;
        if (!listedHere || !listedThere) {
            const int missing = listedHere ? 1 : 0;
            const QString& why = m_result->unreadable[kind][missing];
            if (!why.isEmpty())
                unreadable(kind, id, missing, why);
            else
                add(kind, id, listedHere ? DiffPart::OnlyHere : DiffPart::OnlyThere);
            return;
        }
        QByteArray bytes[kSideCount];
        quint32 extra[kSideCount] {};
        bool ok = true;
        for (int s = 0; s < kSideCount; ++s) {
            QString error;
            if (!m_sides[s]->recordBytes(kind, id, &bytes[s], &extra[s], &error)) {
                unreadable(kind, id, s, error);
                ok = false;
            }
        }
        if (!ok)
            return;
        if (!bytes[0].isNull() && !bytes[1].isNull() && bytes[0] == bytes[1] && extrasShowAlike(kind, extra[0], extra[1]))
            return;
        QImage images[kSideCount];
        for (int s = 0; s < kSideCount; ++s) {
            QString error;
            images[s] = m_sides[s]->picture(kind, id, &error);
            if (images[s].isNull()) {
                unreadable(kind, id, s, error.isEmpty() ? QStringLiteral("its picture cannot be decoded") : error);
                ok = false;
            }
        }
        if (ok && !samePixels(images[0], images[1]))
            add(kind, id, DiffPart::Picture);
    }

    void tile(int kind, int id)
    {
        int widths[kSideCount] {};
        const QByteArray stored = m_sides[0]->storedTileRecord(kind, id, &widths[0]);
        if (!stored.isEmpty() && stored == m_sides[1]->storedTileRecord(kind, id, &widths[1]) && widths[0] == widths[1])
            return;
        tile_struct tiles[kSideCount];
        bool present[kSideCount] {};
        QString errors[kSideCount];
        bool ok = true;
        for (int s = 0; s < kSideCount; ++s) {
            if (!m_sides[s]->tileRecord(kind, id, &tiles[s], &present[s], &errors[s])) {
                unreadable(kind, id, s, errors[s]);
                ok = false;
            }
        }
        if (!ok || !bothPresent(kind, id, present, tiles[0] == tile_struct() && tiles[1] == tile_struct(), errors))
            return;
        const QStringList fields = differingTileFields(kind, tiles[0], tiles[1]);
        if (!fields.isEmpty()) {
            Difference d = differenceOf(kind, id, DiffPart::Tile);
            d.fields = fields;
            m_result->differences.append(d);
        }
    }

    void anim(int id)
    {
        QByteArray bytes[kSideCount];
        bool present[kSideCount] {};
        QString errors[kSideCount];
        bool ok = true;
        for (int s = 0; s < kSideCount; ++s) {
            if (!m_sides[s]->animRecord(id, &bytes[s], &present[s], &errors[s])) {
                unreadable(Static, id, s, errors[s]);
                ok = false;
            }
        }
        const auto isEmpty = [](const QByteArray& b) { return b.count('\0') == b.size(); };
        if (ok && bothPresent(Static, id, present, isEmpty(bytes[0]) && isEmpty(bytes[1]), errors)
            && bytes[0] != bytes[1])
            add(Static, id, DiffPart::Anim);
    }

private:
    void add(int kind, int id, DiffPart part) { m_result->differences.append(differenceOf(kind, id, part)); }

    void unreadable(int kind, int id, int side, const QString& why)
    {
        Difference d = differenceOf(kind, id, DiffPart::Unreadable);
        d.side = side == 0 ? DiffSideName::Here : DiffSideName::There;
        d.reason = why;
        m_result->differences.append(d);
    }

    // True when both sides hold the record, to be compared. Where one holds none, an empty
    // record on the other side matches it and anything else is listed as unreadable on the
    // side without one.
    bool bothPresent(int kind, int id, const bool present[kSideCount], bool bothEmpty, const QString errors[kSideCount])
    {
        if (present[0] && present[1])
            return true;
        if (bothEmpty)
            return false;
        const int missing = present[0] ? 1 : 0;
        unreadable(kind, id, missing, errors[missing].isEmpty() ? QStringLiteral("it has no record") : errors[missing]);
        return false;
    }

    const DiffSide* m_sides[kSideCount];
    DiffResult* m_result;
};

// The ids a catalogue's comparison walks: every id for the kinds with tile data (whose
// records exist whether or not a picture does), else those listed on either side.
QVector<int> idsToWalk(int kind, const QVector<int>& here, const QVector<int>& there)
{
    QVector<int> ids;
    if (hasTileData(kind)) {
        ids.resize(idRange(kind));
        for (int id = 0; id < ids.size(); ++id)
            ids[id] = id;
        return ids;
    }
    ids.reserve(std::max(here.size(), there.size()));
    std::set_union(here.cbegin(), here.cend(), there.cbegin(), there.cend(), std::back_inserter(ids));
    return ids;
}

QString canonicalDirectory(const QString& dir)
{
    return dir.isEmpty() ? QString() : QFileInfo(dir).canonicalFilePath();
}

} // namespace

int DiffResult::lineCount(int kind) const
{
    return int(std::count_if(differences.cbegin(), differences.cend(), [kind](const Difference& d) { return d.kind == kind; }));
}

int DiffResult::itemCount(int kind) const
{
    int count = 0;
    int last = -1;
    for (const Difference& d : differences) {
        if (d.kind != kind || d.id == last)
            continue;
        last = d.id;
        ++count;
    }
    return count;
}

QStringList differingTileFields(int kind, const tile_struct& a, const tile_struct& b)
{
    QStringList fields;
    // Names are read as Latin-1 up to the first zero byte, so equal strings are equal bytes.
    if (a.name != b.name)
        fields << QStringLiteral("name");
    for (const TileField* f : tileFieldsOf(kind))
        if (f->get(a) != f->get(b))
            fields << QLatin1String(f->name);
    return fields;
}

QString sideName(DiffSideName side)
{
    return side == DiffSideName::Here ? QStringLiteral("here") : QStringLiteral("there");
}

QString differenceText(const Difference& d)
{
    switch (d.part) {
    case DiffPart::OnlyHere: return QStringLiteral("only-here");
    case DiffPart::OnlyThere: return QStringLiteral("only-there");
    case DiffPart::Picture: return QStringLiteral("picture");
    case DiffPart::Tile: return QStringLiteral("tile ") + d.fields.join(QLatin1Char(','));
    case DiffPart::Anim: return QStringLiteral("anim");
    case DiffPart::Unreadable: break;
    }
    return QStringLiteral("unreadable %1: %2").arg(sideName(d.side), d.reason);
}

bool compareSides(const DiffSide& here, const DiffSide& there, const DiffOptions& options, DiffResult* result,
                  QString* error)
{
    *result = DiffResult();
    const QString hereDir = canonicalDirectory(here.directory());
    if (!hereDir.isEmpty() && hereDir == canonicalDirectory(there.directory())) {
        *error = QStringLiteral("%1 is the directory being compared with: both sides are the same directory")
                     .arg(QDir::toNativeSeparators(there.directory()));
        return false;
    }
    QVector<int> kinds = options.kinds;
    if (kinds.isEmpty())
        kinds = { Land, Static, Gump, Texture };
    std::sort(kinds.begin(), kinds.end());
    kinds.erase(std::unique(kinds.begin(), kinds.end()), kinds.end());
    kinds.erase(std::remove_if(kinds.begin(), kinds.end(), [](int k) { return !isValidKind(k); }), kinds.end());
    result->kinds = kinds;

    const DiffSide* sides[kSideCount] = { &here, &there };
    for (int s = 0; s < kSideCount; ++s)
        result->sideWarnings[s] = sides[s]->sideWarning();
    QVector<int> listed[kItemKindCount][kSideCount];
    qint64 total = 0;
    for (int kind : kinds) {
        for (int s = 0; s < kSideCount; ++s) {
            result->unreadable[kind][s] = sides[s]->catalogueUnreadable(kind);
            result->warnings[kind][s] = sides[s]->catalogueWarning(kind);
            listed[kind][s] = sides[s]->listedIds(kind);
        }
        total += hasTileData(kind) ? idRange(kind) : listed[kind][0].size() + listed[kind][1].size();
    }

    Comparison compare(here, there, result);
    qint64 done = 0;
    const auto cancelled = [&] { return options.cancel && options.cancel->load(std::memory_order_relaxed); };
    for (int kind : kinds) {
        const QVector<int>& inHere = listed[kind][0];
        const QVector<int>& inThere = listed[kind][1];
        const QVector<int> ids = idsToWalk(kind, inHere, inThere);
        auto h = inHere.cbegin(), t = inThere.cbegin();
        for (int id : ids) {
            while (h != inHere.cend() && *h < id)
                ++h;
            while (t != inThere.cend() && *t < id)
                ++t;
            compare.picture(kind, id, h != inHere.cend() && *h == id, t != inThere.cend() && *t == id);
            if (hasTileData(kind))
                compare.tile(kind, id);
            if (kind == Static)
                compare.anim(id);
            ++done;
            if (done % kCancelStep == 0 && cancelled()) {
                result->cancelled = true;
                return true;
            }
            if (options.progress && done % kProgressStep == 0)
                options.progress(done, total);
        }
    }
    if (options.progress && done % kProgressStep != 0)
        options.progress(total, total);
    return true;
}

bool compareDirectories(const QString& hereDir, const QString& thereDir, const DiffOptions& options,
                        DiffResult* result, QString* error)
{
    *result = DiffResult();
    const DirectoryView here(hereDir);
    if (!here.isOpen()) {
        *error = here.errorString();
        return false;
    }
    const DirectoryView there(thereDir);
    if (!there.isOpen()) {
        *error = there.errorString();
        return false;
    }
    return compareSides(here, there, options, result, error);
}

} // namespace qm
