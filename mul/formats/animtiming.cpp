#include "animtiming.h"

#include "indexfile.h"

namespace qm {

bool isAnimated(const anim_st& anim)
{
    return anim.frameCount >= 1 && anim.frameCount <= kMaxAnimFrames;
}

qint64 animFrameMs(const anim_st& anim)
{
    return qint64(qMax<int>(anim.frameInterval, 1)) * kAnimStepMs;
}

qint64 animStartMs(const anim_st& anim)
{
    return qint64(qMax<int>(anim.frameStart, 0)) * kAnimStepMs;
}

int animFrameId(const anim_st& anim, int staticId, int frame)
{
    if (!isAnimated(anim) || frame < 0 || frame >= anim.frameCount)
        return -1;
    const int id = staticId + anim.frames[size_t(frame)];
    return id >= 0 && id < kStaticCount ? id : -1;
}

AnimMoment animMomentAt(const anim_st& anim, int staticId, qint64 elapsedMs)
{
    AnimMoment m;
    if (!isAnimated(anim)) {
        m.shownId = staticId >= 0 && staticId < kStaticCount ? staticId : -1;
        return m;
    }
    m.animated = true;
    const qint64 elapsed = qMax<qint64>(elapsedMs, 0);
    const qint64 start = animStartMs(anim);
    if (elapsed < start) {
        m.shownId = staticId >= 0 && staticId < kStaticCount ? staticId : -1;
        m.nextChangeMs = start;
        return m;
    }
    const qint64 frameMs = animFrameMs(anim);
    const qint64 step = (elapsed - start) / frameMs;
    m.frame = int(step % anim.frameCount);
    m.shownId = animFrameId(anim, staticId, m.frame);
    m.nextChangeMs = start + (step + 1) * frameMs;
    return m;
}

} // namespace qm
