// export-patch and import-patch: the editor's patch commands without its dialogs.
#include "toolcontext.h"

#include "commandparser.h"
#include "indexfile.h"
#include "itemkind.h"
#include "patchfile.h"
#include "patchtransfer.h"

using namespace qm;


int cmdExportPatch(ToolContext& ctx)
{
    CommandParser parser(ctx, QStringLiteral("export-patch KIND ID OUT"),
                         QStringLiteral("Writes one item (its image, and its tile and animation "
                                        "data where the kind has them) to the patch file OUT, "
                                        "exactly as named."));
    parser.addPositional(QStringLiteral("KIND"), kKindHelp);
    parser.addPositional(QStringLiteral("ID"), kIdHelp);
    parser.addPositional(QStringLiteral("OUT"), QStringLiteral("the patch file to write"));
    if (const int exit = parser.parse(3, 3); exit >= 0)
        return exit;
    const QStringList args = parser.positional();
    int kind = -1, id = -1;
    if (!parser.itemArguments(&kind, &id))
        return ExitUsage;
    if (!parser.requireDirectory())
        return ExitData;

    PatchItem patch;
    QString error;
    if (!buildPatch(ctx.dir, ChangeSet(), kind, id, &patch, &error))
        return parser.dataError(error);
    if (patch.image.isNull())
        ctx.err << "qmtool: note: " << itemName(kind, id)
                << " has no image; the patch carries none" << Qt::endl;
    if (!writePatchFile(args.at(2), patch, &error))
        return parser.dataError(error);
    ctx.out << "exported " << itemName(kind, id) << " to " << args.at(2) << Qt::endl;
    return ExitOk;
}

int cmdImportPatch(ToolContext& ctx)
{
    CommandParser parser(ctx, QStringLiteral("import-patch FILE [--id ID|--id auto]"),
                         QStringLiteral("Imports a patch file under the patch's own id, a chosen "
                                        "id, or the smallest free id (auto), then saves. A broken "
                                        "or unsuitable patch changes nothing (exit 2)."));
    const QCommandLineOption idOption(QStringLiteral("id"),
                                      QStringLiteral("The id to import under, or 'auto' for the "
                                                     "smallest free id (default: the patch's id)."),
                                      QStringLiteral("ID"));
    parser.addOption(idOption);
    parser.addPositional(QStringLiteral("FILE"), QStringLiteral("the patch file to read"));
    if (const int exit = parser.parse(1, 1); exit >= 0)
        return exit;
    if (!parser.requireDirectory())
        return ExitData;

    PatchItem patch;
    QString error;
    if (!readPatchFile(parser.positional().at(0), &patch, &error))
        return parser.dataError(error);
    Catalogues catalogues = readCatalogues(ctx.dir);

    // The editor's id question answered from the command line: empty (here "auto") takes
    // the smallest free id.
    QString answer = QString::number(patch.id);
    if (parser.isSet(idOption)) {
        answer = parser.value(idOption).trimmed();
        if (answer.isEmpty())
            return parser.usageError(QStringLiteral("--id needs an id or 'auto'"));
        if (answer == QLatin1String("auto"))
            answer.clear();
    }
    const PatchIdAnswer chosen = resolvePatchId(answer, patch.kind, catalogues.free[patch.kind]);
    if (chosen.status == PatchIdAnswer::NotANumber)
        return parser.usageError(QStringLiteral("'%1' is not an id: use a decimal number or "
                                                "hexadecimal after 0x").arg(answer));
    if (chosen.status != PatchIdAnswer::Ok)
        return parser.dataError(chosen.message);

    ChangeSet changes;
    storePatch(patch, chosen.id, changes);
    catalogues.list(patch.kind, chosen.id);
    if (const int exit = saveStaged(ctx, catalogues, changes); exit != ExitOk)
        return exit;
    ctx.out << "imported " << kindName(patch.kind) << ' ' << hexId(patch.id) << " as "
            << hexId(chosen.id) << Qt::endl;
    return ExitOk;
}
