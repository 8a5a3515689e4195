#pragma once

#include <functional>

namespace qm {

// Test seam of the save layer: called with a short label at every point where a crash could
// strike (after each file is staged, after each copied run, around the journal and each
// rename). A hook that returns false makes that point fail as an I/O error would. A null hook
// removes it. Lives below the transaction and the entry copier so both can call it.
using SaveCheckpointHook = std::function<bool(const char* label)>;
void setSaveCheckpointHook(SaveCheckpointHook hook);
bool saveCheckpoint(const char* label);

} // namespace qm
