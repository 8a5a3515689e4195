#include "demowide.h"

#include "indexfile.h"
#include "itemkind.h"
#include "tiledata.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

namespace qm {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("DemoData", text);
}

// The block headers of one kind's blocks copied, every record re-encoded in the wide layout.
void widenKind(int kind, int count, const QByteArray& classic, QByteArray& wide, int* highFlagged)
{
    for (int id = 0; id < count; ++id) {
        const qint64 from = tileOffset(kind, id, TileLayout::Classic);
        const qint64 to = tileOffset(kind, id, TileLayout::Wide);
        if (id % kTileBlockEntries == 0)
            wide.replace(int(to - 4), 4, classic.mid(int(from - 4), 4));
        tile_struct t = parseTile(kind, classic.constData() + from, TileLayout::Classic);
        if (kind == Static && id % 8 == 0 && !t.name.isEmpty()) {
            t.flags |= quint64(1) << (32 + (3 * (id / 8)) % 32);
            ++*highFlagged;
        }
        wide.replace(int(to), tileRecordSize(kind, TileLayout::Wide), tileBytes(kind, t, TileLayout::Wide));
    }
}

} // namespace

bool widenDemoTileData(const QString& dir, QString* error, int* highFlagged)
{
    const QString path = mulPath(dir, QStringLiteral("tiledata.mul"));
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = tr("Cannot read %1: %2").arg(path, in.errorString());
        return false;
    }
    const QByteArray classic = in.readAll();
    in.close();
    if (classic.size() != kFullTileDataSize) {
        *error = tr("%1 is not a full classic tiledata.mul (%2 bytes)").arg(path).arg(classic.size());
        return false;
    }
    QByteArray wide(int(kFullWideTileDataSize), '\0');
    int flagged = 0;
    widenKind(Land, kLandCount, classic, wide, &flagged);
    widenKind(Static, kStaticCount, classic, wide, &flagged);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(wide) != wide.size() || !out.commit()) {
        *error = tr("Cannot write %1: %2").arg(path, out.errorString());
        return false;
    }
    if (highFlagged)
        *highFlagged = flagged;
    return true;
}

} // namespace qm
