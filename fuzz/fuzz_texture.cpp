// libFuzzer target: texture records. The first input byte chooses the index extra (1: 128).
#include "fuzzsupport.h"

using namespace qm;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    writeSeedsIfAsked([] {
        QVector<QByteArray> seeds;
        seeds << QByteArray(1, '\0') + encodeTexture(fuzzSeedImage(64, 64, 0));
        seeds << QByteArray(1, '\1') + encodeTexture(fuzzSeedImage(128, 128, 1)).left(5000);
        return seeds;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int textureSize = textureSizeForExtra(data[0]);
    DecodeReport report;
    const QImage image = decodeTexture(fuzzBytes(data + 1, size - 1), textureSize, &report);
    checkDecoded(image);
    if (report.extent > qint64(size - 1))
        std::abort();
    if (!image.isNull() && encodeTexture(image).size() != 2 * textureSize * textureSize)
        std::abort();
    return 0;
}
