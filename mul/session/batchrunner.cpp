#include "batchrunner.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <atomic>

namespace qm {

bool runBatch(int count, int threads, const std::function<BatchTask(int index)>& prepare,
              const BatchProgress& progress)
{
    QThreadPool pool;
    pool.setMaxThreadCount(threads > 0 ? threads : QThread::idealThreadCount());
    const int window = pool.maxThreadCount() * 4;
    QSemaphore freeSlots(window);
    std::atomic<int> done { 0 };
    int reported = -1;
    // Progress goes out only when it moved, so a caller that repaints on each call is not flooded.
    const auto goOn = [&] {
        const int now = done.load();
        if (now == reported)
            return true;
        reported = now;
        return !progress || progress(now, count);
    };
    constexpr int kPollMs = 50;

    bool cancelled = false;
    for (int i = 0; i < count && !cancelled; ++i) {
        BatchTask task = prepare(i);
        while (!freeSlots.tryAcquire(1, kPollMs)) {
            if (!goOn()) {
                cancelled = true;
                break;
            }
        }
        if (cancelled)
            break;
        pool.start([&, task = std::move(task)] {
            if (task)
                task();
            ++done;
            freeSlots.release();
        });
        cancelled = !goOn();
    }
    // The last tasks: progress still moves, but there is nothing left to cancel.
    while (!freeSlots.tryAcquire(window, kPollMs))
        goOn();
    pool.waitForDone();
    if (!cancelled)
        goOn();
    return !cancelled;
}

} // namespace qm
