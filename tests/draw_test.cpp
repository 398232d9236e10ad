// Shape and text drawing, checked by reading the frame back from the
// software renderer before it is presented.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "canvas/canvas.h"
#include "pixels.h"
#include "shapes_support.h"

using pixels::str;

using pixels::firstDifference;
using pixels::Frame;
using pixels::readFrame;
using pixels::readPixel;
using namespace shapes_support;

namespace {

bool clearlyBlue(const Color& c) {
    return c.getBlue() > 200 && c.getRed() < 100 && c.getGreen() < 100;
}

// Where text drawn with its top-left corner at (x, y) must leave ink: the
// covered pixels of the same text rendered here, moved to (x, y).
SDL_Rect expectedInk(int x, int y, const std::string& text, int size = DEFAULT_FONT_SIZE) {
    Frame glyphs;
    TTF_Font* font = TTF_OpenFont(VANTREL_TEST_FONT, size);
    SDL_Surface* rendered =
        font ? TTF_RenderText_Blended(font, text.c_str(), SDL_Color{0, 0, 255, 255}) : nullptr;
    SDL_Surface* surface =
        rendered ? SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_RGBA32, 0) : nullptr;
    if (surface != nullptr) {
        glyphs.width = surface->w;
        glyphs.height = surface->h;
        for (int row = 0; row < surface->h; ++row) {
            const auto* line =
                static_cast<const std::uint8_t*>(surface->pixels) + row * surface->pitch;
            glyphs.rgba.insert(glyphs.rgba.end(), line, line + surface->w * 4);
        }
    }
    SDL_FreeSurface(surface);
    SDL_FreeSurface(rendered);
    if (font != nullptr) {
        TTF_CloseFont(font);
    }
    // Uncovered pixels are fully transparent in the rendered text.
    SDL_Rect ink = pixels::inkBox(glyphs, Color(0, 0, 255, 0));
    ink.x += x;
    ink.y += y;
    return ink;
}

} // namespace

// ---- Where each shape family draws -------------------------------------------

TEST(ShapePlacement, PixelLandsExactlyOnItsPoint) {
    Canvas& canvas = setUp();
    canvas.drawPixel(37, 53, INK);
    const Frame frame = readFrame();
    expectColour(frame, INK, {{37, 53}});
    expectColour(frame, PAPER, {{36, 53}, {38, 53}, {37, 52}, {37, 54}});
}

TEST(ShapePlacement, LinesCoverTheWholeDiagonalsFromEitherEnd) {
    Canvas& canvas = setUp();
    canvas.drawLine(0, 0, SIZE - 1, SIZE - 1, INK);
    canvas.drawLine(SIZE - 1, 0, 0, SIZE - 1, INK);
    const Frame frame = readFrame();
    for (int i = 0; i < SIZE; ++i) {
        EXPECT_EQ(INK, frame.at(i, i)) << "i = " << i;
        EXPECT_EQ(INK, frame.at(SIZE - 1 - i, i)) << "i = " << i;
    }
    EXPECT_EQ(PAPER, frame.at(100, 50));
}

TEST(ShapePlacement, RectangleColoursItsEdgesOnly) {
    Canvas& canvas = setUp();
    canvas.drawRectangle(120, 90, 20, 30, INK); // corners given in either order
    const Frame frame = readFrame();
    expectColour(
        frame, INK,
        {{20, 30}, {120, 90}, {20, 90}, {120, 30}, {70, 30}, {70, 90}, {20, 60}, {120, 60}});
    EXPECT_EQ(0, pixels::countInside(frame, SDL_Rect{21, 31, 99, 59},
                                     [](const Color& c) { return c != PAPER; }));
    expectColour(frame, PAPER, {{19, 30}, {121, 90}});

    // With no width it is a line that keeps both ends.
    canvas.drawRectangle(150, 10, 150, 40, OTHER);
    EXPECT_EQ(OTHER, readPixel(150, 10));
    EXPECT_EQ(OTHER, readPixel(150, 40));
    EXPECT_EQ(PAPER, readPixel(151, 40));
}

TEST(ShapePlacement, RoundedBoxFillsItsInsideAndRoundsItsCorners) {
    Canvas& canvas = setUp();
    canvas.drawRoundedBox(20, 20, 120, 100, 15, INK);
    const Frame frame = readFrame();
    expectColour(frame, INK, {{70, 60}, {20, 60}, {120, 60}, {70, 20}, {70, 100}});
    expectColour(frame, PAPER, {{20, 20}, {120, 20}, {20, 100}, {120, 100}, {121, 60}});
}

TEST(ShapePlacement, CircleOutlineLeavesItsCentre) {
    Canvas& canvas = setUp();
    canvas.drawCircle(100, 90, 40, INK);
    const Frame frame = readFrame();
    expectColour(frame, INK, {{140, 90}, {60, 90}, {100, 50}, {100, 130}});
    expectColour(frame, PAPER, {{100, 90}, {120, 90}, {141, 90}});
}

TEST(ShapePlacement, FilledDiscCoversItsRadiusAndNothingBeyond) {
    Canvas& canvas = setUp();
    const int cx = 90, cy = 110, r = 30;
    canvas.drawFilledCircle(cx, cy, r, INK);
    const Frame frame = readFrame();
    EXPECT_EQ(INK, frame.at(cx, cy));
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (d2 < (r - 1) * (r - 1)) {
                ASSERT_EQ(INK, frame.at(x, y)) << "inside at (" << x << ", " << y << ")";
            } else if (d2 > (r + 1) * (r + 1)) {
                ASSERT_EQ(PAPER, frame.at(x, y)) << "outside at (" << x << ", " << y << ")";
            }
        }
    }
}

// ---- Colour forms -------------------------------------------------------------

TEST(ColourForms, AllThreeFormsAgreeAndKeepTheForeground) {
    Canvas& canvas = setUp();
    checkColourForms(canvas, "pixel", {17, 23},
                     [](Canvas& c, auto... colour) { c.drawPixel(17, 23, colour...); });
    checkColourForms(canvas, "line", {150, 60},
                     [](Canvas& c, auto... colour) { c.drawLine(10, 20, 150, 60, colour...); });
    checkColourForms(canvas, "rectangle", {150, 40}, [](Canvas& c, auto... colour) {
        c.drawRectangle(10, 20, 150, 60, colour...);
    });
    checkColourForms(canvas, "rounded box", {80, 40}, [](Canvas& c, auto... colour) {
        c.drawRoundedBox(10, 20, 150, 60, 8, colour...);
    });
    checkColourForms(canvas, "circle", {130, 70},
                     [](Canvas& c, auto... colour) { c.drawCircle(100, 70, 30, colour...); });
    checkColourForms(canvas, "filled disc", {100, 70},
                     [](Canvas& c, auto... colour) { c.drawFilledCircle(100, 70, 30, colour...); });
}

TEST(ColourForms, DefaultForegroundIsInvisible) {
    Canvas& canvas = setUp(Color(GRAY));
    const Frame background = readFrame();
    canvas.drawPixel(17, 23);
    canvas.drawLine(10, 20, 150, 60);
    canvas.drawRectangle(10, 20, 150, 60);
    canvas.drawRoundedBox(30, 30, 90, 90, 8);
    canvas.drawCircle(100, 70, 30);
    canvas.drawFilledCircle(100, 70, 30);
    EXPECT_EQ("", firstDifference(background, readFrame()));

    // Text too, although the font library on its own treats alpha 0 as opaque.
    canvas.drawText(10, 10, "Invisible");
    EXPECT_TRUE(canvas.drawText(10, 10, "Invisible", Color(0, 0, 255, 0), 1));
    EXPECT_EQ("", firstDifference(background, readFrame()));
}

TEST(ShapeGeometry, CoordinatesBeyondSixteenBitsDoNotWrap) {
    Canvas& canvas = setUp();
    canvas.drawPixel(65536 + 10, -65536 + 20, INK);
    canvas.drawFilledCircle(2 * 65536 + 100, 100, 65536 + 5, OTHER); // ends at x = 65631
    EXPECT_EQ(0, inkCount(readFrame()));
}

// ---- Text -----------------------------------------------------------------------

TEST(Text, InksExactlyWhereItsCornerPutsIt) {
    Canvas& canvas = setUp();
    const std::string text = "Welcome";
    const SDL_Rect ink = expectedInk(30, 40, text);
    ASSERT_GT(ink.w, 0);
    canvas.drawText(30, 40, text, Color(BLUE));
    const Frame frame = readFrame();
    EXPECT_EQ(str(ink), str(pixels::inkBox(frame, PAPER)));
    EXPECT_GT(pixels::countInside(frame, ink, clearlyBlue), 50);

    // The foreground form and the full form draw the same text.
    canvas.clear();
    canvas.setForegroundColor(Color(BLUE));
    canvas.drawText(30, 40, text);
    EXPECT_EQ("", firstDifference(frame, readFrame()));
    canvas.clear();
    EXPECT_TRUE(canvas.drawText(30, 40, text, Color(BLUE), 1));
    EXPECT_EQ("", firstDifference(frame, readFrame()));
}

TEST(Text, FontIdsThatNameNoOpenFontThrow) {
    Canvas& canvas = setUp();
    EXPECT_THROW(canvas.drawText(0, 0, "x", Color(BLUE), -1), std::out_of_range);
    EXPECT_THROW(canvas.drawText(0, 0, "x", Color(BLUE), 0), std::out_of_range);
    EXPECT_THROW(canvas.drawText(0, 0, "x", Color(BLUE), 2), std::out_of_range);
    const FontId failed = canvas.loadFont(std::string(VANTREL_TEST_BINARY_DIR) + "/none.ttf", 20);
    EXPECT_THROW(canvas.drawText(0, 0, "x", Color(BLUE), failed), std::out_of_range);
    const FontId loaded = canvas.loadFont(VANTREL_TEST_FONT, 20);
    EXPECT_TRUE(canvas.drawText(0, 0, "x", Color(BLUE), loaded));
    EXPECT_THROW(canvas.drawText(0, 0, "x", Color(BLUE), loaded + 1), std::out_of_range);
}

TEST(Text, LoadedFontDrawsAtItsOwnSize) {
    Canvas& canvas = setUp();
    const std::string text = "Hg";
    const FontId big = canvas.loadFont(VANTREL_TEST_FONT, 70);
    ASSERT_EQ(2, big);

    canvas.drawText(10, 10, text, Color(BLUE));
    const SDL_Rect small = pixels::inkBox(readFrame(), PAPER);
    canvas.clear();
    EXPECT_TRUE(canvas.drawText(10, 10, text, Color(BLUE), big));
    const SDL_Rect large = pixels::inkBox(readFrame(), PAPER);

    EXPECT_GT(large.h, small.h * 3 / 2);
    EXPECT_EQ(str(expectedInk(10, 10, text, 70)), str(large));
}

TEST(Text, EmptyTextDrawsNothingAndReportsIt) {
    Canvas& canvas = setUp();
    canvas.drawFilledCircle(50, 50, 20, INK);
    const Frame before = readFrame();
    EXPECT_FALSE(canvas.drawText(10, 10, "", Color(BLUE), 1));
    canvas.drawText(10, 10, "", Color(BLUE));
    canvas.drawText(10, 10, "");
    EXPECT_EQ("", firstDifference(before, readFrame()));
}

TEST(Text, BeforeSetUpNothingCrashes) {
    Canvas& canvas = Canvas::getInstance();
    EXPECT_FALSE(canvas.drawText(10, 10, "Early", Color(BLUE), 1));
    canvas.drawText(10, 10, "Early", Color(BLUE));
    canvas.drawText(10, 10, "Early");
    canvas.drawPixel(1, 1, INK);
    canvas.drawLine(0, 0, 5, 5, INK);
    canvas.drawRectangle(0, 0, 5, 5, INK);
    canvas.drawRoundedBox(0, 0, 20, 20, 4, INK);
    canvas.drawCircle(10, 10, 5, INK);
    canvas.drawFilledCircle(10, 10, 5, INK);
}

TEST(Text, HighBytesAndEmbeddedNulDraw) {
    Canvas& canvas = setUp();
    const std::string latin1 = "\xC9t\xE9 \xFF\x80";
    EXPECT_TRUE(canvas.drawText(10, 10, latin1, Color(BLUE), 1));
    EXPECT_GT(pixels::countInside(readFrame(), expectedInk(10, 10, latin1), clearlyBlue), 20);

    canvas.clear();
    const std::string withNul("Ab\0cd", 5);
    EXPECT_TRUE(canvas.drawText(10, 10, withNul, Color(BLUE), 1));
    EXPECT_GT(pixels::countInside(readFrame(), expectedInk(10, 10, "Ab"), clearlyBlue), 20);
}
