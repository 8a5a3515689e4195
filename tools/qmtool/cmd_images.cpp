// Moving many pictures in and out at once: a folder of PNG files named by kind and id.
#include "cmd_images.h"

#include "artpicturereader.h"
#include "cataloguefilter.h"
#include "changeset.h"
#include "commandparser.h"
#include "imagebatchexport.h"
#include "imagebatchimport.h"
#include "imagebatchnames.h"
#include "indexfile.h"

#include <QDir>

#include <limits>

using namespace qm;

namespace {

// --ids: "0x100-0x1ff", "256-511" or one id; false for anything else (a name, say).
bool parseIdRange(const QString& text, int* first, int* last)
{
    const CatalogueFilter filter = parseCatalogueFilter(text);
    if (filter.lastId < 0 || !filter.name.isEmpty())
        return false;
    *first = filter.firstId;
    *last = filter.lastId;
    return true;
}

// KIND and DIR, and a data directory to work on. Returns -1 to go on, else the exit code.
int parseKindAndFolder(CommandParser& cmd, int* kind)
{
    if (const int parsed = cmd.parse(2, 2); parsed >= 0)
        return parsed;
    if (!cmd.kindArgument(cmd.positional().at(0), kind))
        return ExitUsage;
    return cmd.requireDirectory() ? -1 : ExitData;
}

void reportFailures(ToolContext& ctx, const QVector<BatchItemFailure>& failures)
{
    for (const BatchItemFailure& f : failures)
        ctx.err << "qmtool: " << f.fileName << ": " << f.reason << Qt::endl;
}

} // namespace

int cmdExportImages(ToolContext& ctx)
{
    CommandParser cmd(ctx, QStringLiteral("export-images KIND DIR [--ids RANGE]"),
                      QStringLiteral("Writes the picture of every item of KIND (or of those in RANGE) into "
                                     "the folder DIR, created if needed, one PNG per item named like "
                                     "static-0x1a2b.png. Files of those names are replaced; no other file "
                                     "in DIR is touched. Empty items are skipped."));
    cmd.addPositional(QStringLiteral("KIND"), kKindHelp);
    cmd.addPositional(QStringLiteral("DIR"), QStringLiteral("the folder to write into"));
    const QCommandLineOption idsOption(QStringLiteral("ids"),
                                       QStringLiteral("only ids in RANGE: 0x100-0x1ff, 256-511 or one id"),
                                       QStringLiteral("RANGE"));
    const QCommandLineOption keepOption(QStringLiteral("keep-existing"),
                                        QStringLiteral("leave files already in DIR as they are"));
    cmd.addOption(idsOption);
    cmd.addOption(keepOption);
    int kind = 0;
    if (const int done = parseKindAndFolder(cmd, &kind); done >= 0)
        return done;
    int first = 0;
    int last = std::numeric_limits<int>::max();
    if (cmd.isSet(idsOption) && !parseIdRange(cmd.value(idsOption), &first, &last))
        return cmd.usageError(QStringLiteral("--ids takes an id or a range such as 0x100-0x1ff, not '%1'")
                                  .arg(cmd.value(idsOption)));

    const Catalogues catalogues = readCatalogues(ctx.dir);
    QVector<int> ids;
    for (int id : catalogues.listed[kind])
        if (id >= first && id <= last)
            ids << id;
    const ArtPictureReader reader(ctx.dir, kind);
    if (!ids.isEmpty() && !reader.isOpen())
        return cmd.dataError(reader.errorString());

    ImageExportOptions options;
    options.replaceExisting = !cmd.isSet(keepOption);
    options.sourceIsThreadSafe = true;
    const QString folder = cmd.positional().at(1);
    const ImageExportResult result = exportImages(
        kind, ids, folder, [&reader](int, int id) { return reader.picture(id); }, options);
    if (!result.error.isEmpty())
        return cmd.dataError(result.error);
    reportFailures(ctx, result.failures);
    ctx.out << result.written << " pictures written to " << QDir::toNativeSeparators(folder);
    if (!result.emptyIds.isEmpty())
        ctx.out << ", " << result.emptyIds.size() << " items without a picture skipped";
    if (result.kept > 0)
        ctx.out << ", " << result.kept << " existing files kept";
    if (!result.failures.isEmpty())
        ctx.out << ", " << result.failures.size() << " failed";
    ctx.out << Qt::endl;
    return result.failures.isEmpty() ? ExitOk : ExitData;
}

int cmdImportImages(ToolContext& ctx)
{
    CommandParser cmd(ctx, QStringLiteral("import-images KIND DIR"),
                      QStringLiteral("Replaces the pictures of the items of KIND named by the files in DIR "
                                     "(static-0x1a2b.png and the like; other files are ignored) and saves. "
                                     "Each picture is brought to the kind as import-image does. If any file "
                                     "is refused, all refusals are listed and no file is changed."));
    cmd.addPositional(QStringLiteral("KIND"), kKindHelp);
    cmd.addPositional(QStringLiteral("DIR"), QStringLiteral("the folder to read"));
    int kind = 0;
    if (const int done = parseKindAndFolder(cmd, &kind); done >= 0)
        return done;

    const QString folder = cmd.positional().at(1);
    const ImageImportPlan plan = planImageImport(kind, folder);
    if (!plan.error.isEmpty())
        return cmd.dataError(plan.error);
    if (!plan.refused.isEmpty()) {
        reportFailures(ctx, plan.refused);
        return cmd.dataError(QStringLiteral("%1 of %2 pictures refused; no file was changed")
                                 .arg(plan.refused.size())
                                 .arg(plan.refused.size() + plan.accepted.size()));
    }
    if (plan.accepted.isEmpty())
        return cmd.dataError(QStringLiteral("no file in %1 is named for a %2 item, such as %3")
                                 .arg(QDir::toNativeSeparators(folder), kindName(kind).toLower(),
                                      batchImageFileName(kind, 0x1a2b)));

    Catalogues catalogues = readCatalogues(ctx.dir);
    ChangeSet changes;
    for (const AcceptedPicture& picture : plan.accepted) {
        changes.images[kind].insert(picture.id, picture.image);
        catalogues.list(kind, picture.id);
    }
    if (const int exit = saveStaged(ctx, catalogues, changes); exit != ExitOk)
        return exit;
    ctx.out << plan.accepted.size() << " pictures imported" << Qt::endl;
    return ExitOk;
}
