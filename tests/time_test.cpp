// Frame times: getFrameTime, getTime and getMeasuredFPS over real, paced
// frames. The bounds below follow from the pacing (a frame at f fps lasts at
// least 1000 / f ms, rounded down, less the one millisecond the tick stamp
// may lose); the upper ones are loose, because a loaded machine can always
// run late.

#include "canvas/canvas.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

#include "fixtures.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

Canvas& setUpCanvas(std::uint8_t fps) { return fixtures::setUpCanvas(64, 48, fps); }

} // namespace

TEST(Time, FrameTimesAddUpToTheTimeSinceStart) {
    Canvas& canvas = setUpCanvas(60);
    EXPECT_EQ(canvas.getTime(), 0.0) << "before start()";
    EXPECT_EQ(canvas.getFrameTime(), 0.0) << "before the first frame";
    const Clock::time_point before = Clock::now();
    canvas.start();
    double sum = 0.0;
    for (int frame = 0; frame < 12; ++frame) {
        ASSERT_TRUE(canvas.isRunning());
        const double frameTime = canvas.getFrameTime();
        // 16 ms a frame, and never less than 15 ms.
        EXPECT_GE(frameTime, 0.0149) << "frame " << frame;
        EXPECT_LE(frameTime, 0.5) << "frame " << frame;
        sum += frameTime;
    }
    const double time = canvas.getTime();
    const double elapsed = secondsSince(before);
    // The frame times span from start() to the last frame start; getTime()
    // is read after that and before the outside clock.
    EXPECT_LE(sum, time + 1e-9);
    EXPECT_LE(time, elapsed + 1e-6);
    EXPECT_GE(time, 12 * 0.0149);
    EXPECT_EQ(canvas.getFPS(), 60) << "getFPS() is still the target";
    // Within a frame neither the frame time nor the time changes, however
    // long the frame takes; the next frame sees all of it.
    const double frameTime = canvas.getFrameTime();
    SDL_Delay(50);
    EXPECT_EQ(canvas.getFrameTime(), frameTime);
    EXPECT_EQ(canvas.getTime(), time) << "getTime() moved within a frame";
    ASSERT_TRUE(canvas.isRunning());
    EXPECT_GE(canvas.getTime(), time + 0.0499);
    EXPECT_GE(canvas.getFrameTime(), 0.0499);
}

TEST(Time, ALateFrameShowsInTheNextFrameTime) {
    Canvas& canvas = setUpCanvas(60);
    canvas.start();
    canvas.isRunning();
    SDL_Delay(60);
    canvas.isRunning();
    EXPECT_GE(canvas.getFrameTime(), 0.060);
}

// The measured rate follows the last second, not the whole run: 1.2 s of
// fast frames, then 1.2 s of slow ones, must read as slow.
TEST(Time, MeasuredRateFollowsTheLastSecond) {
    Canvas& canvas = setUpCanvas(100);
    EXPECT_EQ(canvas.getMeasuredFPS(), 0.0);
    canvas.start();
    EXPECT_EQ(canvas.getMeasuredFPS(), 0.0) << "one frame start is no rate yet";
    Clock::time_point phase = Clock::now();
    while (secondsSince(phase) < 1.2) {
        canvas.isRunning();
    }
    // At most 1000 / 10 ms frames a second (plus the millisecond the first
    // stamp may lose over the whole second); at least a fifth of it.
    const double fast = canvas.getMeasuredFPS();
    EXPECT_LE(fast, 101.0);
    EXPECT_GE(fast, 20.0);

    phase = Clock::now();
    while (secondsSince(phase) < 1.2) {
        SDL_Delay(40); // each frame now takes at least 40 ms: at most 25 a second
        canvas.isRunning();
    }
    const double slow = canvas.getMeasuredFPS();
    EXPECT_LE(slow, 25.5) << "averaged over more than the last second (fast phase: " << fast << ")";
    EXPECT_GE(slow, 4.0);
}

// A start after a quit counts its first frame from the new start, and the
// time from the first start.
TEST(Time, RestartingCountsFromTheNewStart) {
    Canvas& canvas = setUpCanvas(60);
    canvas.start();
    canvas.isRunning();
    canvas.quit();
    EXPECT_FALSE(canvas.isRunning());
    SDL_Delay(300);
    canvas.start();
    EXPECT_EQ(canvas.getFrameTime(), 0.0);
    ASSERT_TRUE(canvas.isRunning());
    EXPECT_LT(canvas.getFrameTime(), 0.25);
    EXPECT_GE(canvas.getTime(), 0.3);
}
