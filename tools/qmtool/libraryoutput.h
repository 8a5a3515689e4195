#pragma once

#include <QFile>
#include <QStringList>

// What libraries say while a command runs: Qt's warnings (the image plugins pass libpng's on)
// and what a library writes to standard error itself (libpng's errors). Printed as they come,
// they would stand ahead of qmtool's own message and read like the answer. From construction
// on they are held; the command's own messages go to terminal().
class LibraryOutput {
public:
    LibraryOutput();
    ~LibraryOutput();
    LibraryOutput(const LibraryOutput&) = delete;
    LibraryOutput& operator=(const LibraryOutput&) = delete;

    // Standard error as it was: for qmtool's own messages.
    QIODevice* terminal() { return &m_terminal; }
    // Stops holding and returns what was held, one line each.
    QStringList release();

private:
    QFile m_terminal;
    int m_savedStderr = -1;
    FILE* m_held = nullptr;
};
