#pragma once

#include <QByteArray>
#include <QImage>

// The plainest reading of the record layouts: one value, one pixel, one colour conversion at
// a time. The library's decoders take shortcuts (wide stores, several pairs at once); on
// well-formed records they must give exactly these images. Damaged records are the concern
// of the library's own tests, so a value outside the bytes here just ends the row.
namespace pixeldecode {

QImage land(const QByteArray& record);
QImage staticArt(const QByteArray& record);
// Also where the last whole pair read ends (the row table at least) and whether every row
// was read whole, when asked.
QImage gump(const QByteArray& record, int width, int height, qint64* extent = nullptr,
            bool* complete = nullptr);
QImage texture(const QByteArray& record, int size);
// By kind (0 land, 1 static, 2 gump, 3 texture) with the index record's extra.
QImage byKind(int kind, const QByteArray& record, quint32 extra);

} // namespace pixeldecode
