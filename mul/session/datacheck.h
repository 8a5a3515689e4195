#pragma once

#include "artcodec.h"
#include "indexfile.h"

#include <QImage>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

namespace qm {

class ArtDataFile;

// What a check of a data directory went through.
struct CheckStats {
    qint64 entries = 0;   // listed entries checked
    qint64 pixels = 0;    // pixels of the decoded images
    qint64 bytes = 0;     // record bytes the decoders used
    // Problems per file, in the order the files were checked; files without any are left out.
    QVector<QPair<QString, qint64>> problemsPerFile;

    qint64 problemCount() const;
    // "art.mul 3, gumpidx.mul 1": for a summary line.
    QString problemsByFile() const;
};

// A check names at most this many problems of one file and counts the rest.
constexpr int kProblemsNamedPerFile = 5;

// Checks every file the editor reads: the three index files and their data files, tiledata.mul
// and animdata.mul are there and readable, and have a size their layout allows (an index of
// whole records that is not empty beside a data file holding data; tiledata.mul of a layout
// this editor can write; animdata.mul of whole blocks). Then decodes every listed entry and
// checks that its record lies inside its data file, decodes whole, and fits the length its
// index gives (a rewrite copies that many bytes). Returns the problems, the first few of each
// file one per line, then a line counting the rest; none when all is well.
QStringList checkDataDirectory(const QString& mulDir, CheckStats* stats = nullptr);

// The problem with one listed entry, or an empty string, in the words of the check above.
// `image` (optional) receives what could be decoded (null when nothing could), `report` what
// the decoder went through.
QString recordProblem(const ArtDataFile& data, const IndexRecord& record, QImage* image = nullptr,
                      DecodeReport* report = nullptr);

} // namespace qm
