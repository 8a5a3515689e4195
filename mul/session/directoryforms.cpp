#include "directoryforms.h"

#include <QFileInfo>

namespace qm {

DirectoryForms directoryForms(const QString& mulDir, const Catalogues& c)
{
    DirectoryForms out;
    const struct {
        const char* label;
        QVector<int> kinds;
    } catalogues[] = { { "art", { Land, Static } }, { "gumps", { Gump } }, { "textures", { Texture } } };
    for (const auto& cat : catalogues) {
        CatalogueFormInfo info;
        const int kind = cat.kinds.first();
        info.label = QLatin1String(cat.label);
        info.form = catalogueForm(mulDir, kind);
        info.fileName = catalogueFileName(kind, info.form);
        info.present = QFileInfo::exists(mulPath(mulDir, info.fileName));
        for (int k : cat.kinds)
            info.entries += c.listed[k].size();
        info.problem = c.damage[kind];
        if (info.problem.isEmpty() && info.present && !c.indexRead[kind])
            info.problem = QStringLiteral("%1 could not be read").arg(info.fileName);
        out.catalogues << info;
    }
    out.tileLayout = tileDataLayout(mulDir, &out.tileDataSize);
    return out;
}

QString directoryFormsLine(const DirectoryForms& forms)
{
    QStringList parts;
    for (const CatalogueFormInfo& info : forms.catalogues) {
        if (!info.present)
            parts << QStringLiteral("%1: none").arg(info.label);
        else
            parts << QStringLiteral("%1: %2 (%3 entries)").arg(info.label, catalogueFormName(info.form)).arg(info.entries);
    }
    parts << QStringLiteral("tile data: %1").arg(forms.tileDataSize < 0 ? QStringLiteral("none") : tileLayoutName(forms.tileLayout));
    QString line = parts.join(QStringLiteral(", "));
    line[0] = line[0].toUpper();
    return line;
}

} // namespace qm
