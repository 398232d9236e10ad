// Frame times for programs: how long the last frame took, how long the
// program has run, and the frame rate really achieved. The pacing itself
// (waitForFrame, markFrameStart) stays on SDL's millisecond ticks; these
// figures use the finer performance counter.

#include "canvas/canvas.h"

#include "canvas/recording.h"
#include "canvas/state.h"

using vantrel::detail::FrameClock;
using vantrel::detail::State;

namespace {

// The one place the clock is read for getFrameTime, getTime and
// getMeasuredFPS: seconds since the first reading. A clock that advances by
// a fixed step per frame (exactly 1 / fps, for a recording whose frames must
// not depend on the machine's speed) replaces this reading and nothing else.
double clockSeconds(State& state, std::uint8_t fps) {
    if (state.recorder != nullptr) {
        // The recording mode's fixed clock: frame n starts at n / fps seconds.
        return static_cast<double>(state.recorder->frame()) / fps;
    }
    const Uint64 now = SDL_GetPerformanceCounter();
    if (!state.frameClock.based) {
        state.frameClock.base = now;
        state.frameClock.based = true;
    }
    return static_cast<double>(now - state.frameClock.base) /
           static_cast<double>(SDL_GetPerformanceFrequency());
}

} // namespace

namespace vantrel {
namespace detail {

void startClock(State& state, std::uint8_t fps) {
    const double now = clockSeconds(state, fps);
    if (!state.frameClock.started) {
        state.frameClock.origin = now;
        state.frameClock.started = true;
    }
    // A start after a quit begins a new series of frames: the time spent
    // stopped is neither a frame time nor part of the measured rate.
    state.frameClock.stamps[0] = now;
    state.frameClock.newest = 0;
    state.frameClock.count = 1;
    state.frameClock.frameTime = 0.0;
}

void tickClock(State& state, std::uint8_t fps) {
    if (!state.frameClock.started) {
        return;
    }
    FrameClock& c = state.frameClock;
    const double now = clockSeconds(state, fps);
    // On the fixed clock every frame lasts exactly 1 / fps, not the
    // difference of two rounded readings.
    c.frameTime = state.recorder != nullptr ? 1.0 / fps : now - c.stamps[c.newest];
    c.newest = (c.newest + 1) % FrameClock::STAMPS;
    c.stamps[c.newest] = now;
    c.count = c.count < FrameClock::STAMPS ? c.count + 1 : FrameClock::STAMPS;
    // Keep the frame starts of the last second, and always the last two.
    while (c.count > 2 &&
           now - c.stamps[(c.newest - c.count + 1 + FrameClock::STAMPS) % FrameClock::STAMPS] >
               1.0) {
        --c.count;
    }
}

} // namespace detail
} // namespace vantrel

double Canvas::getFrameTime() { return state->frameClock.frameTime; }

// The start of the current frame, like every other answer: a program that
// reads the time twice within a frame gets the same value both times.
double Canvas::getTime() {
    const FrameClock& c = state->frameClock;
    return c.started ? c.stamps[c.newest] - c.origin : 0.0;
}

double Canvas::getMeasuredFPS() {
    const FrameClock& c = state->frameClock;
    if (c.count < 2) {
        return 0.0;
    }
    const int oldest = (c.newest - c.count + 1 + FrameClock::STAMPS) % FrameClock::STAMPS;
    const double span = c.stamps[c.newest] - c.stamps[oldest];
    return span > 0.0 ? (c.count - 1) / span : 0.0;
}
