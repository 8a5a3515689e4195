#include "savecheckpoint.h"

namespace qm {

namespace {

SaveCheckpointHook& checkpointHook()
{
    static SaveCheckpointHook hook;
    return hook;
}

} // namespace

void setSaveCheckpointHook(SaveCheckpointHook hook)
{
    checkpointHook() = std::move(hook);
}

bool saveCheckpoint(const char* label)
{
    const SaveCheckpointHook& hook = checkpointHook();
    return !hook || hook(label);
}

} // namespace qm
