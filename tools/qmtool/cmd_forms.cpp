// The commands about the forms a directory's files are in: info and convert.
#include "cmd_hues.h"
#include "commandparser.h"
#include "toolcontext.h"

#include "convertcatalogue.h"
#include "directoryforms.h"
#include "indexfile.h"

#include <QDir>

using namespace qm;

int cmdInfo(ToolContext& ctx, CommandParser& cmd)
{
    // Reports whatever it finds in the directory, a missing or damaged file included (exit 0);
    // a directory that is not there is a mistyped path, and scripts must see it fail.
    if (!cmd.requireDirectory())
        return ExitData;
    const DirectoryForms forms = directoryForms(ctx.dir, readCatalogues(ctx.dir));
    ctx.out << "directory: " << QDir::toNativeSeparators(ctx.dir) << '\n';
    for (const CatalogueFormInfo& c : forms.catalogues) {
        ctx.out << c.label << ": ";
        if (!c.present)
            ctx.out << "none (" << c.fileName << " missing)";
        else
            ctx.out << catalogueFormName(c.form) << " (" << c.fileName << "), " << c.entries << " entries";
        if (!c.problem.isEmpty())
            ctx.out << "; read-only: " << c.problem;
        ctx.out << '\n';
    }
    ctx.out << "tile data: ";
    if (forms.tileDataSize < 0)
        ctx.out << "none (tiledata.mul missing)\n";
    else
        ctx.out << tileLayoutName(forms.tileLayout) << " (" << forms.tileDataSize << " bytes)\n";
    ctx.out << "hues: " << hueFileSummary(ctx.dir) << '\n';
    ctx.out.flush();
    return ExitOk;
}

int cmdConvert(ToolContext& ctx, CommandParser& cmd)
{
    const QString what = cmd.positional().at(0).toLower();
    const QString to = cmd.positional().at(1).toLower();
    PackageKind kind;
    if (what == QLatin1String("art"))
        kind = PackageKind::Art;
    else if (what == QLatin1String("gump") || what == QLatin1String("gumps"))
        kind = PackageKind::Gump;
    else
        return cmd.usageError(QStringLiteral("'%1' is no catalogue to convert: use art or gump").arg(cmd.positional().at(0)));
    CatalogueForm target;
    if (to == QLatin1String("package") || to == QLatin1String("uop"))
        target = CatalogueForm::Package;
    else if (to == QLatin1String("mul"))
        target = CatalogueForm::Pair;
    else
        return cmd.usageError(QStringLiteral("'%1' is no form: use package or mul").arg(cmd.positional().at(1)));
    if (!cmd.requireDirectory())
        return ExitData;
    QString note, error;
    if (!convertCatalogue(ctx.dir, kind, target, &note, &error))
        return cmd.dataError(error);
    ctx.out << note << '\n';
    ctx.out.flush();
    return ExitOk;
}
