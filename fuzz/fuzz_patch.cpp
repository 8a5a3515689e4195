// The patch reader on arbitrary bytes: patch files come from strangers. Every input must be
// either refused with a reason or accepted, and whatever is accepted must come back unchanged
// when written and read again.
//
// Seeds: valid patches of every kind, with and without an image (QM_FUZZ_SEEDS, see run.sh).
#include "fuzzsupport.h"
#include "patchfile.h"
#include "pngslice.h"
#include "records.h"

#include <QImage>
#include <QtEndian>

using namespace qm;

namespace {

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

QVector<QByteArray> seeds()
{
    QVector<QByteArray> out;
    const QImage images[] = { QImage(), fuzzSeedImage(44, 44, 0), fuzzSeedImage(8, 5, 1),
                              fuzzSeedImage(64, 64, 2) };
    for (int kind = 0; kind < 4; ++kind) {
        for (const QImage& image : images) {
            QByteArray bytes;
            QString error;
            if (serialisePatch(seedPatch(kind, image), &bytes, &error))
                out << bytes;
        }
    }
    return out;
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
    writeSeedsIfAsked(seeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    check(bytes);
    const QByteArray repaired = withRepairedCrcs(bytes);
    if (!repaired.isEmpty() && repaired != bytes)
        check(repaired);
    return 0;
}
