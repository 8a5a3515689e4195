// libFuzzer target: land records.
#include "fuzzsupport.h"

using namespace qm;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    writeSeedsIfAsked([] {
        QVector<QByteArray> seeds;
        for (int v = 0; v < 3; ++v)
            seeds << encodeLand(fuzzSeedImage(kLandSize, kLandSize, v));
        seeds << encodeLand(fuzzSeedImage(kLandSize, kLandSize, 4)).left(700);
        return seeds;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DecodeReport report;
    const QImage image = decodeLand(fuzzBytes(data, size), &report);
    checkDecoded(image);
    if (report.extent > qint64(size))
        std::abort();
    if (!image.isNull() && (image.width() != kLandSize || encodeLand(image).size() != kLandRecordSize))
        std::abort();
    return 0;
}
