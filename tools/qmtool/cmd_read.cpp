#include "toolcontext.h"

int cmdList(ToolContext& ctx) { ctx.err << "qmtool: not built yet" << Qt::endl; return ExitData; }
int cmdFree(ToolContext& ctx) { ctx.err << "qmtool: not built yet" << Qt::endl; return ExitData; }
int cmdExportImage(ToolContext& ctx) { ctx.err << "qmtool: not built yet" << Qt::endl; return ExitData; }
int cmdTile(ToolContext& ctx) { ctx.err << "qmtool: not built yet" << Qt::endl; return ExitData; }
int cmdAnim(ToolContext& ctx) { ctx.err << "qmtool: not built yet" << Qt::endl; return ExitData; }
int cmdVerify(ToolContext& ctx) { ctx.err << "qmtool: not built yet" << Qt::endl; return ExitData; }
int cmdDir(ToolContext& ctx) { ctx.err << "qmtool: not built yet" << Qt::endl; return ExitData; }
int cmdMakeDemo(ToolContext& ctx) { ctx.err << "qmtool: not built yet" << Qt::endl; return ExitData; }
