#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

class CommandParser;

// Exit codes of qmtool.
// ExitDiffers: 'diff --exit-code' found differences.
enum ToolExit { ExitOk = 0, ExitUsage = 1, ExitData = 2, ExitDiffers = 3 };

// What a command gets: the data directory and its own arguments (the command name first,
// as QCommandLineParser expects), and the two output streams. Results go to `out` only;
// messages go to `err`, one line each.
struct ToolContext {
    QString dir;
    QStringList args;
    QTextStream& out;
    QTextStream& err;
};

// A command runs once its arguments are parsed (counts checked, options known); it returns
// the exit code.
using ToolCommand = int (*)(ToolContext&, CommandParser&);

// Read-only commands.
int cmdList(ToolContext& ctx, CommandParser& cmd);
int cmdFree(ToolContext& ctx, CommandParser& cmd);
int cmdExportImage(ToolContext& ctx, CommandParser& cmd);
int cmdTile(ToolContext& ctx, CommandParser& cmd);
int cmdAnim(ToolContext& ctx, CommandParser& cmd);
int cmdVerify(ToolContext& ctx, CommandParser& cmd);
int cmdDir(ToolContext& ctx, CommandParser& cmd);
int cmdMakeDemo(ToolContext& ctx, CommandParser& cmd);
// Editing commands: each makes its edit in an edit session and saves it, as the editor does.
int cmdImportImage(ToolContext& ctx, CommandParser& cmd);
int cmdDelete(ToolContext& ctx, CommandParser& cmd);
int cmdSetTile(ToolContext& ctx, CommandParser& cmd);
int cmdSetAnim(ToolContext& ctx, CommandParser& cmd);
int cmdSave(ToolContext& ctx, CommandParser& cmd);
// Forms of the files: packages or classic pairs.
int cmdInfo(ToolContext& ctx, CommandParser& cmd);
int cmdConvert(ToolContext& ctx, CommandParser& cmd);
// Patch files.
int cmdExportPatch(ToolContext& ctx, CommandParser& cmd);
int cmdImportPatch(ToolContext& ctx, CommandParser& cmd);
// Comparing with another data directory.
int cmdDiff(ToolContext& ctx, CommandParser& cmd);
int cmdTake(ToolContext& ctx, CommandParser& cmd);

// Before a command reads the directory: finishes or undoes an interrupted Save, telling the
// user on `err`. Returns false (with a message written) when the directory cannot be trusted.
bool prepareDirectory(ToolContext& ctx);

// Shared argument helpers. Ids are decimal, or hexadecimal after 0x / 0X.
bool parseToolId(const QString& text, int* id);
