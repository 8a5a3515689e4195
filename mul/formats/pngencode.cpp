#include "pngencode.h"

#include <zlib.h>

#include <cstring>
#include <memory>

namespace qm {

namespace {

void appendBigEndian32(QByteArray& out, quint32 v)
{
    const char bytes[4] = { char(v >> 24), char(v >> 16), char(v >> 8), char(v) };
    out.append(bytes, 4);
}

// Length, type, data and the CRC over type and data.
void appendChunk(QByteArray& out, const char* type, const char* data, qsizetype size)
{
    appendBigEndian32(out, quint32(size));
    const qsizetype typeAt = out.size();
    out.append(type, 4);
    out.append(data, size);
    const auto* crcStart = reinterpret_cast<const Bytef*>(out.constData() + typeAt);
    appendBigEndian32(out, quint32(crc32(0, crcStart, uInt(out.size() - typeAt))));
}

// One deflate stream per thread, reset between pictures: setting one up allocates and
// clears a few hundred kilobytes, more than compressing a small picture costs.
class Deflater {
public:
    Deflater()
    {
        // Level 1: flat areas and transparent margins still shrink well, at a fraction of
        // the default level's time.
        m_ok = deflateInit2(&m_stream, 1, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~Deflater()
    {
        if (m_ok)
            deflateEnd(&m_stream);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    bool compress(const QByteArray& in, QByteArray* out)
    {
        if (!m_ok || deflateReset(&m_stream) != Z_OK)
            return false;
        out->resize(qsizetype(deflateBound(&m_stream, uLong(in.size()))));
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
        m_stream.avail_in = uInt(in.size());
        m_stream.next_out = reinterpret_cast<Bytef*>(out->data());
        m_stream.avail_out = uInt(out->size());
        if (deflate(&m_stream, Z_FINISH) != Z_STREAM_END)
            return false;
        out->resize(out->size() - qsizetype(m_stream.avail_out));
        return true;
    }

private:
    z_stream m_stream {};
    bool m_ok = false;
};

// The rows as PNG wants them: a filter byte, then RGBA bytes, each the difference to the
// pixel on its left ("Sub"), which turns flat runs into zeros for the compressor.
QByteArray filteredRows(const QImage& image)
{
    const int width = image.width();
    const qsizetype rowBytes = 1 + 4 * qsizetype(width);
    QByteArray raw(rowBytes * image.height(), Qt::Uninitialized);
    auto* out = reinterpret_cast<uchar*>(raw.data());
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        *out++ = 1;
        QRgb left = 0;
        for (int x = 0; x < width; ++x) {
            const QRgb p = line[x];
            out[0] = uchar(qRed(p) - qRed(left));
            out[1] = uchar(qGreen(p) - qGreen(left));
            out[2] = uchar(qBlue(p) - qBlue(left));
            out[3] = uchar(qAlpha(p) - qAlpha(left));
            out += 4;
            left = p;
        }
    }
    return raw;
}

} // namespace

QByteArray encodePng(const QImage& source, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    if (source.isNull())
        return fail(QStringLiteral("the picture is empty"));
    // The filtered rows go to zlib in one piece, whose sizes are 32-bit.
    if ((1 + 4 * qint64(source.width())) * source.height() > 0x7FFFFFFF)
        return fail(QStringLiteral("the picture is too large for a PNG file"));
    const QImage image = source.format() == QImage::Format_ARGB32 ? source
                                                                   : source.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return fail(QStringLiteral("out of memory converting the picture"));

    thread_local std::unique_ptr<Deflater> deflater;
    if (!deflater)
        deflater = std::make_unique<Deflater>();
    QByteArray compressed;
    if (!deflater->compress(filteredRows(image), &compressed))
        return fail(QStringLiteral("the picture could not be compressed"));

    QByteArray png;
    png.reserve(compressed.size() + 64);
    png.append("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    appendBigEndian32(header, quint32(image.width()));
    appendBigEndian32(header, quint32(image.height()));
    header.append(char(8));   // bits per channel
    header.append(char(6));   // RGBA
    header.append(3, '\0');   // deflate, adaptive filtering, no interlace
    appendChunk(png, "IHDR", header.constData(), header.size());
    appendChunk(png, "IDAT", compressed.constData(), compressed.size());
    appendChunk(png, "IEND", nullptr, 0);
    return png;
}

} // namespace qm
