#ifndef VANTREL_TYPES_COLOR_H
#define VANTREL_TYPES_COLOR_H

/// \file
/// Colours: the Color type and the sixteen named palette colours (the CSS
/// colour names beyond those are in css_colors.h, included at the end).

#include <cstdint>
#include <iosfwd>
#include <stdexcept>

/// Index of a colour in PALETTE: a whole number from 0 (BLACK) to 15 (FUCHSIA).
typedef int ColorName;

/// The sixteen named colours, in palette order: four greys from dark to
/// light, then dark/bright pairs by hue. Each is a whole number (a ColorName:
/// Color(RED), Color::fromName(RED), PALETTE[RED] and `int n = RED;` all
/// work) that also turns into a Color wherever a Color is expected:
/// `Color c = RED;`, `canvas.drawFilledCircle(x, y, r, RED);`.
enum PaletteName : int {
    BLACK = 0,
    GRAY = 1,
    SILVER = 2,
    WHITE = 3,
    MAROON = 4,
    RED = 5,
    OLIVE = 6,
    YELLOW = 7,
    GREEN = 8,
    LIME = 9,
    TEAL = 10,
    AQUA = 11,
    NAVY = 12,
    BLUE = 13,
    PURPLE = 14,
    FUCHSIA = 15,
};

/// Number of entries in PALETTE.
constexpr int PALETTE_SIZE = 16;

/// Red, green, blue and alpha (0-255) of each ColorName; all sixteen are opaque.
constexpr std::uint8_t PALETTE[PALETTE_SIZE][4] = {
    {0, 0, 0, 255},       // BLACK
    {128, 128, 128, 255}, // GRAY
    {192, 192, 192, 255}, // SILVER
    {255, 255, 255, 255}, // WHITE
    {128, 0, 0, 255},     // MAROON
    {255, 0, 0, 255},     // RED
    {128, 128, 0, 255},   // OLIVE
    {255, 255, 0, 255},   // YELLOW
    {0, 128, 0, 255},     // GREEN
    {0, 255, 0, 255},     // LIME
    {0, 128, 128, 255},   // TEAL
    {0, 255, 255, 255},   // AQUA
    {0, 0, 128, 255},     // NAVY
    {0, 0, 255, 255},     // BLUE
    {128, 0, 128, 255},   // PURPLE
    {255, 0, 255, 255},   // FUCHSIA
};

/// A colour made of red, green, blue and alpha channels, each 0-255.
/// Alpha 255 is opaque and 0 is fully transparent (nothing shows).
class Color {
public:
    /// Opaque black, so that a Color member or variable needs no starting value.
    constexpr Color() : r(0), g(0), b(0), a(255) {}

    /// A colour from its four channels, stored as given.
    constexpr Color(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha)
        : r(red), g(green), b(blue), a(alpha) {}

    /// A palette colour, for example Color(BLUE).
    /// Throws std::out_of_range when name is not between 0 and 15.
    constexpr explicit Color(ColorName name)
        : r(entry(name)[0]), g(entry(name)[1]), b(entry(name)[2]), a(entry(name)[3]) {}

    /// A palette name where a Color is expected: `Color c = RED;`.
    constexpr Color(PaletteName name) : Color(static_cast<ColorName>(name)) {}

    /// The palette colour called name; same as Color(name), and throws the same way.
    static constexpr Color fromName(ColorName name) { return Color(name); }
    /// An opaque colour from hue, saturation and value, as colour pickers
    /// give them: hue in degrees (0 red, 120 green, 240 blue; any value,
    /// wrapped into 0-360), saturation and value from 0 to 1 (clamped; not a
    /// number counts as 0). fromHSV(h, 1, 1) for h from 0 to 360 is a rainbow.
    static Color fromHSV(double hue, double saturation, double value);

    /// Red channel, 0-255.
    constexpr std::uint8_t getRed() const { return r; }
    /// Green channel, 0-255.
    constexpr std::uint8_t getGreen() const { return g; }
    /// Blue channel, 0-255.
    constexpr std::uint8_t getBlue() const { return b; }
    /// Alpha channel, 0 (invisible) to 255 (opaque).
    constexpr std::uint8_t getAlpha() const { return a; }

    /// Sets alpha from an opacity between 0.0 (invisible) and 1.0 (opaque):
    /// alpha becomes fraction * 255 rounded down, so only exactly 1.0 gives 255.
    /// A fraction below 0, above 1 or not a number leaves alpha unchanged.
    void setOpacity(float fraction);

private:
    static constexpr const std::uint8_t* entry(ColorName name) {
        return (name >= 0 && name < PALETTE_SIZE)
                   ? PALETTE[name]
                   : throw std::out_of_range("Color name must be between 0 and 15");
    }

    std::uint8_t r;
    std::uint8_t g;
    std::uint8_t b;
    std::uint8_t a;
};

/// True when all four channels are equal.
constexpr bool operator==(const Color& left, const Color& right) {
    return left.getRed() == right.getRed() && left.getGreen() == right.getGreen() &&
           left.getBlue() == right.getBlue() && left.getAlpha() == right.getAlpha();
}

/// True when any channel differs.
constexpr bool operator!=(const Color& left, const Color& right) { return !(left == right); }

/// Reads a colour as four whole numbers: red, green, blue, alpha.
/// Each channel keeps the low 8 bits of its number (256 becomes 0, -1 becomes 255).
/// When the stream fails early, the channels not read become 0; check the stream.
std::istream& operator>>(std::istream& in, Color& color);

/// Writes a colour as "(r, g, b, a)", which is handy in messages and test output.
std::ostream& operator<<(std::ostream& out, const Color& color);

#include "types/css_colors.h"

#endif
