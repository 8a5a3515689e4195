#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <functional>

// The fastest of `runs` runs of `work`, in nanoseconds: the figure least disturbed by the
// other programs on the machine.
inline qint64 bestOf(int runs, const std::function<void()>& work)
{
    qint64 best = -1;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        const qint64 ns = t.nsecsElapsed();
        best = best < 0 ? ns : std::min(best, ns);
    }
    return best;
}
