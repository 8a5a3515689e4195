#pragma once

#include "demodata.h"

#include <QString>

#include <cstdio>

// The data directory a benchmark reads: the one named as its first argument, or else a
// full-size demo directory written to `fresh`. Empty after printing why that failed.
inline QString benchDirectory(int argc, char** argv, const QString& fresh, const char* bench)
{
    if (argc > 1)
        return QString::fromLocal8Bit(argv[1]);
    QString error;
    if (!qm::writeDemoDirectory(fresh, true, false, &error)) {
        std::fprintf(stderr, "%s: %s\n", bench, qPrintable(error));
        return QString();
    }
    return fresh;
}
