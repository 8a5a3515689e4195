#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// Exit codes of qmtool.
enum ToolExit { ExitOk = 0, ExitUsage = 1, ExitData = 2 };

// What a command gets: the data directory and its own arguments (the command name first,
// as QCommandLineParser expects), and the two output streams. Results go to `out` only;
// messages go to `err`, one line each.
struct ToolContext {
    QString dir;
    QStringList args;
    QTextStream& out;
    QTextStream& err;
};

using ToolCommand = int (*)(ToolContext&);

// Read-only commands.
int cmdList(ToolContext& ctx);
int cmdFree(ToolContext& ctx);
int cmdExportImage(ToolContext& ctx);
int cmdTile(ToolContext& ctx);
int cmdAnim(ToolContext& ctx);
int cmdVerify(ToolContext& ctx);
int cmdDir(ToolContext& ctx);
int cmdMakeDemo(ToolContext& ctx);
// Editing commands: each stages a change and runs the editor's whole Save sequence.
int cmdImportImage(ToolContext& ctx);
int cmdDelete(ToolContext& ctx);
int cmdSetTile(ToolContext& ctx);
int cmdSetAnim(ToolContext& ctx);
int cmdSave(ToolContext& ctx);
// Patch files.
int cmdExportPatch(ToolContext& ctx);
int cmdImportPatch(ToolContext& ctx);

namespace qm {
struct Catalogues;
struct ChangeSet;
} // namespace qm
// The editor's whole Save sequence, as one transaction, over the catalogues and change set a
// command has staged. Notes and a failure are written to ctx.err; returns the exit code.
int saveStaged(ToolContext& ctx, const qm::Catalogues& catalogues, qm::ChangeSet& changes);

// Before a command reads the directory: finishes or undoes an interrupted Save, telling the
// user on `err`. Returns false (with a message written) when the directory cannot be trusted.
bool prepareDirectory(ToolContext& ctx);

// Shared argument helpers. Ids are decimal, or hexadecimal after 0x / 0X.
bool parseToolId(const QString& text, int* id);
