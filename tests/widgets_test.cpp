// Buttons, sliders and check boxes: which frames a click counts in, where
// a slider's value goes, and that they are drawn in window pixels with a
// face that changes under the mouse, whatever the camera and its zoom.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "fixtures.h"
#include "pixels.h"

using fixtures::push;
using pixels::readFrame;

namespace {

// One frame's mouse: where it moves to, then a press and/or a release.
struct Mouse {
    int x, y;
    bool down = false;
    bool up = false;
};

void pushMouse(const Mouse& mouse) {
    const Uint32 window = SDL_GetWindowID(SDL_GetWindowFromID(1));
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = window;
    motion.motion.x = mouse.x;
    motion.motion.y = mouse.y;
    push(motion);
    for (const bool press : {true, false}) {
        if (press ? mouse.down : mouse.up) {
            SDL_Event button{};
            button.type = press ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
            button.button.windowID = window;
            button.button.button = SDL_BUTTON_LEFT;
            button.button.state = press ? SDL_PRESSED : SDL_RELEASED;
            button.button.x = mouse.x;
            button.button.y = mouse.y;
            push(button);
        }
    }
}

Canvas& started() {
    Canvas& canvas = fixtures::setUpOnPaper(200, 120, Color(WHITE));
    canvas.start();
    return canvas;
}

} // namespace

// A click counts where it began and ended on the widget, in the frame it
// ends, for a button (at (20, 20), 60 x 30) and a check box (flipping then).
TEST(Widgets, AClickCountsWhenItBeganAndEndedOnTheWidget) {
    struct Row {
        const char* name;
        std::vector<Mouse> frames;
        std::vector<bool> clicked; // drawButton's answer, frame by frame
    };
    const std::vector<Row> rows = {
        {"press and release on it",
         {{30, 30, true, false}, {35, 32, false, true}, {35, 32}},
         {false, true, false}},
        {"both in one frame", {{30, 30, true, true}, {30, 30}}, {true, false}},
        {"dragged off before the release",
         {{30, 30, true, false}, {150, 30, false, false}, {150, 30, false, true}},
         {false, false, false}},
        {"pressed elsewhere, released on it",
         {{150, 90, true, false}, {30, 30, false, false}, {30, 30, false, true}},
         {false, false, false}},
        {"hovered only", {{30, 30}, {40, 40}}, {false, false}},
    };
    Canvas& canvas = started();
    for (const bool box : {false, true}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (box ? " (check box)" : " (button)"));
            bool checked = false;
            for (std::size_t i = 0; i < row.frames.size(); ++i) {
                pushMouse(row.frames[i]);
                canvas.isRunning();
                if (box) {
                    const bool now = canvas.drawCheckBox(20, 20, "", checked);
                    EXPECT_EQ(row.clicked[i], now != checked) << "frame " << i;
                    checked = now;
                } else {
                    EXPECT_EQ(row.clicked[i], canvas.drawButton(20, 20, 60, 30, "OK"))
                        << "frame " << i;
                }
                canvas.update();
            }
        }
    }
}

// A press on the slider puts its value under the mouse, a drag moves it,
// within low-high however far the mouse goes; a value out of range comes
// back within it. The slider runs from x 10 to 110 (value 0 to 100).
TEST(Widgets, TheSliderFollowsThePressAndDrag) {
    struct Row {
        const char* name;
        Mouse mouse;
        double given, low, high;
        double expected;
    };
    const std::vector<Row> rows = {
        {"untouched", {150, 100}, 40, 0, 100, 40},
        {"out of range", {150, 100}, 140, 0, 100, 100},
        {"reversed range", {150, 100}, -5, 100, 0, 0},
        {"pressed at a quarter", {35, 50, true, false}, 80, 0, 100, 25.25},
        {"dragged past the end", {190, 10}, 25, 0, 100, 100},
        {"dragged before the start, reversed", {0, 50}, 0, 100, 0, 100},
        {"released", {60, 50, false, true}, 80, 0, 100, 50.5},
        {"moved after the release", {90, 50}, 50, 0, 100, 50},
    };
    Canvas& canvas = started();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        pushMouse(row.mouse);
        canvas.isRunning();
        EXPECT_NEAR(row.expected, canvas.drawSlider(10, 45, 100, row.given, row.low, row.high),
                    0.6);
        canvas.update();
    }
}

// With the camera moved and zoomed the button is still where its window
// pixels say; its face is lighter under the mouse and darker while pressed.
TEST(Widgets, DrawnInWindowPixelsWithHoverAndPressedFaces) {
    Canvas& canvas = started();
    canvas.setCamera(500, -300);
    canvas.setCameraZoom(2.5);
    std::vector<Color> faces;
    for (const Mouse& mouse : {Mouse{150, 100}, Mouse{70, 50}, Mouse{70, 50, true, false}}) {
        pushMouse(mouse);
        canvas.isRunning();
        canvas.clear();
        canvas.drawButton(40, 30, 80, 40, "");
        const pixels::Frame frame = readFrame();
        EXPECT_EQ(Color(0, 0, 0, 255), frame.at(40, 30)) << "the outer edge at its corner";
        EXPECT_EQ(Color(0, 0, 0, 255), frame.at(119, 69));
        EXPECT_EQ(Color(WHITE), frame.at(39, 29)) << "nothing outside";
        EXPECT_EQ(Color(WHITE), frame.at(120, 70));
        faces.push_back(frame.at(60, 40));
        canvas.update();
    }
    const auto brightness = [](const Color& c) { return c.getRed() + c.getGreen() + c.getBlue(); };
    EXPECT_LT(brightness(faces[0]), brightness(faces[1])) << "lighter under the mouse";
    EXPECT_GT(brightness(faces[0]), brightness(faces[2])) << "darker while pressed";
    EXPECT_EQ(500, canvas.getCameraX()) << "the camera is the program's again";
    EXPECT_EQ(2.5, canvas.getCameraZoom());
}
