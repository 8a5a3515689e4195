// libFuzzer target: static art records (run-length rows through a lookup table).
#include "fuzzsupport.h"

using namespace qm;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    writeSeedsIfAsked([] {
        QVector<QByteArray> seeds;
        seeds << encodeStatic(fuzzSeedImage(1, 1, 0)) << encodeStatic(fuzzSeedImage(7, 5, 1))
              << encodeStatic(fuzzSeedImage(20, 33, 2)) << encodeStatic(fuzzSeedImage(44, 60, 3));
        return seeds;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DecodeReport report;
    const QImage image = decodeStatic(fuzzBytes(data, size), &report);
    checkDecoded(image);
    if (report.extent > qint64(size))
        std::abort();
    // What decodes must encode again (or be refused with a reason) and keep its size.
    if (!image.isNull() && qint64(image.width()) * image.height() <= 65536) {
        QString error;
        const QByteArray again = encodeStatic(image, &error);
        if (again.isEmpty() ? error.isEmpty() : decodeStatic(again).size() != image.size())
            std::abort();
    }
    return 0;
}
