#pragma once

#include "toolcontext.h"

class CommandParser;

// export-images KIND DIR [--ids RANGE] [--keep-existing]: pictures out into a folder.
int cmdExportImages(ToolContext& ctx, CommandParser& cmd);
// import-images KIND DIR: pictures named by kind and id in from a folder, then saved.
int cmdImportImages(ToolContext& ctx, CommandParser& cmd);
