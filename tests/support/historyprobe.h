#pragma once

#include "editsession.h"

// How many steps Undo can take back, counted through the session's own Undo and Redo (the
// history is private); the session ends where it was.
inline int undoDepth(qm::EditSession& s)
{
    int depth = 0;
    while (s.canUndo()) {
        s.undo();
        ++depth;
    }
    for (int i = 0; i < depth; ++i)
        s.redo();
    return depth;
}
