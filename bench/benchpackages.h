#pragma once

#include "convertcatalogue.h"
#include "demodata.h"
#include "indexfile.h"

#include <QDir>
#include <QFile>

#include <cstdio>

// A copy of a demo directory whose art and gumps are packages holding the same entries, so
// that the benchmarks can set the two forms side by side.
inline bool makePackageCopy(const QString& from, const QString& to)
{
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    for (const QString& name : qm::demoFileNames())
        if (!QFile::copy(from + "/" + name, to + "/" + name))
            return false;
    QString note, error;
    if (qm::convertCatalogue(to, qm::PackageKind::Art, qm::CatalogueForm::Package, &note, &error)
        && qm::convertCatalogue(to, qm::PackageKind::Gump, qm::CatalogueForm::Package, &note, &error))
        return true;
    std::fprintf(stderr, "converting to packages failed: %s\n", qPrintable(error));
    return false;
}
