#include "types/color.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <sstream>

namespace {

struct Reading {
    Color color;
    bool failed;
};

Reading read(const std::string& text) {
    std::istringstream in(text);
    Color color(1, 2, 3, 4);
    in >> color;
    return {color, in.fail()};
}

Color readColor(const std::string& text) { return read(text).color; }

Color withOpacity(float fraction) {
    Color color(10, 20, 30, 99);
    color.setOpacity(fraction);
    return color;
}

} // namespace

// The palette holds the sixteen HTML 4.01 colours in its own order; code
// refers to entries by index, so a swapped row would silently repaint it.
TEST(Palette, NamesMatchTheirHtmlColoursInPaletteOrder) {
    const struct {
        ColorName name;
        Color expected;
    } rows[] = {
        {BLACK, Color(0, 0, 0, 255)},        {GRAY, Color(128, 128, 128, 255)},
        {SILVER, Color(192, 192, 192, 255)}, {WHITE, Color(255, 255, 255, 255)},
        {MAROON, Color(128, 0, 0, 255)},     {RED, Color(255, 0, 0, 255)},
        {OLIVE, Color(128, 128, 0, 255)},    {YELLOW, Color(255, 255, 0, 255)},
        {GREEN, Color(0, 128, 0, 255)},      {LIME, Color(0, 255, 0, 255)},
        {TEAL, Color(0, 128, 128, 255)},     {AQUA, Color(0, 255, 255, 255)},
        {NAVY, Color(0, 0, 128, 255)},       {BLUE, Color(0, 0, 255, 255)},
        {PURPLE, Color(128, 0, 128, 255)},   {FUCHSIA, Color(255, 0, 255, 255)},
    };
    for (int i = 0; i < PALETTE_SIZE; ++i) {
        EXPECT_EQ(rows[i].name, i);
        EXPECT_EQ(Color(rows[i].name), rows[i].expected) << "ColorName " << i;
        EXPECT_EQ(Color::fromName(rows[i].name), rows[i].expected) << "ColorName " << i;
    }
}

TEST(Palette, NamesOutsideTheTableAreRejected) {
    for (ColorName name : {-1, PALETTE_SIZE, 255, INT_MAX, INT_MIN}) {
        EXPECT_THROW(Color{name}, std::out_of_range) << "ColorName " << name;
        EXPECT_THROW(Color::fromName(name), std::out_of_range) << "ColorName " << name;
    }
}

TEST(Opacity, FractionsWithinZeroToOneScaleInSinglePrecision) {
    EXPECT_EQ(withOpacity(1.0f).getAlpha(), 255);
    EXPECT_EQ(withOpacity(std::nextafter(1.0f, 0.0f)).getAlpha(), 254);
    EXPECT_EQ(withOpacity(0.999f).getAlpha(), 254);
    EXPECT_EQ(withOpacity(0.5f).getAlpha(), 127);
    EXPECT_EQ(withOpacity(0.2f).getAlpha(), 51);
    EXPECT_EQ(withOpacity(0.0f).getAlpha(), 0);
    EXPECT_EQ(withOpacity(-0.0f).getAlpha(), 0);
    EXPECT_EQ(withOpacity(0.5f), Color(10, 20, 30, 127)) << "only alpha may change";
}

TEST(Opacity, FractionsOutsideZeroToOneLeaveAlphaAlone) {
    for (float fraction :
         {1.5f, -0.1f, std::nextafter(1.0f, 2.0f), -std::numeric_limits<float>::min(),
          std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_EQ(withOpacity(fraction).getAlpha(), 99) << "fraction " << fraction;
    }
}

TEST(Reader, KeepsTheLowEightBitsOfEachNumber) {
    EXPECT_EQ(readColor("255 0 0 255"), Color(RED));
    EXPECT_EQ(readColor("300 -1 0 256"), Color(44, 255, 0, 0));
    EXPECT_EQ(readColor("  \n 511\t-256 -255 65535"), Color(255, 0, 1, 255));
}

TEST(Reader, ChainsAndHonoursTheStreamsBase) {
    std::istringstream in("1 2 3 4 5 6 7 8");
    Color first(0, 0, 0, 0);
    Color second(0, 0, 0, 0);
    in >> first >> second;
    EXPECT_EQ(first, Color(1, 2, 3, 4));
    EXPECT_EQ(second, Color(5, 6, 7, 8));

    std::istringstream hex("ff 80 0 7f");
    Color color(0, 0, 0, 0);
    hex >> std::hex >> color;
    EXPECT_EQ(color, Color(255, 128, 0, 127));
}

TEST(Reader, ShortOrBadInputFailsTheStreamAndZeroesWhatWasNotRead) {
    Reading shortInput = read("7 8");
    EXPECT_EQ(shortInput.color, Color(7, 8, 0, 0));
    EXPECT_TRUE(shortInput.failed);

    Reading empty = read("");
    EXPECT_EQ(empty.color, Color(0, 0, 0, 0));
    EXPECT_TRUE(empty.failed);

    Reading word = read("12 red 3 4");
    EXPECT_EQ(word.color, Color(12, 0, 0, 0));
    EXPECT_TRUE(word.failed);

    // Too large for 32 bits: the stream fails and nothing beyond it is read.
    Reading huge = read("1 99999999999 3 4");
    EXPECT_EQ(huge.color.getRed(), 1);
    EXPECT_EQ(huge.color.getBlue(), 0);
    EXPECT_TRUE(huge.failed);

    EXPECT_FALSE(read("1 2 3 4").failed);
}

TEST(HSV, HuesWrapAndAmountsClamp) {
    struct Case {
        double h, s, v;
        Color expected;
    } cases[] = {
        {0, 1, 1, Color(255, 0, 0, 255)},         {120, 1, 1, Color(0, 255, 0, 255)},
        {240, 1, 1, Color(0, 0, 255, 255)},       {60, 1, 1, Color(255, 255, 0, 255)},
        {300, 1, 1, Color(255, 0, 255, 255)},     {30, 1, 1, Color(255, 128, 0, 255)},
        {360, 1, 1, Color(255, 0, 0, 255)},       {-120, 1, 1, Color(0, 0, 255, 255)},
        {720 + 120, 1, 1, Color(0, 255, 0, 255)}, {0, 0, 0.5, Color(128, 128, 128, 255)},
        {200, 2, -1, Color(0, 0, 0, 255)},        {200, -1, 2, Color(255, 255, 255, 255)},
        {NAN, 1, 1, Color(255, 0, 0, 255)},       {120, NAN, 1, Color(255, 255, 255, 255)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, Color::fromHSV(c.h, c.s, c.v)) << c.h << ", " << c.s << ", " << c.v;
    }
}

TEST(CssColours, NamesBeyondThePaletteAreColoursAndThePaletteStaysAsItWas) {
    EXPECT_EQ(Color(255, 165, 0, 255), ORANGE);
    EXPECT_EQ(Color(255, 192, 203, 255), PINK);
    EXPECT_EQ(Color(102, 51, 153, 255), REBECCAPURPLE);
    const Color c = GOLD; // wherever a Color is expected
    EXPECT_EQ(Color(255, 215, 0, 255), c);
    EXPECT_EQ(5, RED); // palette names are still numbers
    EXPECT_EQ(Color(255, 0, 0, 255), Color(RED));
}
