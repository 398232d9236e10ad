// Game controllers: SDL virtual pads connected during a run, answered per frame.

#include "canvas/canvas.h"

#include <gtest/gtest.h>

#include <sstream>

#include "fixtures.h"

namespace {

// SDL drops pads' input while no window has the focus, as the dummy's never does.
SDL_Joystick* attachPad() {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    const int device = SDL_JoystickAttachVirtual(
        SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
    EXPECT_GE(device, 0) << SDL_GetError();
    return SDL_JoystickOpen(device);
}

std::string buttonState(Canvas& canvas, int pad, int button) {
    std::ostringstream out;
    out << canvas.isGamepadButtonDown(pad, button) << canvas.wasGamepadButtonPressed(pad, button)
        << canvas.wasGamepadButtonReleased(pad, button);
    return out.str();
}

// A press and a release within one frame: what a virtual pad cannot send.
void pushPressAndRelease(SDL_Joystick* pad) {
    for (const Uint32 type : {SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLERBUTTONUP}) {
        SDL_Event event{};
        event.type = type;
        event.cbutton.which = SDL_JoystickInstanceID(pad);
        event.cbutton.button = SDL_CONTROLLER_BUTTON_A;
        fixtures::push(event);
    }
}

} // namespace

TEST(Gamepads, ButtonEdgesHoldForTheWholeFrame) {
    Canvas& canvas = fixtures::startCanvas();
    SDL_Joystick* pad = attachPad();
    const int a = SDL_CONTROLLER_BUTTON_A;
    const struct {
        int set; // 1 down, 0 up, -1 nothing, 2 pushed down and up
        const char* expected;
    } frames[] = {{1, "110"}, {-1, "100"}, {0, "001"}, {-1, "000"}, {2, "011"}, {1, "110"}};
    const char* before = "000";
    for (const auto& frame : frames) {
        if (frame.set == 0 || frame.set == 1) {
            SDL_JoystickSetVirtualButton(pad, a, static_cast<Uint8>(frame.set));
        } else if (frame.set == 2) {
            pushPressAndRelease(pad);
        }
        SDL_Event event;
        while (canvas.pollEvent(&event)) {
        }
        EXPECT_EQ(buttonState(canvas, 0, a), before) << "taken in mid-frame: " << frame.set;
        canvas.isRunning();
        EXPECT_EQ(buttonState(canvas, 0, a), frame.expected) << "after " << frame.set;
        before = frame.expected;
    }
}

TEST(Gamepads, AxesHaveADeadZoneAndReachOne) {
    Canvas& canvas = fixtures::startCanvas();
    SDL_Joystick* pad = attachPad();
    // A stick's raw readings, then a trigger's (SDL reads -32768 to 32767 as 0 to 32767).
    const Sint16 raws[] = {0, 7999, -7999, 20384, -20384, 32767, -32768, -32768, 0, 32767};
    const double answers[] = {0, 0, 0, 0.5, -0.5, 1, -1, 0, 0.338, 1};
    for (int i = 0; i < 10; ++i) {
        const int axis = i < 7 ? SDL_CONTROLLER_AXIS_RIGHTY : SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
        SDL_JoystickSetVirtualAxis(pad, axis, raws[i]);
        canvas.isRunning();
        EXPECT_NEAR(canvas.getGamepadAxis(0, axis), answers[i], 0.001) << axis << " " << raws[i];
    }
}

TEST(Gamepads, NumberedInConnectOrderAndMovedDownWhenOneGoes) {
    Canvas& canvas = fixtures::startCanvas();
    attachPad(); // device 0
    attachPad();
    SDL_Joystick* third = attachPad();
    SDL_JoystickSetVirtualButton(third, SDL_CONTROLLER_BUTTON_START, 1);
    canvas.isRunning();
    EXPECT_EQ(canvas.getGamepadCount(), 3);
    EXPECT_TRUE(canvas.isGamepadButtonDown(2, SDL_CONTROLLER_BUTTON_START));
    SDL_JoystickDetachVirtual(0);
    EXPECT_EQ(canvas.getGamepadCount(), 3) << "until the next frame";
    SDL_JoystickSetVirtualAxis(third, SDL_CONTROLLER_AXIS_LEFTY, 32767);
    canvas.isRunning();
    EXPECT_EQ(canvas.getGamepadCount(), 2);
    EXPECT_TRUE(canvas.isGamepadButtonDown(1, SDL_CONTROLLER_BUTTON_START));
    EXPECT_EQ(canvas.getGamepadAxis(1, SDL_CONTROLLER_AXIS_LEFTY), 1);
    // Pads, buttons and axes that are not there (pad 1 has button 8 up).
    for (int bad : {-1, 2, 8, 1000}) {
        EXPECT_EQ(buttonState(canvas, bad, SDL_CONTROLLER_BUTTON_START), "000") << bad;
        EXPECT_EQ(canvas.getGamepadAxis(bad, SDL_CONTROLLER_AXIS_LEFTY), 0) << bad;
        EXPECT_EQ(buttonState(canvas, 1, bad == 2 ? SDL_CONTROLLER_BUTTON_MAX : bad), "000");
        EXPECT_EQ(canvas.getGamepadAxis(1, bad == 2 ? SDL_CONTROLLER_AXIS_MAX : bad), 0) << bad;
    }
}
