#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace qm {

// What a check of a data directory went through.
struct CheckStats {
    qint64 entries = 0;   // listed entries decoded
    qint64 pixels = 0;    // pixels of the decoded images
    qint64 bytes = 0;     // record bytes the decoders used
};

// Decodes every listed entry of the four catalogues and checks that its record lies inside
// its data file, decodes whole, and fits the length its index gives (a rewrite copies that
// many bytes). Also checks that tiledata.mul and animdata.mul are there and tiledata.mul
// has a layout this editor can write. Returns one line per problem, none when all is well.
QStringList checkDataDirectory(const QString& mulDir, CheckStats* stats = nullptr);

} // namespace qm
