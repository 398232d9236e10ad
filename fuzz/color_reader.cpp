// Fuzz target: reading a Color from arbitrary text, and building one from an
// arbitrary palette name or opacity.
//
// Input: byte 0 picks the stream's number base (decimal, hex, octal or
// automatic); the rest is the text the colour is read from. Whatever the text,
// the reader must not crash or read outside anything, every channel must be
// the low 8 bits of the integer read for it (0 when none was read), and the
// stream must be left as the four integer reads leave it.

#include "types/color.h"

#include <cstdint>
#include <cstring>
#include <ios>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>

#include "check.h"

namespace {

void setBase(std::istream& in, std::uint8_t selector) {
    switch (selector % 4) {
    case 0:
        in >> std::dec;
        break;
    case 1:
        in >> std::hex;
        break;
    case 2:
        in >> std::oct;
        break;
    default:
        in.unsetf(std::ios::basefield); // 0x.. hex, 0.. octal, else decimal
        break;
    }
}

void checkReader(const std::string& text, std::uint8_t base) {
    std::istringstream in(text);
    setBase(in, base);
    Color color(1, 2, 3, 4);
    Color next(5, 6, 7, 8);
    in >> color >> next; // extractions chain

    // The same four reads on a second stream give the expected channels.
    std::istringstream expected(text);
    setBase(expected, base);
    std::int32_t value[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    for (std::int32_t& v : value) {
        expected >> v; // once the stream has failed, v keeps its 0
    }
    FUZZ_CHECK(color.getRed() == static_cast<std::uint8_t>(value[0] & 0xFF));
    FUZZ_CHECK(color.getGreen() == static_cast<std::uint8_t>(value[1] & 0xFF));
    FUZZ_CHECK(color.getBlue() == static_cast<std::uint8_t>(value[2] & 0xFF));
    FUZZ_CHECK(color.getAlpha() == static_cast<std::uint8_t>(value[3] & 0xFF));
    FUZZ_CHECK(next.getRed() == static_cast<std::uint8_t>(value[4] & 0xFF));
    FUZZ_CHECK(next.getAlpha() == static_cast<std::uint8_t>(value[7] & 0xFF));
    FUZZ_CHECK(in.rdstate() == expected.rdstate());
}

void checkName(const std::uint8_t* data, std::size_t size) {
    std::int32_t name = 0;
    std::memcpy(&name, data, size < sizeof name ? size : sizeof name);
    for (ColorName candidate : {name, name % 32, name % 17}) {
        const bool inTable = candidate >= 0 && candidate < PALETTE_SIZE;
        try {
            const Color made(candidate);
            FUZZ_CHECK(inTable);
            FUZZ_CHECK(made == Color::fromName(candidate));
            FUZZ_CHECK(made.getRed() == PALETTE[candidate][0]);
            FUZZ_CHECK(made.getAlpha() == 255);
        } catch (const std::out_of_range&) {
            FUZZ_CHECK(!inTable);
        }
    }
}

void checkOpacity(const std::uint8_t* data, std::size_t size) {
    float fraction = 0;
    std::memcpy(&fraction, data, size < sizeof fraction ? size : sizeof fraction);
    Color color(10, 20, 30, 40);
    color.setOpacity(fraction);
    FUZZ_CHECK(color.getRed() == 10 && color.getGreen() == 20 && color.getBlue() == 30);
    if (!(fraction >= 0.0f && fraction <= 1.0f)) {
        FUZZ_CHECK(color.getAlpha() == 40);
    } else {
        FUZZ_CHECK(color.getAlpha() == static_cast<std::uint8_t>(fraction * 255.0f));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    checkReader(text, data[0]);
    checkName(data, size);
    checkOpacity(data + 1, size - 1);
    return 0;
}
