// The read-only commands: they look at the data directory and never change it.
#include "commandparser.h"
#include "toolcontext.h"

#include "animdata.h"
#include "datacheck.h"
#include "demodata.h"
#include "indexfile.h"
#include "itemkind.h"
#include "itemsource.h"
#include "tiledata.h"
#include "uodir.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace qm;

namespace {

int listIds(ToolContext& ctx, bool listed)
{
    CommandParser cmd(ctx, listed ? QStringLiteral("list KIND") : QStringLiteral("free KIND"),
                      listed ? QStringLiteral("Prints the ids that have data, ascending, one per line as the "
                                              "editor's lists show them (0x1a).")
                             : QStringLiteral("Prints the free ids (empty index records), ascending, one per line "
                                              "(0x1a). New entries take the smallest."));
    cmd.addPositional(QStringLiteral("KIND"), kKindHelp);
    const int parsed = cmd.parse(1, 1);
    if (parsed >= 0)
        return parsed;
    int kind = 0;
    if (!cmd.kindArgument(cmd.positional().at(0), &kind))
        return ExitUsage;
    if (!cmd.requireDirectory())
        return ExitData;
    const QString index = mulPath(ctx.dir, indexFileName(kind));
    if (!QFileInfo(index).isFile())
        return cmd.dataError(QStringLiteral("cannot open %1").arg(QDir::toNativeSeparators(index)));
    const Catalogues catalogues = readCatalogues(ctx.dir);
    if (listed) {
        for (int id : catalogues.listed[kind])
            ctx.out << hexId(id) << '\n';
    } else {
        for (quint32 id : catalogues.free[kind])
            ctx.out << hexId(int(id)) << '\n';
    }
    ctx.out.flush();
    return ExitOk;
}

// An entry's index record; reports why there is none.
bool findEntry(CommandParser& cmd, const QString& dir, int kind, int id)
{
    bool found = false;
    const IndexRecord r = readIndexRecord(dir, kind, id, &found);
    if (!found) {
        cmd.dataError(QStringLiteral("%1 is not in %2").arg(itemName(kind, id), indexFileName(kind)));
        return false;
    }
    if (r.isEmpty()) {
        cmd.dataError(QStringLiteral("%1 has no image (its entry is empty)").arg(itemName(kind, id)));
        return false;
    }
    return true;
}

} // namespace

int cmdList(ToolContext& ctx)
{
    return listIds(ctx, true);
}

int cmdFree(ToolContext& ctx)
{
    return listIds(ctx, false);
}

int cmdExportImage(ToolContext& ctx)
{
    CommandParser cmd(ctx, QStringLiteral("export-image KIND ID OUT"),
                      QStringLiteral("Writes the item's decoded image to OUT, in the format its extension "
                                     "names (png, bmp, tiff, ...). Exit code 2 when the entry has no image."));
    cmd.addPositional(QStringLiteral("KIND"), kKindHelp);
    cmd.addPositional(QStringLiteral("ID"), kIdHelp);
    cmd.addPositional(QStringLiteral("OUT"), QStringLiteral("the picture file to write"));
    const int parsed = cmd.parse(3, 3);
    if (parsed >= 0)
        return parsed;
    int kind = 0, id = 0;
    if (!cmd.itemArguments(&kind, &id))
        return ExitUsage;
    const QString out = cmd.positional().at(2);
    const QByteArray format = QFileInfo(out).suffix().toLower().toLatin1();
    if (!QImageWriter::supportedImageFormats().contains(format))
        return cmd.usageError(QStringLiteral("cannot tell a picture format from '%1': use an extension such as .png")
                                  .arg(out));
    if (!cmd.requireDirectory() || !findEntry(cmd, ctx.dir, kind, id))
        return ExitData;
    const QImage image = readImageFromFiles(ctx.dir, kind, id);
    if (image.isNull())
        return cmd.dataError(QStringLiteral("%1: its record cannot be decoded").arg(itemName(kind, id)));
    QImageWriter writer(out, format);
    if (!writer.write(image))
        return cmd.dataError(QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(out), writer.errorString()));
    return ExitOk;
}

int cmdTile(ToolContext& ctx)
{
    CommandParser cmd(ctx, QStringLiteral("tile land|static ID"),
                      QStringLiteral("Prints the tile data of a land or static tile as one JSON object. Land: "
                                     "name, texid, flags. Static: name, flags, weight, quality, quantity, unk, "
                                     "unk1, animid, hue, unk2, unk3, height."));
    cmd.addPositional(QStringLiteral("KIND"), QStringLiteral("land or static (or 0, 1)"));
    cmd.addPositional(QStringLiteral("ID"), kIdHelp);
    const int parsed = cmd.parse(2, 2);
    if (parsed >= 0)
        return parsed;
    int kind = 0, id = 0;
    if (!cmd.kindArgument(cmd.positional().at(0), &kind))
        return ExitUsage;
    if (!hasTileData(kind))
        return cmd.usageError(QStringLiteral("only land and static tiles have tile data"));
    if (!cmd.idArgument(kind, cmd.positional().at(1), &id))
        return ExitUsage;
    if (!cmd.requireDirectory())
        return ExitData;
    QByteArray raw;
    const tile_struct t = readTileRecord(ctx.dir, kind, id, &raw);
    if (raw.isEmpty())
        return cmd.dataError(QStringLiteral("cannot read %1 from %2").arg(itemName(kind, id),
                                                                          QDir::toNativeSeparators(mulPath(ctx.dir, QStringLiteral("tiledata.mul")))));
    QJsonObject o { { QStringLiteral("name"), t.name }, { QStringLiteral("flags"), qint64(t.flags) } };
    if (kind == Land) {
        o.insert(QStringLiteral("texid"), t.texid);
    } else {
        o.insert(QStringLiteral("weight"), t.weight);
        o.insert(QStringLiteral("quality"), t.quality);
        o.insert(QStringLiteral("quantity"), t.quantity);
        o.insert(QStringLiteral("unk"), t.unk);
        o.insert(QStringLiteral("unk1"), t.unk1);
        o.insert(QStringLiteral("animid"), t.animid);
        o.insert(QStringLiteral("hue"), t.hue);
        o.insert(QStringLiteral("unk2"), t.unk2);
        o.insert(QStringLiteral("unk3"), t.unk3);
        o.insert(QStringLiteral("height"), t.height);
    }
    ctx.out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
    return ExitOk;
}

int cmdAnim(ToolContext& ctx)
{
    CommandParser cmd(ctx, QStringLiteral("anim ID"),
                      QStringLiteral("Prints the animation data of a static tile as one JSON object: frames "
                                     "(64 signed offsets), frameUnknown, frameCount, frameInterval and "
                                     "frameStart (intervals in steps of 50 ms)."));
    cmd.addPositional(QStringLiteral("ID"), QStringLiteral("a static id, ") + kIdHelp);
    const int parsed = cmd.parse(1, 1);
    if (parsed >= 0)
        return parsed;
    int id = 0;
    if (!cmd.idArgument(Static, cmd.positional().at(0), &id))
        return ExitUsage;
    if (!cmd.requireDirectory())
        return ExitData;
    bool found = false;
    const anim_st a = readAnimRecord(ctx.dir, id, &found);
    if (!found)
        return cmd.dataError(QStringLiteral("cannot read static %1 from %2").arg(hexId(id),
                                                                          QDir::toNativeSeparators(mulPath(ctx.dir, QStringLiteral("animdata.mul")))));
    QJsonArray frames;
    for (qint8 f : a.frames)
        frames.append(int(f));
    const QJsonObject o { { QStringLiteral("frames"), frames },
                          { QStringLiteral("frameUnknown"), int(a.frameUnknown) },
                          { QStringLiteral("frameCount"), int(a.frameCount) },
                          { QStringLiteral("frameInterval"), int(a.frameInterval) },
                          { QStringLiteral("frameStart"), int(a.frameStart) } };
    ctx.out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
    return ExitOk;
}

int cmdVerify(ToolContext& ctx)
{
    CommandParser cmd(ctx, QStringLiteral("verify"),
                      QStringLiteral("Decodes every listed entry of the four catalogues and checks that its record "
                                     "lies inside its data file and fits its index length; checks that "
                                     "tiledata.mul and animdata.mul are usable. Prints one line per problem; "
                                     "exit code 0 when there is none, else 2."));
    const int parsed = cmd.parse(0, 0);
    if (parsed >= 0)
        return parsed;
    if (!cmd.requireDirectory())
        return ExitData;
    CheckStats stats;
    const QStringList problems = checkDataDirectory(ctx.dir, &stats);
    for (const QString& p : problems)
        ctx.out << p << '\n';
    ctx.out.flush();
    if (!problems.isEmpty())
        return cmd.dataError(QStringLiteral("%1 problem(s) in %2 entries checked").arg(problems.size()).arg(stats.entries));
    ctx.err << "qmtool: " << stats.entries << " entries checked, no problems" << Qt::endl;
    return ExitOk;
}

int cmdDir(ToolContext& ctx)
{
    CommandParser cmd(ctx, QStringLiteral("dir [PATH]"),
                      QStringLiteral("Without PATH, prints the data directory the editor uses (--dir overrides it "
                                     "for this run). With PATH, stores that existing directory as the editor's "
                                     "data directory."));
    cmd.addPositional(QStringLiteral("PATH"), QStringLiteral("the game's data directory to store"));
    const int parsed = cmd.parse(0, 1);
    if (parsed >= 0)
        return parsed;
    if (cmd.positional().isEmpty()) {
        if (ctx.dir.isEmpty())
            return cmd.dataError(QStringLiteral("no data directory is configured"));
        ctx.out << QDir::toNativeSeparators(ctx.dir) << '\n';
        return ExitOk;
    }
    const QFileInfo path(cmd.positional().at(0));
    if (!path.isDir())
        return cmd.dataError(QStringLiteral("%1 is not a directory").arg(cmd.positional().at(0)));
    // Stored as the editor names it: absolute, without a trailing separator.
    writeUODir(QDir::cleanPath(path.absoluteFilePath()));
    return ExitOk;
}

int cmdMakeDemo(ToolContext& ctx)
{
    CommandParser cmd(ctx, QStringLiteral("make-demo DIR [--full] [--overwrite]"),
                      QStringLiteral("Writes a complete demo data directory drawn by this program: land tiles, "
                                     "statics (some animated), gumps, textures, tile data and animation data. "
                                     "The same bytes on every run."));
    cmd.addPositional(QStringLiteral("DIR"), QStringLiteral("the directory to write (created if needed)"));
    const QCommandLineOption full(QStringLiteral("full"),
                                  QStringLiteral("Realistic sizes for benchmarks: about 80 MB of art, 100 MB of gumps, "
                                                 "20 MB of textures."));
    const QCommandLineOption overwrite(QStringLiteral("overwrite"),
                                       QStringLiteral("Replace data files already in DIR (never point this at a real "
                                                      "game directory)."));
    cmd.addOption(full);
    cmd.addOption(overwrite);
    const int parsed = cmd.parse(1, 1);
    if (parsed >= 0)
        return parsed;
    QString error;
    DemoSummary s;
    if (!writeDemoDirectory(cmd.positional().at(0), cmd.isSet(full), cmd.isSet(overwrite), &error, &s))
        return cmd.dataError(error);
    ctx.out << QStringLiteral("%1 land tiles, %2 statics (%3 animated), %4 gumps, %5 textures; %6 MB of art, "
                              "%7 MB of gumps, %8 MB of textures in %9")
                   .arg(s.landTiles).arg(s.staticTiles).arg(s.animatedStatics).arg(s.gumps).arg(s.textures)
                   .arg(s.artBytes / 1048576.0, 0, 'f', 1).arg(s.gumpBytes / 1048576.0, 0, 'f', 1)
                   .arg(s.textureBytes / 1048576.0, 0, 'f', 1)
                   .arg(QDir::toNativeSeparators(cmd.positional().at(0)))
            << '\n';
    return ExitOk;
}
