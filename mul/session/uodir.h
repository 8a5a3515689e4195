#pragma once

#include <QString>

class QSettings;

namespace qm {

// The program's one setting: the game's data directory, under organisation "Brindlewood",
// key "UODir".
QString readUODir();
void writeUODir(const QString& dir);

// The data directory named by the game's install record in `record` (the two start
// executable keys, "Third Dawn" first), or empty. Public so that tests can hand in a store.
QString uoDirFromInstallRecord(QSettings& record);

} // namespace qm
