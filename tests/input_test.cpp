// Keyboard and mouse state: what the canvas answers at each frame start for
// events pushed into SDL's queue, however the program polls.

#include "canvas/canvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "fixtures.h"

using fixtures::push;
using fixtures::pushKey;
using fixtures::startCanvas;

namespace {

void pushButton(int button, bool down, int x, int y) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = static_cast<Uint8>(button);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    push(event);
}

void pushMotion(int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    push(event);
}

void pushWheel(int steps, bool flipped = false) {
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = steps;
    event.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    push(event);
}

void pushFocusLost() {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    push(event);
}

// What the canvas says about one key, "held/pressed/released" as 0s and 1s.
std::string keyState(Canvas& canvas, SDL_Keycode key) {
    std::ostringstream out;
    out << canvas.isKeyDown(key) << canvas.wasKeyPressed(key) << canvas.wasKeyReleased(key);
    return out.str();
}

std::string buttonState(Canvas& canvas, int button) {
    std::ostringstream out;
    out << canvas.isMouseButtonDown(button) << canvas.wasMouseButtonPressed(button)
        << canvas.wasMouseButtonReleased(button);
    return out.str();
}

} // namespace

TEST(Keys, HeldPressedAndReleasedAcrossFrames) {
    Canvas& canvas = startCanvas();
    pushKey(SDLK_a, true);
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_a), "110") << "frame after the press";
    EXPECT_EQ(keyState(canvas, SDLK_b), "000") << "another key";
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_a), "100") << "still held, no new press";
    pushKey(SDLK_a, false);
    // Until the next frame starts, the answers stay those of this frame.
    EXPECT_EQ(keyState(canvas, SDLK_a), "100") << "same frame as the release";
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_a), "001") << "frame after the release";
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_a), "000") << "one frame later";
}

TEST(Keys, PressAndReleaseWithinOneFrameCountBoth) {
    Canvas& canvas = startCanvas();
    pushKey(SDLK_SPACE, true);
    pushKey(SDLK_SPACE, false);
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_SPACE), "011");
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_SPACE), "000");

    // Held across the frame start, released and pressed again within a frame.
    pushKey(SDLK_LEFT, true);
    canvas.isRunning();
    pushKey(SDLK_LEFT, false);
    pushKey(SDLK_LEFT, true);
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_LEFT), "111");
}

TEST(Keys, AutoRepeatIsNoNewPress) {
    Canvas& canvas = startCanvas();
    pushKey(SDLK_RIGHT, true);
    canvas.isRunning();
    for (int i = 0; i < 3; ++i) {
        pushKey(SDLK_RIGHT, true, true);
    }
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_RIGHT), "100");
    // A repeat with no press seen (the key went down in another window)
    // still shows the key is held, without a press.
    pushKey(SDLK_UP, true, true);
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_UP), "100");
}

TEST(Keys, LosingTheFocusReleasesEverythingHeld) {
    Canvas& canvas = startCanvas();
    pushKey(SDLK_w, true);
    pushKey(SDLK_LSHIFT, true);
    pushButton(SDL_BUTTON_LEFT, true, 10, 10);
    canvas.isRunning();
    pushFocusLost();
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_w), "001");
    EXPECT_EQ(keyState(canvas, SDLK_LSHIFT), "001");
    EXPECT_EQ(buttonState(canvas, SDL_BUTTON_LEFT), "001");
    EXPECT_EQ(keyState(canvas, SDLK_s), "000") << "a key that was not held is not released";
    // The key-up that follows once the focus is back changes nothing more.
    pushKey(SDLK_w, false);
    canvas.isRunning();
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_w), "000");
}

TEST(Keys, CodesNoKeyHasAreNeverDown) {
    Canvas& canvas = startCanvas();
    pushKey(SDLK_UNKNOWN, true);
    pushKey(static_cast<SDL_Keycode>(0x7ffffff0), true);
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_UNKNOWN), "000");
    EXPECT_EQ(keyState(canvas, static_cast<SDL_Keycode>(0x7ffffff0)), "000");
    EXPECT_EQ(keyState(canvas, INT_MIN), "000");
}

TEST(Mouse, PositionButtonsAndWheel) {
    Canvas& canvas = startCanvas();
    pushMotion(5, 6);
    pushMotion(30, 40);
    pushButton(SDL_BUTTON_RIGHT, true, 31, 41);
    pushWheel(3);
    pushWheel(-1);
    pushWheel(2, true); // "natural" scrolling: the same gesture counts the other way
    canvas.isRunning();
    EXPECT_EQ(canvas.getMouseX(), 31);
    EXPECT_EQ(canvas.getMouseY(), 41);
    EXPECT_EQ(buttonState(canvas, SDL_BUTTON_RIGHT), "110");
    EXPECT_EQ(buttonState(canvas, SDL_BUTTON_LEFT), "000");
    EXPECT_EQ(canvas.getMouseWheel(), 0) << "3 - 1 - 2";

    pushWheel(4);
    pushButton(SDL_BUTTON_RIGHT, false, 32, 42);
    pushButton(SDL_BUTTON_LEFT, true, 32, 42);
    pushButton(SDL_BUTTON_LEFT, false, 33, 43);
    canvas.isRunning();
    EXPECT_EQ(canvas.getMouseWheel(), 4);
    EXPECT_EQ(buttonState(canvas, SDL_BUTTON_RIGHT), "001");
    EXPECT_EQ(buttonState(canvas, SDL_BUTTON_LEFT), "011") << "a click within one frame";
    EXPECT_EQ(canvas.getMouseX(), 33);

    canvas.isRunning();
    EXPECT_EQ(canvas.getMouseWheel(), 0) << "the wheel counts steps since the last frame";

    // Steps no wheel turns stay within int rather than wrap.
    pushWheel(INT_MAX);
    pushWheel(INT_MAX);
    canvas.isRunning();
    EXPECT_EQ(canvas.getMouseWheel(), INT_MAX);
    pushWheel(INT_MIN);
    pushWheel(INT_MIN, true);
    pushWheel(INT_MIN);
    canvas.isRunning();
    EXPECT_EQ(canvas.getMouseWheel(), INT_MIN);
    EXPECT_EQ(buttonState(canvas, SDL_BUTTON_LEFT), "000");
    EXPECT_EQ(canvas.getMouseX(), 33) << "the position stays where it was last seen";

    // Buttons the state does not keep, or that do not exist.
    pushButton(200, true, 1, 1);
    canvas.isRunning();
    for (int button : {0, -1, 16, 200, INT_MAX}) {
        EXPECT_EQ(buttonState(canvas, button), "000") << "button " << button;
    }
}

// The same events, spread over the same frames, give the same answers
// whether the program takes no event, one a frame or all of them; and
// pollEvent still hands out every event, in order.
TEST(Polling, StateDoesNotDependOnHowTheProgramPolls) {
    Canvas& canvas = startCanvas();
    // Events pushed before each of six frames.
    const std::vector<std::function<void()>> script = {
        [] {
            pushKey(SDLK_a, true);
            pushMotion(3, 4);
            pushWheel(1);
        },
        [] {
            pushKey(SDLK_a, true, true);
            pushButton(SDL_BUTTON_LEFT, true, 5, 6);
            pushButton(SDL_BUTTON_LEFT, false, 5, 6);
        },
        [] {
            pushKey(SDLK_a, false);
            pushKey(SDLK_d, true);
            pushKey(SDLK_d, false);
            pushWheel(2);
            pushWheel(2);
        },
        [] {},
        [] { pushMotion(7, 8); },
        [] {},
    };
    const int pushedEvents = 3 + 3 + 5 + 0 + 1 + 0;

    // Returns the answers at each frame; counts the events the program took.
    auto run = [&](int perFrame, int& taken) {
        std::vector<std::string> answers;
        SDL_Event event;
        for (const auto& pushes : script) {
            pushes();
            canvas.isRunning();
            std::ostringstream out;
            out << keyState(canvas, SDLK_a) << ' ' << keyState(canvas, SDLK_d) << ' '
                << buttonState(canvas, SDL_BUTTON_LEFT) << ' ' << canvas.getMouseX() << ','
                << canvas.getMouseY() << ' ' << canvas.getMouseWheel();
            answers.push_back(out.str());
            for (int i = 0; i != perFrame && canvas.pollEvent(&event); ++i) {
                ++taken;
            }
        }
        // Whatever is left in the queue.
        while (canvas.pollEvent(&event)) {
            ++taken;
        }
        return answers;
    };
    int takenByNone = 0;
    int takenByOne = 0;
    int takenByAll = 0;
    const std::vector<std::string> none = run(0, takenByNone);
    const std::vector<std::string> one = run(1, takenByOne);
    const std::vector<std::string> all = run(-1, takenByAll);

    const std::vector<std::string> expected = {
        "110 000 000 3,4 1", "100 000 011 5,6 0", "001 011 000 5,6 4",
        "000 000 000 5,6 0", "000 000 000 7,8 0", "000 000 000 7,8 0",
    };
    EXPECT_EQ(none, expected);
    EXPECT_EQ(one, expected);
    EXPECT_EQ(all, expected);
    EXPECT_EQ(takenByNone, pushedEvents);
    EXPECT_EQ(takenByOne, pushedEvents);
    EXPECT_EQ(takenByAll, pushedEvents);

    // The watch leaves the events as they were, in their order.
    pushKey(SDLK_z, true);
    pushMotion(9, 10);
    canvas.isRunning();
    SDL_Event event;
    ASSERT_TRUE(canvas.pollEvent(&event));
    EXPECT_EQ(event.type, static_cast<Uint32>(SDL_KEYDOWN));
    EXPECT_EQ(event.key.keysym.sym, SDLK_z);
    ASSERT_TRUE(canvas.pollEvent(&event));
    EXPECT_EQ(event.type, static_cast<Uint32>(SDL_MOUSEMOTION));
    EXPECT_EQ(event.motion.x, 9);
    EXPECT_EQ(event.motion.y, 10);
    EXPECT_FALSE(canvas.pollEvent(&event));
}

TEST(Polling, BeforeSetUpEverythingIsUpOrZero) {
    Canvas& canvas = Canvas::getInstance();
    canvas.start();
    canvas.isRunning();
    EXPECT_EQ(keyState(canvas, SDLK_a), "000");
    EXPECT_EQ(buttonState(canvas, SDL_BUTTON_LEFT), "000");
    EXPECT_EQ(canvas.getMouseX(), 0);
    EXPECT_EQ(canvas.getMouseY(), 0);
    EXPECT_EQ(canvas.getMouseWheel(), 0);
}
