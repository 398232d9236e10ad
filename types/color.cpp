#include "types/color.h"

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
