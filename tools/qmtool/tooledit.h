#pragma once

#include "commandparser.h"
#include "editsession.h"
#include "toolcontext.h"

// Opens the directory in an edit session, makes `edit` and saves, as the editor would. When
// another program saved into the directory after it was read, the edit is made once more on
// the directory as it is under the save lock, so that neither program's edit is lost.
// Returns the exit code; failures are reported with "no file was changed".
int editAndSave(ToolContext& ctx, CommandParser& cmd, const qm::EditSession::Reapply& edit);
