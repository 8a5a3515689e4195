#pragma once

#include <QByteArray>
#include <QString>

namespace qm {

enum class NewFileWrite {
    Written,       // `path` now names a file holding exactly `bytes`
    Exists,        // something of that name is there already; nothing was written
    NotThisWay,    // this system or file system offers no unnamed files: write it another way
};

// Writes a file that must not exist yet, unnamed until complete, then gives it its name in
// one step: a reader never sees half of it, and a crash leaves no stray file, without the
// second directory change that a temporary name and a rename cost for each of thousands of
// small files. New files get the usual permissions. Where the system cannot (other than
// Linux, file systems without unnamed files, no /proc) or any step fails before the name
// is given, the answer is NotThisWay and nothing is left behind: the caller's usual way
// then reports what is wrong.
NewFileWrite writeNewFileWhole(const QString& path, const QByteArray& bytes);

} // namespace qm
