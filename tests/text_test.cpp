// Measuring text, placing it by its centre or right edge, and reading its
// bytes as UTF-8 or Latin-1, checked against the ink read back from the
// software renderer.

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>

#include "canvas/canvas.h"
#include "fixtures.h"
#include "pixels.h"

using pixels::firstDifference;
using pixels::Frame;
using pixels::inkBox;
using pixels::readFrame;
using pixels::str;

namespace {

constexpr int WIDTH = 400;
constexpr int HEIGHT = 200;
const Color PAPER(WHITE);
const Color INK(BLUE);

Canvas& setUp() { return fixtures::setUpOnPaper(WIDTH, HEIGHT, PAPER); }

template <typename Draw> SDL_Rect inkOf(Canvas& canvas, Draw draw) {
    canvas.clear();
    draw(canvas);
    return inkBox(readFrame(), PAPER);
}

// Texts that stress measuring: descenders, capitals, a lone narrow glyph,
// leading and trailing spaces, Latin-1 and UTF-8 bytes.
const char* const SAMPLES[] = {"Welcome",
                               "Hg",
                               "i",
                               "  Score: 120  ",
                               "ace",
                               "\xC9t\xE9",
                               "Gr\xC3\xBC\xC3\x9F"
                               "e",
                               "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1"};

} // namespace

// ---- Measuring ----------------------------------------------------------------

TEST(TextSize, EqualsTheInkDrawTextLeaves) {
    Canvas& canvas = setUp();
    const FontId small = canvas.loadFont(VANTREL_TEST_FONT, 14);
    for (const char* sample : SAMPLES) {
        const std::string text = sample;
        SCOPED_TRACE(text);
        const SDL_Rect ink = inkOf(canvas, [&](Canvas& c) { c.drawText(20, 30, text, INK); });
        ASSERT_GT(ink.w, 0);
        EXPECT_EQ(ink.w, canvas.getTextWidth(text));
        EXPECT_EQ(ink.h, canvas.getTextHeight(text));
        EXPECT_EQ(ink.w, canvas.getTextWidth(text, 1));
        const SDL_Rect smallInk =
            inkOf(canvas, [&](Canvas& c) { c.drawText(20, 30, text, INK, small); });
        EXPECT_EQ(smallInk.w, canvas.getTextWidth(text, small));
        EXPECT_EQ(smallInk.h, canvas.getTextHeight(text, small));
        EXPECT_LT(smallInk.h, ink.h);
    }
}

TEST(TextSize, NothingDrawnMeasuresZeroAndBadFontsThrow) {
    Canvas& canvas = setUp();
    for (const std::string& text : {std::string(), std::string("   "), std::string("\0abc", 4)}) {
        EXPECT_EQ(0, canvas.getTextWidth(text));
        EXPECT_EQ(0, canvas.getTextHeight(text));
    }
    for (const FontId bad : {-1, 0, 2, INT_MAX}) {
        EXPECT_THROW(canvas.getTextWidth("x", bad), std::out_of_range);
        EXPECT_THROW(canvas.getTextHeight("x", bad), std::out_of_range);
        EXPECT_THROW(canvas.drawTextCentered(0, 0, "x", INK, bad), std::out_of_range);
        EXPECT_THROW(canvas.drawTextRight(0, 0, "x", INK, bad), std::out_of_range);
    }
}

// ---- Centred and right-aligned ------------------------------------------------------

TEST(TextAlignment, CentredInkSitsOnItsColumnAndItsLineOnItsRow) {
    Canvas& canvas = setUp();
    TTF_Font* font = TTF_OpenFont(VANTREL_TEST_FONT, DEFAULT_FONT_SIZE);
    ASSERT_NE(nullptr, font);
    const int line = TTF_FontHeight(font);
    TTF_CloseFont(font);
    for (const char* sample : SAMPLES) {
        const std::string text = sample;
        SCOPED_TRACE(text);
        const int w = canvas.getTextWidth(text), h = canvas.getTextHeight(text);
        const SDL_Rect ink =
            inkOf(canvas, [&](Canvas& c) { c.drawTextCentered(WIDTH / 2, 100, text, INK); });
        // Placed across as drawText would place it with its line's top at
        // 100 - line / 2: the same baseline for every text.
        const SDL_Rect level =
            inkOf(canvas, [&](Canvas& c) { c.drawText(0, 100 - line / 2, text, INK); });
        EXPECT_EQ(str(SDL_Rect{WIDTH / 2 - w / 2, level.y, w, h}), str(ink));
    }
}

TEST(TextAlignment, RightAlignedInkEndsOnItsColumnLevelWithDrawText) {
    Canvas& canvas = setUp();
    for (const char* sample : SAMPLES) {
        const std::string text = sample;
        SCOPED_TRACE(text);
        const SDL_Rect left = inkOf(canvas, [&](Canvas& c) { c.drawText(10, 40, text, INK); });
        const SDL_Rect right =
            inkOf(canvas, [&](Canvas& c) { c.drawTextRight(WIDTH - 11, 40, text, INK); });
        EXPECT_EQ(WIDTH - 11, right.x + right.w - 1);
        EXPECT_EQ(left.y, right.y);
        EXPECT_EQ(left.w, right.w);
        EXPECT_EQ(left.h, right.h);
    }
}

TEST(TextAlignment, ColourFormsAgreeAndAlphaZeroStaysInvisible) {
    Canvas& canvas = setUp();
    const std::string text = "Score: 42";
    for (int right = 0; right < 2; ++right) {
        SCOPED_TRACE(right ? "right" : "centred");
        auto draw = [&](auto... rest) {
            canvas.clear();
            if (right) {
                canvas.drawTextRight(300, 50, text, rest...);
            } else {
                canvas.drawTextCentered(200, 100, text, rest...);
            }
            return readFrame();
        };
        canvas.setForegroundColor(INK);
        const Frame reference = draw(INK);
        EXPECT_GT(inkBox(reference, PAPER).w, 0);
        EXPECT_EQ("", firstDifference(reference, draw()));
        EXPECT_EQ("", firstDifference(reference, draw(INK, 1)));
        canvas.setForegroundColor(Color(0, 0, 255, 0));
        canvas.clear();
        const Frame blank = readFrame();
        EXPECT_EQ("", firstDifference(blank, draw()));
        EXPECT_EQ("", firstDifference(blank, draw(Color(255, 0, 0, 0))));
    }
    EXPECT_FALSE(canvas.drawTextCentered(10, 10, "", INK, 1));
    EXPECT_FALSE(canvas.drawTextRight(10, 10, "", INK, 1));
}

TEST(TextAlignment, BeforeSetUpMeasuringWorksAndDrawingReportsFalse) {
    Canvas& canvas = Canvas::getInstance();
    EXPECT_GT(canvas.getTextWidth("Early"), 0);
    EXPECT_FALSE(canvas.drawTextCentered(10, 10, "Early", INK, 1));
    EXPECT_FALSE(canvas.drawTextRight(10, 10, "Early", INK, 1));
    canvas.drawTextCentered(10, 10, "Early");
    canvas.drawTextRight(10, 10, "Early", INK);
}

// ---- UTF-8 and Latin-1 ----------------------------------------------------------------

namespace {

Frame drawnText(Canvas& canvas, const std::string& text) {
    canvas.clear();
    EXPECT_TRUE(canvas.drawText(20, 30, text, INK, 1));
    return readFrame();
}

} // namespace

TEST(TextEncoding, UtfEightAndLatinOneBytesDrawTheSameGlyphs) {
    Canvas& canvas = setUp();
    // "Grüße, café, ÿ" typed in a UTF-8 and in a Latin-1 source file.
    const std::string utf8 = "Gr\xC3\xBC\xC3\x9F"
                             "e, caf\xC3\xA9, \xC3\xBF";
    const std::string latin1 = "Gr\xFC\xDF"
                               "e, caf\xE9, \xFF";
    const Frame expected = drawnText(canvas, latin1);
    EXPECT_EQ("", firstDifference(expected, drawnText(canvas, utf8)));
    EXPECT_EQ(canvas.getTextWidth(latin1), canvas.getTextWidth(utf8));
    EXPECT_EQ(canvas.getTextWidth(latin1), inkBox(expected, PAPER).w);
    // Read as Latin-1, the UTF-8 bytes would be the wider "GrÃ¼ÃŸe".
    const std::string mojibake = "Gr\xC3\x83\xC2\xBC\xC3\x83\xC5\xB8"
                                 "e";
    EXPECT_GT(canvas.getTextWidth(mojibake), canvas.getTextWidth("Gr\xC3\xBC\xC3\x9F"
                                                                 "e"));
}

TEST(TextEncoding, ByteSequencesThatAreNotUtfEightStayLatinOne) {
    Canvas& canvas = setUp();
    // Each is read byte by byte: what the Latin-1 code points, written as
    // UTF-8, draw.
    struct Case {
        const char* bytes;
        const char* asUtf8;
    };
    const Case cases[] = {
        {"caf\xE9", "caf\xC3\xA9"},                               // a lone high byte
        {"\xC3(", "\xC3\x83("},                                   // a lead byte without its tail
        {"a\xC0\xAF", "a\xC3\x80\xC2\xAF"},                       // an overlong '/'
        {"\xED\xA0\x80x", "\xC3\xAD\xC2\xA0\xC2\x80x"},           // a surrogate
        {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"}, // past U+10FFFF
        {"\xC3\xA9\xE9", "\xC3\x83\xC2\xA9\xC3\xA9"},             // valid, then a stray byte
        {"\xE2\x82", "\xC3\xA2\xC2\x82"},                         // cut short by the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ("", firstDifference(drawnText(canvas, c.asUtf8), drawnText(canvas, c.bytes)));
        EXPECT_EQ(canvas.getTextWidth(c.asUtf8), canvas.getTextWidth(c.bytes));
    }
    // Up to the first NUL: what follows does not decide the reading.
    const std::string cut("caf\xC3\xA9\0\xFF", 7);
    EXPECT_EQ("", firstDifference(drawnText(canvas, "caf\xC3\xA9"), drawnText(canvas, cut)));
}

TEST(TextEncoding, CharactersBeyondLatinOneDraw) {
    Canvas& canvas = setUp();
    const std::string greek = "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1"; // "Ωμέγα"
    const SDL_Rect ink =
        inkOf(canvas, [&](Canvas& c) { c.drawTextCentered(200, 100, greek, INK); });
    EXPECT_EQ(canvas.getTextWidth(greek), ink.w);
    // Five letters, not the ten bytes' worth of Latin-1 letters.
    EXPECT_LT(ink.w, canvas.getTextWidth("\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1"
                                         "\xE9") *
                         2 / 3);
}
