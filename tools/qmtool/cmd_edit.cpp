#include "toolcontext.h"

int cmdImportImage(ToolContext& ctx) { ctx.err << "qmtool: not built yet" << Qt::endl; return ExitData; }
int cmdDelete(ToolContext& ctx) { ctx.err << "qmtool: not built yet" << Qt::endl; return ExitData; }
int cmdSetTile(ToolContext& ctx) { ctx.err << "qmtool: not built yet" << Qt::endl; return ExitData; }
int cmdSetAnim(ToolContext& ctx) { ctx.err << "qmtool: not built yet" << Qt::endl; return ExitData; }
int cmdSave(ToolContext& ctx) { ctx.err << "qmtool: not built yet" << Qt::endl; return ExitData; }
bool prepareDirectory(ToolContext&) { return true; }
