#include "toolcontext.h"

int cmdExportPatch(ToolContext& ctx) { ctx.err << "qmtool: not built yet" << Qt::endl; return ExitData; }
int cmdImportPatch(ToolContext& ctx) { ctx.err << "qmtool: not built yet" << Qt::endl; return ExitData; }
