#pragma once

#include "toolcontext.h"

class CommandParser;

namespace qm {
struct HueFile;
}

// hues: every hue of hues.mul, one line each (number, tab, name).
int cmdHues(ToolContext& ctx, CommandParser& cmd);
// hue N: one hue as JSON.
int cmdHue(ToolContext& ctx, CommandParser& cmd);
// set-hue N FIELD=VALUE...: changes one hue and saves.
int cmdSetHue(ToolContext& ctx, CommandParser& cmd);

// The hue a command names: a number 1..count of `hues` (decimal or hexadecimal after 0x).
// Reports a usage error for text that is no number and a data error for a number the file does
// not hold (0 included), and returns the exit code; -1 when the number is good.
int hueArgument(CommandParser& cmd, const qm::HueFile& hues, const QString& text, int* hue);

// hues.mul's state in one line for info, and its problem (empty when none) for verify.
QString hueFileSummary(const QString& dir);
QString hueFileProblem(const QString& dir);
