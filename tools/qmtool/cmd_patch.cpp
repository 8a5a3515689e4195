// export-patch and import-patch: the editor's patch commands without its dialogs.
#include "tooledit.h"
#include "editsession.h"
#include "indexfile.h"
#include "itemkind.h"
#include "patchfile.h"
#include "patchtransfer.h"

using namespace qm;

int cmdExportPatch(ToolContext& ctx, CommandParser& cmd)
{
    const QStringList args = cmd.positional();
    ItemKind kind = Land;
    int id = -1;
    if (!cmd.itemArguments(&kind, &id))
        return ExitUsage;
    if (!cmd.requireDirectory())
        return ExitData;

    // The item as an editor would serve it: the export reads through a session.
    EditSession session;
    session.open(ctx.dir);
    PatchItem patch;
    QString error;
    if (!buildPatch(session, ItemKind(kind), id, &patch, &error))
        return cmd.dataError(error);
    if (patch.image.isNull())
        ctx.err << "qmtool: note: " << itemName(kind, id) << " has no image; the patch carries none" << Qt::endl;
    if (!writePatchFile(args.at(2), patch, &error))
        return cmd.dataError(error);
    ctx.out << "exported " << itemName(kind, id) << " to " << args.at(2) << Qt::endl;
    return ExitOk;
}

int cmdImportPatch(ToolContext& ctx, CommandParser& cmd)
{
    if (!cmd.requireDirectory())
        return ExitData;
    PatchItem patch;
    QString error;
    if (!readPatchFile(cmd.positional().at(0), &patch, &error))
        return cmd.dataError(error);
    if (const QString refusal = patchImportRefusal(ctx.dir, patch); !refusal.isEmpty())
        return cmd.dataError(refusal);

    // The editor's id question answered from the command line: empty (here "auto") takes
    // the smallest free id.
    QString answer = QString::number(patch.id);
    const QString idOption = QStringLiteral("id");
    if (cmd.isSet(idOption)) {
        answer = cmd.value(idOption).trimmed();
        if (answer.isEmpty())
            return cmd.usageError(QStringLiteral("--id needs an id or 'auto'"));
        if (answer == QLatin1String("auto"))
            answer.clear();
    }
    if (resolvePatchId(answer, patch.kind, {}).status == PatchIdAnswer::NotANumber)
        return cmd.usageError(QStringLiteral("'%1' is not an id: use a decimal number or hexadecimal after 0x").arg(answer));

    int chosenId = -1;
    // The id is chosen on the directory as the save finds it, so that "auto" never takes an
    // id another program has just used.
    const int exit = editAndSave(ctx, cmd, [&](EditSession& s, QString* e) {
        const PatchIdAnswer chosen = resolvePatchId(answer, patch.kind, s.freeIdSets()[patch.kind]);
        if (chosen.status != PatchIdAnswer::Ok) {
            *e = chosen.message;
            return false;
        }
        chosenId = chosen.id;
        return importPatch(s, patch, chosen.id, e);
    });
    if (exit != ExitOk)
        return exit;
    ctx.out << "imported " << kindName(patch.kind) << ' ' << hexId(patch.id) << " as " << hexId(chosenId) << Qt::endl;
    return ExitOk;
}
