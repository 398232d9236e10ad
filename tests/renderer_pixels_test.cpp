// The canvas asks SDL to draw in its own way (see initWorld); these tests
// prove, on a real OpenGL renderer, that the pixels stay what SDL draws when
// left alone. Every shape family is drawn with the very SDL2_gfx calls the
// canvas makes, once through the canvas's renderer and once through a second
// window's renderer made with SDL's own settings, and the two frames must be
// equal pixel for pixel. A third window on SDL's software renderer, whose
// pictures are the reference, must be covered in the same places and, for
// opaque ink, in the same colours.
//
// They need an X display with OpenGL (renderer_pixels.sh starts Xvfb, whose
// Mesa gives llvmpipe) and are skipped, with the reason, where SDL gives the
// canvas no OpenGL renderer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "shape_families.h"

namespace {

using shape_families::families;
using shape_families::Family;
using shape_families::HEIGHT;
using shape_families::Ink;
using shape_families::OPAQUE;
using shape_families::SEE_THROUGH;
using shape_families::WIDTH;

using Pixels = std::vector<Uint32>;

Pixels draw(SDL_Renderer* renderer, const Family& family, const Ink& ink) {
    SDL_SetRenderDrawColor(renderer, 128, 128, 128, 255);
    SDL_RenderClear(renderer);
    family(renderer, ink);
    Pixels pixels(static_cast<std::size_t>(WIDTH) * HEIGHT);
    const int read =
        SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), WIDTH * 4);
    SDL_RenderPresent(renderer);
    return read == 0 ? pixels : Pixels();
}

// "" when equal; otherwise how many pixels differ and the first of them.
// With coverageOnly, only whether each pixel holds ink counts.
std::string compare(const Pixels& expected, const Pixels& actual, bool coverageOnly) {
    if (expected.empty() || actual.empty()) {
        return "a frame could not be read back";
    }
    const Uint32 paper = 0xFF808080;
    std::size_t count = 0, first = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const bool differs = coverageOnly ? (expected[i] == paper) != (actual[i] == paper)
                                          : expected[i] != actual[i];
        if (differs && count++ == 0) {
            first = i;
        }
    }
    if (count == 0) {
        return "";
    }
    std::ostringstream out;
    out << count << " pixels differ; the first at (" << first % WIDTH << ", " << first / WIDTH
        << "): expected 0x" << std::hex << expected[first] << ", got 0x" << actual[first];
    return out.str();
}

// A window of its own with a renderer made with SDL's own settings for
// batching and lines (the environment's too are ignored), on driver
// ("" for the one SDL picks first).
SDL_Renderer* openWindow(const char* title, const char* driver) {
    SDL_SetHintWithPriority(SDL_HINT_RENDER_BATCHING, nullptr, SDL_HINT_OVERRIDE);
    SDL_SetHintWithPriority(SDL_HINT_RENDER_LINE_METHOD, nullptr, SDL_HINT_OVERRIDE);
    if (driver[0] != '\0') {
        SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, driver, SDL_HINT_OVERRIDE);
    }
    SDL_Window* window = SDL_CreateWindow(title, 0, 0, WIDTH, HEIGHT, 0);
    return window != nullptr ? SDL_CreateRenderer(window, -1, 0) : nullptr;
}

std::string nameOf(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    return renderer != nullptr && SDL_GetRendererInfo(renderer, &info) == 0 ? info.name : "none";
}

// The canvas's renderer, or nullptr (and the test skipped) when it is not
// OpenGL.
SDL_Renderer* canvasOnOpenGL() {
    Canvas::getInstance().initWorld(0, 0, WIDTH, HEIGHT, "canvas");
    SDL_Renderer* renderer = SDL_GetRenderer(SDL_GetWindowFromID(1));
    const std::string name = nameOf(renderer);
    return name.rfind("opengl", 0) == 0 ? renderer : nullptr;
}

} // namespace

TEST(RendererPixels, SameAsSDLDrawsWithItsOwnSettings) {
    SDL_Renderer* canvas = canvasOnOpenGL();
    if (canvas == nullptr) {
        GTEST_SKIP() << "SDL gave the canvas no OpenGL renderer here ("
                     << nameOf(SDL_GetRenderer(SDL_GetWindowFromID(1))) << "): nothing to compare";
    }
    const std::string driver = nameOf(canvas);
    SDL_Renderer* plain = openWindow("SDL's own settings", driver.c_str());
    ASSERT_EQ(driver, nameOf(plain)) << SDL_GetError();
    for (const auto& [name, family] : families()) {
        for (const Ink& ink : {OPAQUE, SEE_THROUGH}) {
            EXPECT_EQ("", compare(draw(plain, family, ink), draw(canvas, family, ink), false))
                << name << (ink.a == 255 ? ", opaque" : ", see-through");
        }
    }
}

TEST(RendererPixels, SameAsTheSoftwareRenderer) {
    SDL_Renderer* canvas = canvasOnOpenGL();
    if (canvas == nullptr) {
        GTEST_SKIP() << "SDL gave the canvas no OpenGL renderer here ("
                     << nameOf(SDL_GetRenderer(SDL_GetWindowFromID(1)))
                     << "): the software renderer is the reference itself";
    }
    SDL_Renderer* software = openWindow("software", "software");
    ASSERT_EQ("software", nameOf(software)) << SDL_GetError();
    for (const auto& [name, family] : families()) {
        // OpenGL blends see-through ink with its own rounding, one step off
        // at most: there only the places may be compared.
        for (const Ink& ink : {OPAQUE, SEE_THROUGH}) {
            EXPECT_EQ("",
                      compare(draw(software, family, ink), draw(canvas, family, ink), ink.a != 255))
                << name << (ink.a == 255 ? ", opaque" : ", see-through (places only)");
        }
    }
}

// The canvas's own discs through its OpenGL renderer: a disc of radius r
// covers exactly the 2r + 1 columns and rows around its centre, the flaw a
// faster way of drawing lines would bring (it drops the ends of runs).
TEST(RendererPixels, DiscsCoverExactlyTheirRadius) {
    if (canvasOnOpenGL() == nullptr) {
        GTEST_SKIP() << "SDL gave the canvas no OpenGL renderer here: nothing to check on it";
    }
    Canvas& canvas = Canvas::getInstance();
    SDL_Renderer* renderer = SDL_GetRenderer(SDL_GetWindowFromID(1));
    canvas.setBackgroundColor(Color(128, 128, 128, 255));
    for (int radius = 1; radius <= 40; ++radius) {
        canvas.clear();
        canvas.drawFilledCircle(100, 100, radius, Color(0, 0, 0, 255));
        Pixels pixels(static_cast<std::size_t>(WIDTH) * HEIGHT);
        ASSERT_EQ(0, SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888,
                                          pixels.data(), WIDTH * 4));
        canvas.update();
        int left = WIDTH, right = -1, top = HEIGHT, bottom = -1;
        for (int y = 0; y < HEIGHT; ++y) {
            for (int x = 0; x < WIDTH; ++x) {
                if (pixels[static_cast<std::size_t>(y) * WIDTH + x] == 0xFF000000) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
            }
        }
        EXPECT_EQ(100 - radius, left) << "radius " << radius;
        EXPECT_EQ(100 + radius, right) << "radius " << radius;
        EXPECT_EQ(100 - radius, top) << "radius " << radius;
        EXPECT_EQ(100 + radius, bottom) << "radius " << radius;
    }
}
