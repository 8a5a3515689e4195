#pragma once
// Shared by the libFuzzer targets: seed writing and a few checks that the decoders' results
// are consistent. Seeds are made by our own encoders, so no game file is ever needed.

#include "artcodec.h"
#include "pixels.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QVector>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>

// A small picture with transparent areas and runs, deterministic.
inline QImage fuzzSeedImage(int width, int height, int variant)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool hole = ((x + variant) / 3 + y) % 4 == 0;
            const quint16 c = quint16((x * 37 + y * 11 + variant * 101) & 0x7FFF) | 1;
            image.setPixel(x, y, hole ? 0u : qm::color16ToRgb(qint16(c)));
        }
    }
    return image;
}

// With QM_FUZZ_SEEDS set to a directory, a target writes its seed inputs there and exits,
// so that fuzz/run.sh can build a starting corpus from the encoders of this very build.
inline void writeSeedsIfAsked(const std::function<QVector<QByteArray>()>& makeSeeds)
{
    const char* dir = std::getenv("QM_FUZZ_SEEDS");
    if (!dir || !*dir)
        return;
    QDir().mkpath(QString::fromLocal8Bit(dir));
    int n = 0;
    for (const QByteArray& seed : makeSeeds()) {
        QFile f(QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("seed-%1").arg(n++)));
        if (!f.open(QIODevice::WriteOnly) || f.write(seed) != seed.size()) {
            std::fprintf(stderr, "cannot write seed %s\n", qPrintable(f.fileName()));
            std::exit(1);
        }
    }
    std::fprintf(stderr, "wrote %d seeds to %s\n", n, dir);
    std::exit(0);
}

inline QByteArray fuzzBytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A decoded image must be null or ARGB32 within the cap; small ones must survive a second
// encode and decode with their size.
inline void checkDecoded(const QImage& image)
{
    if (image.isNull())
        return;
    if (image.format() != QImage::Format_ARGB32
        || qint64(image.width()) * image.height() > qm::kMaxArtPixels)
        std::abort();
}
