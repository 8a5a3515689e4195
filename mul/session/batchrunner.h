#pragma once

#include <functional>

namespace qm {

// Told how far a batch is, on the thread that started it: `done` of `total` items finished.
// Returns false to cancel: no further item is started, those running finish.
using BatchProgress = std::function<bool(int done, int total)>;

// Work on item `index` to run on a worker thread; empty when nothing is left to do for it.
using BatchTask = std::function<void()>;

// Runs a batch of `count` items: prepare(i) runs on the calling thread in order (for work
// that must stay there, such as asking the session for a picture) and returns the task to
// run on one of `threads` workers (0: one per core). At most a few tasks per worker wait at
// any time, so a long batch never holds all its items in memory. Returns false when
// cancelled through `progress` (which may be empty).
bool runBatch(int count, int threads, const std::function<BatchTask(int index)>& prepare,
              const BatchProgress& progress);

} // namespace qm
