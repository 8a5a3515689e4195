// The patch reader on arbitrary bytes: patch files come from strangers. Every input must be
// either refused with a reason or accepted, and whatever is accepted must come back unchanged
// when written and read again.
//
// Seeds: run once with QM_FUZZ_WRITE_SEEDS=DIR to write a small corpus of valid patches
// (every kind, with and without an image) into DIR, then fuzz with DIR as the corpus.
#include "patchfile.h"
#include "pngslice.h"
#include "records.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdint>
#include <cstdlib>

namespace {

QImage seedImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(x * 8, y * 8, (x + y) * 4, (x + y) % 3 ? 255 : 0));
    return image;
}

PatchItem seedPatch(int kind, const QImage& image)
{
    PatchItem patch;
    patch.kind = kind;
    patch.id = 0x1f4;
    patch.image = image;
    if (kind == 0)
        patch.tileRecord = QByteArray(kLandTileRecordSize, '\x07');
    if (kind == 1) {
        patch.tileRecord = QByteArray(kStaticTileRecordSize, '\x21');
        patch.animRecord = QByteArray(kAnimRecordSize, '\x02');
    }
    return patch;
}

void writeSeeds(const QString& dir)
{
    QDir().mkpath(dir);
    const QImage images[] = { QImage(), seedImage(44, 44), seedImage(8, 5), seedImage(64, 64) };
    int n = 0;
    for (int kind = 0; kind < 4; ++kind) {
        for (const QImage& image : images) {
            QByteArray bytes;
            QString error;
            if (!serialisePatch(seedPatch(kind, image), &bytes, &error))
                continue;
            QFile f(QStringLiteral("%1/seed-%2.qmp").arg(dir).arg(n++));
            if (f.open(QIODevice::WriteOnly))
                f.write(bytes);
        }
    }
}

bool samePatch(const PatchItem& a, const PatchItem& b)
{
    return a.kind == b.kind && a.id == b.id && a.image == b.image && a.tileRecord == b.tileRecord
        && a.animRecord == b.animRecord;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const QByteArray seedDir = qgetenv("QM_FUZZ_WRITE_SEEDS");
    if (!seedDir.isEmpty()) {
        writeSeeds(QString::fromLocal8Bit(seedDir));
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // The chunk walk alone, on the raw bytes as if they were a bare PNG.
    PngExtent extent;
    QString reason;
    if (findPngExtent(bytes, 0, &extent, &reason) && (extent.end <= 0 || extent.end > bytes.size()))
        std::abort();

    PatchItem patch;
    QString error;
    if (!parsePatch(bytes, &patch, &error)) {
        if (error.isEmpty())
            std::abort();   // a refusal must say why
        return 0;
    }
    QByteArray again;
    PatchItem back;
    if (!serialisePatch(patch, &again, &error) || !parsePatch(again, &back, &error)
        || !samePatch(patch, back))
        std::abort();
    return 0;
}
