#include "types/color.h"

#include <cmath>
#include <istream>
#include <ostream>

void Color::setOpacity(float fraction) {
    const double wide = fraction;
    if (wide >= 0.0 && wide <= 1.0) {
        // The product is taken in single precision on purpose: 0.999f gives 254.
        const float scaled = fraction * 255.0f;
        a = static_cast<std::uint8_t>(static_cast<int>(scaled) & 0xFF);
    }
}

std::istream& operator>>(std::istream& in, Color& color) {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
    std::int32_t alpha = 0;
    in >> red >> green >> blue >> alpha;
    color = Color(static_cast<std::uint8_t>(red & 0xFF), static_cast<std::uint8_t>(green & 0xFF),
                  static_cast<std::uint8_t>(blue & 0xFF), static_cast<std::uint8_t>(alpha & 0xFF));
    return in;
}

std::ostream& operator<<(std::ostream& out, const Color& color) {
    return out << '(' << int(color.getRed()) << ", " << int(color.getGreen()) << ", "
               << int(color.getBlue()) << ", " << int(color.getAlpha()) << ')';
}

namespace {

// Within 0 to 1; not a number becomes 0.
double unit(double x) { return x > 0 ? (x < 1 ? x : 1) : 0; }

std::uint8_t channel(double x) { return static_cast<std::uint8_t>(std::lround(unit(x) * 255)); }

} // namespace

Color Color::fromHSV(double hue, double saturation, double value) {
    double h = std::isfinite(hue) ? std::fmod(hue, 360.0) : 0;
    if (h < 0) {
        h += 360;
    }
    const double s = unit(saturation);
    const double v = unit(value);
    // The six sectors of the hue circle, each 60 degrees wide.
    const double sector = h / 60;
    const double c = v * s;
    const double x = c * (1 - std::fabs(std::fmod(sector, 2.0) - 1));
    const double m = v - c;
    // In each sector one channel is at c, one at x and one at 0, in turn.
    static const int ORDER[6][3] = {{0, 1, 2}, {1, 0, 2}, {2, 0, 1},
                                    {2, 1, 0}, {1, 2, 0}, {0, 2, 1}};
    const double levels[3] = {c, x, 0};
    const int* order = ORDER[static_cast<int>(sector) % 6];
    const double r = levels[order[0]], g = levels[order[1]], b = levels[order[2]];
    return Color(channel(r + m), channel(g + m), channel(b + m), 255);
}
