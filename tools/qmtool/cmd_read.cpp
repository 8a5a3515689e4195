// The read-only commands: they look at the data directory and never change it.
#include "commandparser.h"
#include "toolcontext.h"

#include "animdata.h"
#include "artdatafile.h"
#include "convertcatalogue.h"
#include "recordsource.h"
#include "datacheck.h"
#include "demodata.h"
#include "demowide.h"
#include "indexfile.h"
#include "itemkind.h"
#include "itemsource.h"
#include "tiledata.h"
#include "tilefields.h"
#include "uodir.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace qm;

namespace {

int listIds(ToolContext& ctx, CommandParser& cmd, bool listed)
{
    ItemKind kind = Land;
    if (!cmd.kindArgument(cmd.positional().at(0), &kind))
        return ExitUsage;
    if (!cmd.requireDirectory())
        return ExitData;
    const QString index = mulPath(ctx.dir, catalogueFileName(ctx.dir, kind));
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
bool findEntry(CommandParser& cmd, const QString& dir, ItemKind kind, int id)
{
    if (catalogueForm(dir, kind) == CatalogueForm::Package) {
        if (readCatalogues(dir).isListed(kind, id))
            return true;
        cmd.dataError(QStringLiteral("%1 has no image (%2 holds no entry for it)").arg(itemName(kind, id), catalogueFileName(dir, kind)));
        return false;
    }
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

// The picture of a listed entry as verify judges it: what could be decoded, and the problem.
QString decodeEntry(const QString& dir, ItemKind kind, int id, QImage* image, DecodeReport* report)
{
    if (catalogueForm(dir, kind) == CatalogueForm::Package) {
        const RecordSource source(dir, kind);
        if (!source.isOpen())
            return source.errorString();
        QString error;
        *image = source.decode(id, report, &error);
        if (!error.isEmpty())
            return error;
        if (image->isNull())
            return QStringLiteral("record cannot be decoded");
        return report->complete ? QString() : QStringLiteral("record is damaged or cut short");
    }
    const ArtDataFile data(dir, kind);
    if (!data.isOpen())
        return QStringLiteral("%1 cannot be read: %2").arg(data.fileName(), data.errorString());
    return recordProblem(data, readIndexRecord(dir, kind, id), image, report);
}

} // namespace

int cmdList(ToolContext& ctx, CommandParser& cmd)
{
    return listIds(ctx, cmd, true);
}

int cmdFree(ToolContext& ctx, CommandParser& cmd)
{
    return listIds(ctx, cmd, false);
}

int cmdExportImage(ToolContext& ctx, CommandParser& cmd)
{
    ItemKind kind = Land;
    int id = 0;
    if (!cmd.itemArguments(&kind, &id))
        return ExitUsage;
    const QString out = cmd.positional().at(2);
    const QByteArray format = QFileInfo(out).suffix().toLower().toLatin1();
    if (!QImageWriter::supportedImageFormats().contains(format))
        return cmd.usageError(QStringLiteral("cannot tell a picture format from '%1': use an extension such as .png")
                                  .arg(out));
    if (!cmd.requireDirectory() || !findEntry(cmd, ctx.dir, kind, id))
        return ExitData;
    // The same judgement as verify's: what could be decoded is written, with a warning.
    QImage image;
    DecodeReport report;
    if (const RecordSource source(ctx.dir, kind); !source.isOpen())
        return cmd.dataError(source.errorString());
    const QString problem = decodeEntry(ctx.dir, kind, id, &image, &report);
    if (image.isNull())
        return cmd.dataError(QStringLiteral("%1: %2").arg(itemName(kind, id), problem));
    QImageWriter writer(out, format);
    if (!writer.write(image))
        return cmd.dataError(QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(out), writer.errorString()));
    if (!report.complete)
        ctx.err << "qmtool: warning: " << itemName(kind, id) << ": " << problem
                << "; the picture holds what could be decoded" << Qt::endl;
    return ExitOk;
}

int cmdTile(ToolContext& ctx, CommandParser& cmd)
{
    ItemKind kind = Land;
    int id = 0;
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
    // The flags (the one field as wide as the layout) are written as exact digits first: a
    // JSON number through QJsonValue is a double past 2^53 and has no room for bit 63.
    QByteArray flags;
    QJsonObject o { { QStringLiteral("name"), t.name } };
    for (const TileField* f : tileFieldsOf(kind)) {
        if (f->bytes == 0)
            flags = '"' + QByteArray(f->name) + "\":" + QByteArray::number(f->get(t)) + ',';
        else
            o.insert(QLatin1String(f->name), qint64(f->get(t)));
    }
    QByteArray json = QJsonDocument(o).toJson(QJsonDocument::Compact);
    json.insert(1, flags);   // after the opening brace
    ctx.out << json << '\n';
    return ExitOk;
}

int cmdAnim(ToolContext& ctx, CommandParser& cmd)
{
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

int cmdVerify(ToolContext& ctx, CommandParser& cmd)
{
    if (!cmd.requireDirectory())
        return ExitData;
    CheckStats stats;
    const QStringList problems = checkDataDirectory(ctx.dir, &stats);
    for (const QString& p : problems)
        ctx.out << p << '\n';
    ctx.out.flush();
    if (!problems.isEmpty())
        return cmd.dataError(QStringLiteral("%1 problem(s) by file: %2 (%3 entries checked)")
                                 .arg(stats.problemCount()).arg(stats.problemsByFile()).arg(stats.entries));
    ctx.err << "qmtool: " << stats.entries << " entries checked, no problems" << Qt::endl;
    return ExitOk;
}

int cmdDir(ToolContext& ctx, CommandParser& cmd)
{
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

int cmdMakeDemo(ToolContext& ctx, CommandParser& cmd)
{
    QString error;
    DemoSummary s;
    const QString dir = cmd.positional().at(0);
    const bool packages = cmd.isSet(QStringLiteral("packages"));
    const bool overwrite = cmd.isSet(QStringLiteral("overwrite"));
    // A package left from an earlier run would win over the pairs written now.
    for (PackageKind kind : { PackageKind::Art, PackageKind::Gump }) {
        const QString package = mulPath(dir, packageFileName(kind));
        if (!QFileInfo::exists(package))
            continue;
        if (!overwrite)
            return cmd.dataError(QStringLiteral("%1 exists; use --overwrite to replace it").arg(QDir::toNativeSeparators(package)));
        if (!QFile::remove(package))
            return cmd.dataError(QStringLiteral("cannot remove %1").arg(QDir::toNativeSeparators(package)));
    }
    if (!writeDemoDirectory(dir, cmd.isSet(QStringLiteral("full")), overwrite, &error, &s))
        return cmd.dataError(error);
    int highFlagged = 0;
    if (cmd.isSet(QStringLiteral("wide")) && !widenDemoTileData(dir, &error, &highFlagged))
        return cmd.dataError(error);
    QString note;
    if (packages && (!convertCatalogue(dir, PackageKind::Art, CatalogueForm::Package, &note, &error)
                     || !convertCatalogue(dir, PackageKind::Gump, CatalogueForm::Package, &note, &error)))
        return cmd.dataError(error);
    ctx.out << QStringLiteral("%1 land tiles, %2 statics (%3 animated), %4 gumps, %5 textures; %6 MB of art, "
                              "%7 MB of gumps, %8 MB of textures in %9")
                   .arg(s.landTiles).arg(s.staticTiles).arg(s.animatedStatics).arg(s.gumps).arg(s.textures)
                   .arg(s.artBytes / 1048576.0, 0, 'f', 1).arg(s.gumpBytes / 1048576.0, 0, 'f', 1)
                   .arg(s.textureBytes / 1048576.0, 0, 'f', 1)
                   .arg(QDir::toNativeSeparators(cmd.positional().at(0)))
            << '\n';
    if (cmd.isSet(QStringLiteral("wide")))
        ctx.out << QStringLiteral("tiledata.mul in the wide layout, %1 statics with high flag bits\n").arg(highFlagged);
    return ExitOk;
}
