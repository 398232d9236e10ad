// What the in-process tests share: setting up the canvas (each test runs in
// a process of its own, so each one sets it up once), files of the running
// test's own in the test build folder, and waiting on the mixer or the
// event queue.
#ifndef VANTREL_TESTS_FIXTURES_H
#define VANTREL_TESTS_FIXTURES_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "canvas/canvas.h"

namespace fixtures {

// ---- Files --------------------------------------------------------------------

/// A file in the test build folder, "<prefix><Case>_<name>" after the running
/// test, so that tests running side by side never share one.
inline std::string fileFor(const std::string& prefix, const std::string& name) {
    return std::string(VANTREL_TEST_BINARY_DIR) + "/" + prefix +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + name;
}

/// The same with the suite's name too: "<prefix><Suite>_<Case>_<name>".
inline std::string suiteFileFor(const std::string& prefix, const std::string& name) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(VANTREL_TEST_BINARY_DIR) + "/" + prefix + info->test_suite_name() + "_" +
           info->name() + "_" + name;
}

// ---- Setting up the canvas ------------------------------------------------------

/// The canvas set up as a width x height window at fps frames a second, with
/// the default title, font and colours; nothing drawn yet.
inline Canvas& setUpCanvas(int width, int height, std::uint8_t fps = DEFAULT_FPS) {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, width, height, DEFAULT_TITLE, DEFAULT_FONT, DEFAULT_FONT_SIZE,
                     DEFAULT_BACKGROUND, DEFAULT_FOREGROUND, fps);
    return canvas;
}

/// The sound tests' canvas: 64 x 64, at the default frame rate.
inline Canvas& setUpCanvas() { return setUpCanvas(64, 64); }

/// A width x height canvas cleared to paper, for tests that read the frame
/// back; the foreground stays at its default unless the test sets it.
inline Canvas& setUpOnPaper(int width, int height, const Color& paper) {
    Canvas& canvas = setUpCanvas(width, height);
    canvas.setBackgroundColor(paper);
    canvas.clear();
    return canvas;
}

/// A 64 x 48 canvas at 255 fps (3 ms frames keep the tests short), started,
/// with whatever the driver queued while the window was made (shown,
/// exposed...) taken off the queue.
inline Canvas& startCanvas() {
    Canvas& canvas = setUpCanvas(64, 48, 255);
    canvas.start();
    SDL_Event event;
    while (canvas.pollEvent(&event)) {
    }
    return canvas;
}

// ---- Events and waiting -----------------------------------------------------------

/// Puts event on SDL's queue, as the platform would.
inline void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

/// Puts a key press (or, with down false, a release) on SDL's queue; repeat
/// marks the keyboard's own repeats of a held key.
inline void pushKey(SDL_Keycode key, bool down, bool repeat = false) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    push(event);
}

/// How long waitFor waits by default: far longer than any sample here takes
/// to play, even on a loaded machine.
constexpr Uint32 DEADLINE_MS = 10000;

/// Polls every 5 ms until done() holds or deadlineMs have passed; returns
/// whether it held.
template <typename Condition> bool waitFor(Condition done, Uint32 deadlineMs = DEADLINE_MS) {
    const Uint32 start = SDL_GetTicks();
    while (!done()) {
        if (SDL_GetTicks() - start > deadlineMs) {
            return false;
        }
        SDL_Delay(5);
    }
    return true;
}

} // namespace fixtures

#endif
