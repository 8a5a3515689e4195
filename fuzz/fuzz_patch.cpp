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
#include <QtEndian>

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

quint32 crc32(const char* data, qsizetype size)
{
    quint32 crc = 0xffffffffu;
    for (qsizetype i = 0; i < size; ++i) {
        crc ^= quint8(data[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// Mutations nearly always break a PNG chunk's CRC, which the decoder checks first. A copy with
// the CRCs made right again carries changed headers, palettes and sizes on to the decoder and
// to the size checks. Empty when there is no PNG to repair.
QByteArray withRepairedCrcs(QByteArray bytes)
{
    qsizetype pos = bytes.indexOf(QByteArray("\x89PNG\r\n\x1a\n", 8));
    if (pos < 0)
        return QByteArray();
    pos += 8;
    while (bytes.size() - pos >= 12) {
        const quint32 length = qFromBigEndian<quint32>(bytes.constData() + pos);
        if (length > quint32(bytes.size() - pos - 12))
            break;
        const quint32 crc = crc32(bytes.constData() + pos + 4, 4 + qsizetype(length));
        qToBigEndian<quint32>(crc, bytes.data() + pos + 8 + length);
        pos += 12 + qsizetype(length);
    }
    return bytes;
}

bool samePatch(const PatchItem& a, const PatchItem& b)
{
    return a.kind == b.kind && a.id == b.id && a.image == b.image && a.tileRecord == b.tileRecord
        && a.animRecord == b.animRecord;
}

void check(const QByteArray& bytes)
{
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
        return;
    }
    QByteArray again;
    PatchItem back;
    if (!serialisePatch(patch, &again, &error) || !parsePatch(again, &back, &error)
        || !samePatch(patch, back))
        std::abort();
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
    check(bytes);
    const QByteArray repaired = withRepairedCrcs(bytes);
    if (!repaired.isEmpty() && repaired != bytes)
        check(repaired);
    return 0;
}
