#pragma once

#include "records.h"

#include <QtGlobal>

namespace qm {

// The game's timing of an animated static, as a pure function of its animation record and the
// milliseconds since the animation started, so that a view drives it from any clock and tests
// from a fake one. Times are in steps of 50 ms.
constexpr int kAnimStepMs = 50;
constexpr int kMaxAnimFrames = 64;

// Whether the record animates at all: a frame count of 1 to 64.
bool isAnimated(const anim_st& anim);
// How long each frame stays (an interval of 0 or less counts as 1), and when the first frame
// comes (a start below 0 counts as 0), in milliseconds.
qint64 animFrameMs(const anim_st& anim);
qint64 animStartMs(const anim_st& anim);

struct AnimMoment {
    bool animated = false;   // false: the static is drawn as its own picture, always
    int frame = -1;          // 0..frameCount-1; -1 before the first frame (own picture)
    int shownId = -1;        // the static drawn now; -1: empty (the frame points outside the statics)
    qint64 nextChangeMs = -1; // elapsed time at which the next frame begins; -1: never (not animated)
};

// What static `staticId` shows `elapsedMs` after its animation started (negative counts as 0):
// its own picture until animStartMs, then frame i = staticId + frames[i] for animFrameMs
// each, looping from frame 0 after the last without waiting again. A frame's id outside the
// static ids gives shownId -1; whether the shown static has a picture is the caller's to ask.
AnimMoment animMomentAt(const anim_st& anim, int staticId, qint64 elapsedMs);

// The static id frame `frame` shows, or -1 when it lies outside the statics or the frame
// outside the record's count.
int animFrameId(const anim_st& anim, int staticId, int frame);

} // namespace qm
