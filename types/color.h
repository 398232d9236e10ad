#ifndef VANTREL_TYPES_COLOR_H
#define VANTREL_TYPES_COLOR_H

#include <cstdint>
#include <iosfwd>
#include <stdexcept>

/// Index of a colour in PALETTE: a whole number from 0 (BLACK) to 15 (FUCHSIA).
typedef int ColorName;

/// The sixteen named colours, in palette order: four greys from dark to
/// light, then dark/bright pairs by hue.
constexpr ColorName BLACK = 0;
constexpr ColorName GRAY = 1;
constexpr ColorName SILVER = 2;
constexpr ColorName WHITE = 3;
constexpr ColorName MAROON = 4;
constexpr ColorName RED = 5;
constexpr ColorName OLIVE = 6;
constexpr ColorName YELLOW = 7;
constexpr ColorName GREEN = 8;
constexpr ColorName LIME = 9;
constexpr ColorName TEAL = 10;
constexpr ColorName AQUA = 11;
constexpr ColorName NAVY = 12;
constexpr ColorName BLUE = 13;
constexpr ColorName PURPLE = 14;
constexpr ColorName FUCHSIA = 15;

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
    /// A colour from its four channels, stored as given.
    constexpr Color(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha)
        : r(red), g(green), b(blue), a(alpha) {}

    /// A palette colour, for example Color(BLUE).
    /// Throws std::out_of_range when name is not between 0 and 15.
    constexpr explicit Color(ColorName name)
        : r(entry(name)[0]), g(entry(name)[1]), b(entry(name)[2]), a(entry(name)[3]) {}

    /// The palette colour called name; same as Color(name), and throws the same way.
    static constexpr Color fromName(ColorName name) { return Color(name); }

    constexpr std::uint8_t getRed() const { return r; }
    constexpr std::uint8_t getGreen() const { return g; }
    constexpr std::uint8_t getBlue() const { return b; }
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

constexpr bool operator==(const Color& left, const Color& right) {
    return left.getRed() == right.getRed() && left.getGreen() == right.getGreen() &&
           left.getBlue() == right.getBlue() && left.getAlpha() == right.getAlpha();
}

constexpr bool operator!=(const Color& left, const Color& right) { return !(left == right); }

/// Reads a colour as four whole numbers: red, green, blue, alpha.
/// Each channel keeps the low 8 bits of its number (256 becomes 0, -1 becomes 255).
/// When the stream fails early, the channels not read become 0; check the stream.
std::istream& operator>>(std::istream& in, Color& color);

/// Writes a colour as "(r, g, b, a)", which is handy in messages and test output.
std::ostream& operator<<(std::ostream& out, const Color& color);

#endif
