// Moving many pictures in and out at once: a folder of PNG files named by kind and id.
#include "cmd_images.h"

#include "cataloguefilter.h"
#include "editsession.h"
#include "commandparser.h"
#include "imagebatchexport.h"
#include "imagebatchimport.h"
#include "imagebatchnames.h"
#include "indexfile.h"
#include "tooledit.h"

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

// KIND and a data directory to work on. Returns -1 to go on, else the exit code.
int kindAndDirectory(CommandParser& cmd, ItemKind* kind)
{
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

int cmdExportImages(ToolContext& ctx, CommandParser& cmd)
{
    const QString idsOption = QStringLiteral("ids");
    const QString keepOption = QStringLiteral("keep-existing");
    ItemKind kind = Land;
    if (const int done = kindAndDirectory(cmd, &kind); done >= 0)
        return done;
    int first = 0;
    int last = std::numeric_limits<int>::max();
    if (cmd.isSet(idsOption) && !parseIdRange(cmd.value(idsOption), &first, &last))
        return cmd.usageError(QStringLiteral("--ids takes an id or a range such as 0x100-0x1ff, not '%1'")
                                  .arg(cmd.value(idsOption)));

    // Pictures come through the session, so every form of catalogue the editor opens is
    // exported alike; decoding is cheap beside the PNG encoding, which runs on workers.
    EditSession session;
    session.open(ctx.dir);
    QVector<int> ids;
    for (int id : session.listed(ItemKind(kind)))
        if (id >= first && id <= last)
            ids << id;

    ImageExportOptions options;
    options.replaceExisting = !cmd.isSet(keepOption);
    const QString folder = cmd.positional().at(1);
    const ImageExportResult result = exportImages(
        kind, ids, folder, [&session](ItemKind k, int id) { return session.image(k, id); }, options);
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

int cmdImportImages(ToolContext& ctx, CommandParser& cmd)
{
    ItemKind kind = Land;
    if (const int done = kindAndDirectory(cmd, &kind); done >= 0)
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

    // One step: every picture or none, saved together.
    const int exit = editAndSave(ctx, cmd, [&](EditSession& s, QString* error) {
        return applyImageImport(s, ItemKind(kind), plan.accepted, QStringLiteral("Import Pictures"), nullptr, error);
    });
    if (exit != ExitOk)
        return exit;
    ctx.out << plan.accepted.size() << " pictures imported" << Qt::endl;
    return ExitOk;
}
