// Canvas set-up, fonts, frame pacing and clearing. Each TEST runs in a process
// of its own, so each one meets a freshly constructed canvas.

#include "canvas/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "fixtures.h"
#include "pixels.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs call, which must throw a plain message, and returns that message.
template <typename Call> std::string plainMessageOf(Call call) {
    try {
        call();
    } catch (const char* message) {
        return message;
    }
    return "(nothing thrown)";
}

Canvas& setUpCanvas(std::uint8_t fps = DEFAULT_FPS) { return fixtures::setUpCanvas(48, 32, fps); }

// The colour of pixel (x, y) of what has been drawn since the last clear().
Color pixelAt(int x, int y) {
    SDL_Renderer* renderer = SDL_GetRenderer(SDL_GetWindowFromID(1));
    Uint8 rgba[4] = {0, 0, 0, 0};
    SDL_Rect one = {x, y, 1, 1};
    EXPECT_EQ(SDL_RenderReadPixels(renderer, &one, SDL_PIXELFORMAT_ABGR8888, rgba, 4), 0)
        << SDL_GetError();
    return Color(rgba[0], rgba[1], rgba[2], rgba[3]);
}

} // namespace

// ---- Set-up -----------------------------------------------------------------

TEST(SetUp, LogsEveryCallAndAllowsOnlyOne) {
    testing::internal::CaptureStdout();
    Canvas& canvas = setUpCanvas();
    const std::string second = plainMessageOf([&] { setUpCanvas(); });
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "initWorld called\ninitWorld called\n");
    EXPECT_EQ(second, "Sorry, you can only use an initializeWorld function once!");
    EXPECT_EQ(canvas.getWidth(), 48);
    EXPECT_EQ(canvas.getHeight(), 32);
    EXPECT_EQ(canvas.getFPS(), 60);
}

// Whether SDL's environment variable is set to value, as CTest arranges for
// the set-up failure tests.
bool environmentIs(const char* variable, const std::string& value) {
    const char* actual = SDL_getenv(variable);
    return actual != nullptr && actual == value;
}

TEST(SetUp, FailedFirstCallStillBlocksTheNext) {
    if (!environmentIs("SDL_VIDEODRIVER", "no-such-driver")) {
        GTEST_SKIP() << "needs SDL_VIDEODRIVER=no-such-driver";
    }
    testing::internal::CaptureStdout();
    const std::string first = plainMessageOf([] { setUpCanvas(); });
    const std::string second = plainMessageOf([] { setUpCanvas(); });
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "initWorld called\ninitWorld called\n");
    EXPECT_EQ(first, "SDL Initialization failed");
    EXPECT_EQ(second, "Sorry, you can only use an initializeWorld function once!");
}

TEST(SetUp, AudioFailureCarriesTheLibrarysReason) {
    // SDL's disk audio driver starts, but cannot open its output file.
    if (!environmentIs("SDL_AUDIODRIVER", "disk")) {
        GTEST_SKIP() << "needs SDL_AUDIODRIVER=disk and SDL_DISKAUDIOFILE in a missing folder";
    }
    std::string message;
    try {
        setUpCanvas();
    } catch (const std::string& thrown) {
        message = thrown;
    }
    const std::string prefix = "SDL Audio setup failed with error ";
    ASSERT_EQ(message.substr(0, prefix.size()), prefix);
    EXPECT_GT(message.size(), prefix.size()) << "no reason after the prefix: " << message;
}

TEST(SetUp, ZeroFrameRateIsRejectedAndMayBeCorrected) {
    EXPECT_EQ(plainMessageOf([] { setUpCanvas(0); }), "Frame rate must be between 1 and 255");
    Canvas& canvas = setUpCanvas(255);
    EXPECT_EQ(canvas.getFPS(), 255);
}

// A driver the user names is used as named, even an invisible one: only
// SDL's own silent fallback to it is refused (see demo.Failure.NoDisplay).
TEST(SetUp, AChosenInvisibleDriverIsHonoured) {
    setUpCanvas();
    ASSERT_NE(SDL_GetCurrentVideoDriver(), nullptr);
    EXPECT_STREQ(SDL_GetCurrentVideoDriver(), "offscreen");
}

TEST(Window, TitleAndCursorAreTheWindows) {
    Canvas& canvas = setUpCanvas();
    canvas.setTitle("Über \xF0\x9F\x8E\xAE"); // UTF-8, beyond the first plane too
    EXPECT_STREQ(SDL_GetWindowTitle(SDL_GetWindowFromID(1)), "Über \xF0\x9F\x8E\xAE");
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    canvas.showCursor(false);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    canvas.showCursor(true);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

// Fullscreen fills the screen with the picture scaled to fit, and the
// program goes on seeing its own width, height and mouse, zoomed or not.
TEST(Window, FullscreenKeepsThePicturesSizeAndMouse) {
    Canvas& canvas = fixtures::setUpCanvas(200, 100);
    canvas.start();
    SDL_Window* window = SDL_GetWindowFromID(1);
    SDL_DisplayMode desktop;
    ASSERT_EQ(0, SDL_GetDesktopDisplayMode(0, &desktop)) << SDL_GetError();
    canvas.setFullscreen(true);
    canvas.setCameraZoom(2);
    // The middle of the screen is the middle of the picture, zoomed or not.
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = SDL_GetWindowID(window);
    motion.motion.x = desktop.w / 2;
    motion.motion.y = desktop.h / 2;
    SDL_PushEvent(&motion);
    canvas.isRunning();
    EXPECT_TRUE(canvas.isFullscreen());
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
#ifdef _WIN32
    if (width != desktop.w) {
        GTEST_SKIP() << "SDL's dummy video driver on Windows keeps the window's size";
    }
#endif
    EXPECT_EQ(desktop.w, width);
    EXPECT_EQ(desktop.h, height);
    EXPECT_EQ(200, canvas.getWidth());
    EXPECT_EQ(100, canvas.getHeight());
    EXPECT_EQ(100, canvas.getMouseX());
    EXPECT_EQ(50, canvas.getMouseY());
    EXPECT_EQ(50, canvas.getMouseWorldX());
    // The picture fills the fitted part of the screen, edge to edge.
    canvas.setCameraZoom(1);
    canvas.drawFilledRectangle(0, 0, 199, 99, Color(RED));
    const pixels::Frame frame = pixels::readFrame();
    ASSERT_FALSE(frame.rgba.empty());
    const int fitted = std::min(width, height * 2);
    EXPECT_EQ(Color(RED), frame.at(0, 0));
    EXPECT_EQ(Color(RED), frame.at(fitted - 1, fitted / 2 - 1));
    canvas.update();
    canvas.setFullscreen(false);
    canvas.isRunning();
    EXPECT_FALSE(canvas.isFullscreen());
    EXPECT_EQ(200, canvas.getWidth());
}

TEST(SetUp, CallsBeforeSetUpAreHarmless) {
    Canvas& canvas = Canvas::getInstance();
    EXPECT_EQ(canvas.getWidth(), 0);
    EXPECT_EQ(canvas.getHeight(), 0);
    EXPECT_EQ(canvas.getFPS(), 60);
    SDL_Event event;
    EXPECT_FALSE(canvas.pollEvent(&event));
    int x = -7;
    int y = -7;
    canvas.getMouseState(&x, &y);
    canvas.setForegroundColor(Color(RED));
    canvas.clear();
    canvas.drawLine(0, 0, 10, 10);
    canvas.drawFilledCircle(5, 5, 3, Color(BLUE));
    canvas.raiseWindow();
    canvas.setTitle("before");
    canvas.update();
    EXPECT_FALSE(canvas.isRunning());
}

// ---- Fonts ------------------------------------------------------------------

TEST(Fonts, IdsCountOpenFontsAndFailuresTakeNoNumber) {
    Canvas& canvas = Canvas::getInstance();
    const std::string notAFont = std::string(VANTREL_TEST_BINARY_DIR) + "/not-a-font.ttf";
    std::ofstream(notAFont) << "this is plain text, not a TrueType font\n";

    // Each failure says why and names its file; a font id of -1 names it too.
    for (const std::string& bad :
         {std::string("/no/such/font.ttf"), notAFont, std::string(VANTREL_TEST_BINARY_DIR)}) {
        EXPECT_EQ(canvas.loadFont(bad, 20), -1) << bad;
        EXPECT_NE(canvas.getFontError().find(bad), std::string::npos) << canvas.getFontError();
        try {
            canvas.drawText(0, 0, "x", Color(RED), -1);
            ADD_FAILURE() << "a font id of -1 drew";
        } catch (const std::out_of_range& e) {
            EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(canvas.loadFont(VANTREL_TEST_FONT, 20), 2) << "the default font is 1";
    EXPECT_EQ(canvas.getFontError(), "") << "after a font that opened";
    EXPECT_EQ(canvas.loadFont(VANTREL_TEST_FONT, 20), 3) << "the same file again is a new font";
    std::remove(notAFont.c_str());
}

// initWorld opens the font it is given when it is not the default one and
// makes it the default: text drawn without a font id then has its size.
TEST(Fonts, SetUpWithAnotherSizeMakesThatFontTheDefault) {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 300, 100, DEFAULT_TITLE, DEFAULT_FONT, 12);
    EXPECT_EQ(canvas.loadFont(VANTREL_TEST_FONT, 20), 3) << "initWorld opened font 2";

    canvas.setBackgroundColor(Color(WHITE));
    canvas.clear();
    canvas.drawText(0, 0, "Hg", Color(BLACK));
    int lowest = -1;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 60; ++x) {
            if (pixelAt(x, y) != Color(WHITE)) {
                lowest = y;
            }
        }
    }
    EXPECT_GT(lowest, 0) << "no text drawn";
    EXPECT_LT(lowest, 20) << "text looks larger than 12 points";
}

// ---- Frame pacing -----------------------------------------------------------
// Frame starts are stamped in whole milliseconds, so a 16 ms period can be
// as short as just over 15 ms of real time when the stamp was taken late in
// its millisecond.

TEST(Pacing, BackToBackFramesAreAPeriodApart) {
    Canvas& canvas = setUpCanvas(60);
    canvas.start();
    ASSERT_TRUE(canvas.isRunning());
    const Uint32 firstTicks = SDL_GetTicks();
    const Clock::time_point first = Clock::now();
    ASSERT_TRUE(canvas.isRunning());
    EXPECT_GT(millisecondsSince(first), 15.0);
    EXPECT_GE(SDL_GetTicks() - firstTicks, 15u);
}

TEST(Pacing, ALateFrameIsNotMadeLongerOrCaughtUp) {
    Canvas& canvas = setUpCanvas(60);
    canvas.start();
    ASSERT_TRUE(canvas.isRunning());
    SDL_Delay(20);
    const Clock::time_point late = Clock::now();
    ASSERT_TRUE(canvas.isRunning());
    EXPECT_LT(millisecondsSince(late), 8.0) << "slept although the frame was already over";
    // The next frame gets a full period again, counted from the late start.
    const Clock::time_point next = Clock::now();
    ASSERT_TRUE(canvas.isRunning());
    EXPECT_GT(millisecondsSince(next), 15.0);
}

TEST(Pacing, NotRunningBeforeStartAndAfterQuit) {
    Canvas& canvas = setUpCanvas(30);
    SDL_Delay(40); // the frame start is still 0: no period is left to wait for
    Clock::time_point before = Clock::now();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(canvas.isRunning());
    EXPECT_LT(millisecondsSince(before), 8.0);
    EXPECT_FALSE(canvas.isRunning());
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << "once a run: " << told;
    EXPECT_NE(told.find("before start()"), std::string::npos) << told;

    // The frame starts inside start(), so it ends 33 ms after this at the
    // earliest (32 allows for the whole milliseconds SDL counts in), however
    // long the calls up to quit() take on a loaded machine.
    const Clock::time_point beforeStart = Clock::now();
    canvas.start();
    ASSERT_TRUE(canvas.isRunning());
    canvas.quit();
    EXPECT_FALSE(canvas.isRunning());
    EXPECT_GT(millisecondsSince(beforeStart), 32.0) << "the last frame was not slept out (33 ms)";

    canvas.start();
    EXPECT_TRUE(canvas.isRunning()) << "start() after quit() runs again";
}

// ---- Clearing and colours ---------------------------------------------------

TEST(Drawing, ClearPaintsTheBackgroundNotTheForeground) {
    Canvas& canvas = setUpCanvas();
    EXPECT_EQ((canvas.clear(), pixelAt(5, 5)), DEFAULT_BACKGROUND);

    canvas.setBackgroundColor(Color(TEAL));
    canvas.setForegroundColor(Color(RED));
    canvas.clear();
    for (const auto& corner : {SDL_Point{0, 0}, SDL_Point{47, 0}, SDL_Point{0, 31},
                               SDL_Point{47, 31}, SDL_Point{20, 15}}) {
        EXPECT_EQ(pixelAt(corner.x, corner.y), Color(TEAL)) << corner.x << "," << corner.y;
    }
}
