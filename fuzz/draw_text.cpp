// Fuzz target: the canvas's text operations (drawing at a corner, centred
// and right-aligned, and measuring) with arbitrary bytes (embedded NULs,
// bytes above 127, valid and broken UTF-8, control characters, long runs),
// arbitrary positions, colours and font ids, on a headless canvas.
//
// Input layout: byte 0 picks the operation and the font id, bytes 1-4 the
// position (two little-endian 16-bit values), bytes 5-8 the colour; the rest
// is the text. Shorter inputs are all text, drawn in the default font.
//
// Every call must return (or, for a font id that names no open font, throw
// std::out_of_range and nothing else) without a crash or sanitizer report;
// empty text draws nothing, reports false and measures 0 x 0; a width is 0
// exactly when the height is.

#include "canvas/canvas.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "check.h"

namespace {

FontId smallFont = -1;

// Font ids tried: the two open fonts, and ids that name none.
const FontId FONT_IDS[] = {1, 2, 1, 2, 0, -1, 3, INT_MIN, INT_MAX, -2};
constexpr int FONT_ID_COUNT = sizeof FONT_IDS / sizeof FONT_IDS[0];
// Operations tried: the three drawText forms, then measuring, centring and
// right-aligning in a given font.
constexpr int FORMS = 6;

std::int16_t read16(const std::uint8_t* bytes) {
    return static_cast<std::int16_t>(bytes[0] | (bytes[1] << 8));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    (void)argc;
    (void)argv;
    // Headless unless the caller chose otherwise.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("SDL_RENDER_DRIVER", "software", 0);
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 640, 480);
    canvas.setForegroundColor(Color(BLACK));
    // A second, small font keeps most renderings quick.
    smallFont = canvas.loadFont(DEFAULT_FONT, 10);
    if (smallFont != 2) {
        std::fprintf(stderr, "cannot open %s at size 10\n", DEFAULT_FONT.c_str());
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Canvas& canvas = Canvas::getInstance();
    int form = 2;
    FontId font = smallFont;
    int x = 10;
    int y = 10;
    Color color(0, 0, 255, 255);
    std::size_t skip = 0;
    if (size >= 9) {
        form = data[0] % FORMS;
        font = FONT_IDS[(data[0] / FORMS) % FONT_ID_COUNT];
        x = read16(data + 1) % 700;
        y = read16(data + 3) % 500;
        color = Color(data[5], data[6], data[7], data[8]);
        skip = 9;
    }
    const std::string text(reinterpret_cast<const char*>(data + skip), size - skip);
    // The font renderer reads the text up to its first NUL.
    const bool empty = text.c_str()[0] == '\0';

    canvas.clear();
    switch (form) {
    case 0:
        canvas.drawText(x, y, text); // foreground colour, default font
        break;
    case 1:
        canvas.drawText(x, y, text, color); // default font
        break;
    case 2: {
        const bool opens = font >= 1 && font <= smallFont;
        try {
            const bool drawn = canvas.drawText(x, y, text, color, font);
            FUZZ_CHECK(opens);
            if (empty) {
                FUZZ_CHECK(!drawn);
            }
        } catch (const std::out_of_range&) {
            FUZZ_CHECK(!opens);
        }
        break;
    }
    case 3: {
        const bool opens = font >= 1 && font <= smallFont;
        try {
            const int width = canvas.getTextWidth(text, font);
            const int height = canvas.getTextHeight(text, font);
            FUZZ_CHECK(opens);
            FUZZ_CHECK(width >= 0 && height >= 0);
            FUZZ_CHECK((width == 0) == (height == 0));
            if (empty) {
                FUZZ_CHECK(width == 0);
            }
        } catch (const std::out_of_range&) {
            FUZZ_CHECK(!opens);
        }
        break;
    }
    default: {
        const bool opens = font >= 1 && font <= smallFont;
        try {
            const bool drawn = form == 4 ? canvas.drawTextCentered(x, y, text, color, font)
                                         : canvas.drawTextRight(x, y, text, color, font);
            FUZZ_CHECK(opens);
            if (empty) {
                FUZZ_CHECK(!drawn);
            }
        } catch (const std::out_of_range&) {
            FUZZ_CHECK(!opens);
        }
        break;
    }
    }
    canvas.update();
    return 0;
}
