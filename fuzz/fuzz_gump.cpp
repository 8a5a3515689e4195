// libFuzzer target: gump records. The first four input bytes are the index record's extra
// (height, width), the rest is the record.
#include "fuzzsupport.h"
#include "littleendian.h"

using namespace qm;

namespace {

QByteArray withExtra(const QImage& image)
{
    QByteArray out;
    appendU32(out, gumpExtraFor(image.width(), image.height()));
    return out + encodeGump(image);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    writeSeedsIfAsked([] {
        QVector<QByteArray> seeds;
        seeds << withExtra(fuzzSeedImage(1, 1, 0)) << withExtra(fuzzSeedImage(9, 4, 1))
              << withExtra(fuzzSeedImage(30, 20, 2));
        QImage flat(40, 6, QImage::Format_ARGB32);
        flat.fill(color16ToRgb(0x4210));
        seeds << withExtra(flat);
        return seeds;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const quint32 extra = readU32(reinterpret_cast<const char*>(data));
    const int width = gumpWidthFromExtra(extra);
    const int height = gumpHeightFromExtra(extra);
    DecodeReport report;
    const QImage image = decodeGump(fuzzBytes(data + 4, size - 4), width, height, &report);
    checkDecoded(image);
    if (report.extent > qint64(size - 4))
        std::abort();
    if (!image.isNull()) {
        if (image.width() != width || image.height() != height)
            std::abort();
        // Encoding again keeps every pixel up to the one-step darkening of a save.
        if (qint64(width) * height <= 65536) {
            const QImage again = decodeGump(encodeGump(image), width, height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const QRgb before = image.pixel(x, y);
                    const QRgb expected = before ? color16ToRgb(qint16(rgbToColor16(before))) : 0u;
                    if (again.pixel(x, y) != expected)
                        std::abort();
                }
        }
    }
    return 0;
}
