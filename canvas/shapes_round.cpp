// Shapes with round edges: rounded boxes, circles, discs, ellipses, arcs and
// pies. Like the straight ones (shapes_straight.cpp) they hand geometry and
// colour straight to SDL2_gfx and mend what SDL2_gfx 1.0.4 leaves out. A
// shape that reaches beyond SDL2_gfx's 16-bit coordinates is traced and cut
// to the target first (shapes_far.cpp, shapes_clip.cpp).

#include "canvas/canvas.h"

#include "canvas/shapes_clip.h"
#include "canvas/state.h"

#include <SDL2_gfxPrimitives.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

using vantrel::detail::inReach;
using vantrel::detail::roundInReach;

// SDL2_gfx takes 16-bit coordinates; every value given here is within reach.
Sint16 s16(int value) { return static_cast<Sint16>(value); }

// An arc or pie span reduced to what SDL2_gfx takes: both angles within one
// turn, 0-359 (it goes clockwise from start to end, past 0 when end is the
// smaller), or whole when the span covers a full turn or more.
struct Span {
    int start;
    int end;
    bool whole;
};

Span spanOf(int startDegrees, int endDegrees) {
    const long long span = static_cast<long long>(endDegrees) - startDegrees;
    return Span{(startDegrees % 360 + 360) % 360, (endDegrees % 360 + 360) % 360, span >= 360};
}

// SDL2_gfx 1.0.4 leaves out an arc's first pixel when the arc starts exactly
// on an axis (start 0, 90, 180 or 270 degrees, reduced to 0-359). That pixel is where the axis
// crosses the circle, so the canvas puts it back.
void drawAxisStart(SDL_Renderer* renderer, int x, int y, int radius, int start, Uint8 r, Uint8 g,
                   Uint8 b, Uint8 a) {
    if (radius <= 0 || start % 90 != 0) {
        return;
    }
    static const int STEP_X[4] = {1, 0, -1, 0};
    static const int STEP_Y[4] = {0, 1, 0, -1};
    pixelRGBA(renderer, s16(x + STEP_X[start / 90] * radius), s16(y + STEP_Y[start / 90] * radius),
              r, g, b, a);
}

} // namespace

// ---- Rounded box ------------------------------------------------------------

void Canvas::drawRoundedBox(int x1, int y1, int x2, int y2, int radius) {
    drawRoundedBox(x1, y1, x2, y2, radius, foreground);
}

void Canvas::drawRoundedBox(int x1, int y1, int x2, int y2, int radius, const Color& color) {
    drawRoundedBox(x1, y1, x2, y2, radius, color.getRed(), color.getGreen(), color.getBlue(),
                   color.getAlpha());
}

void Canvas::drawRoundedBox(int x1, int y1, int x2, int y2, int radius, std::uint8_t r,
                            std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    if (radius < 0) {
        drawFilledRectangle(x1, y1, x2, y2, r, g, b, a);
        return;
    }
    x1 = viewX(x1), y1 = viewY(y1), x2 = viewX(x2), y2 = viewY(y2);
    if (!inReach(x1, y1, x2, y2)) {
        vantrel::detail::drawFarRoundedBox(renderer, std::min(x1, x2), std::min(y1, y2),
                                           std::max(x1, x2), std::max(y1, y2), radius,
                                           {r, g, b, a});
        return;
    }
    // A radius beyond reach is more than half of any side, which is all
    // SDL2_gfx draws of it.
    roundedBoxRGBA(renderer, s16(x1), s16(y1), s16(x2), s16(y2),
                   s16(std::min(radius, vantrel::detail::REACH)), r, g, b, a);
}

// ---- Circle outline ---------------------------------------------------------

void Canvas::drawCircle(int x, int y, int radius) { drawCircle(x, y, radius, foreground); }

void Canvas::drawCircle(int x, int y, int radius, const Color& color) {
    drawCircle(x, y, radius, color.getRed(), color.getGreen(), color.getBlue(), color.getAlpha());
}

void Canvas::drawCircle(int x, int y, int radius, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                        std::uint8_t a) {
    x = viewX(x), y = viewY(y);
    if (radius < 0) {
        return;
    }
    if (!inReach(x - 1LL * radius, y - 1LL * radius, x + 1LL * radius, y + 1LL * radius)) {
        vantrel::detail::drawFarEllipse(renderer, x, y, radius, radius, false, {r, g, b, a});
        return;
    }
    circleRGBA(renderer, s16(x), s16(y), s16(radius), r, g, b, a);
}

// ---- Filled disc ------------------------------------------------------------

void Canvas::drawFilledCircle(int x, int y, int radius) {
    drawFilledCircle(x, y, radius, foreground);
}

void Canvas::drawFilledCircle(int x, int y, int radius, const Color& color) {
    drawFilledCircle(x, y, radius, color.getRed(), color.getGreen(), color.getBlue(),
                     color.getAlpha());
}

void Canvas::drawFilledCircle(int x, int y, int radius, std::uint8_t r, std::uint8_t g,
                              std::uint8_t b, std::uint8_t a) {
    x = viewX(x), y = viewY(y);
    if (radius < 0) {
        return;
    }
    if (!inReach(x - 1LL * radius, y - 1LL * radius, x + 1LL * radius, y + 1LL * radius)) {
        vantrel::detail::drawFarEllipse(renderer, x, y, radius, radius, true, {r, g, b, a});
        return;
    }
    filledCircleRGBA(renderer, s16(x), s16(y), s16(radius), r, g, b, a);
}
// ---- Ellipses ---------------------------------------------------------------

void Canvas::drawEllipse(int x, int y, int radiusX, int radiusY) {
    drawEllipse(x, y, radiusX, radiusY, foreground);
}

void Canvas::drawEllipse(int x, int y, int radiusX, int radiusY, const Color& color) {
    drawEllipse(x, y, radiusX, radiusY, color.getRed(), color.getGreen(), color.getBlue(),
                color.getAlpha());
}

void Canvas::drawEllipse(int x, int y, int radiusX, int radiusY, std::uint8_t r, std::uint8_t g,
                         std::uint8_t b, std::uint8_t a) {
    x = viewX(x), y = viewY(y);
    if (!roundInReach(x, y, radiusX, radiusY)) {
        vantrel::detail::drawFarEllipse(renderer, x, y, radiusX, radiusY, false, {r, g, b, a});
        return;
    }
    ellipseRGBA(renderer, s16(x), s16(y), s16(radiusX), s16(radiusY), r, g, b, a);
}

void Canvas::drawFilledEllipse(int x, int y, int radiusX, int radiusY) {
    drawFilledEllipse(x, y, radiusX, radiusY, foreground);
}

void Canvas::drawFilledEllipse(int x, int y, int radiusX, int radiusY, const Color& color) {
    drawFilledEllipse(x, y, radiusX, radiusY, color.getRed(), color.getGreen(), color.getBlue(),
                      color.getAlpha());
}

void Canvas::drawFilledEllipse(int x, int y, int radiusX, int radiusY, std::uint8_t r,
                               std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    x = viewX(x), y = viewY(y);
    if (!roundInReach(x, y, radiusX, radiusY)) {
        vantrel::detail::drawFarEllipse(renderer, x, y, radiusX, radiusY, true, {r, g, b, a});
        return;
    }
    filledEllipseRGBA(renderer, s16(x), s16(y), s16(radiusX), s16(radiusY), r, g, b, a);
}

// ---- Arc and pie ------------------------------------------------------------

void Canvas::drawArc(int x, int y, int radius, int startDegrees, int endDegrees) {
    drawArc(x, y, radius, startDegrees, endDegrees, foreground);
}

void Canvas::drawArc(int x, int y, int radius, int startDegrees, int endDegrees,
                     const Color& color) {
    drawArc(x, y, radius, startDegrees, endDegrees, color.getRed(), color.getGreen(),
            color.getBlue(), color.getAlpha());
}

void Canvas::drawArc(int x, int y, int radius, int startDegrees, int endDegrees, std::uint8_t r,
                     std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    x = viewX(x), y = viewY(y);
    const Span span = spanOf(startDegrees, endDegrees);
    if (!roundInReach(x, y, radius, radius)) {
        if (span.whole) {
            vantrel::detail::drawFarEllipse(renderer, x, y, radius, radius, false, {r, g, b, a});
        } else if (span.start != span.end) {
            vantrel::detail::drawFarArc(renderer, x, y, radius, span.start, span.end, false,
                                        {r, g, b, a});
        }
        return;
    }
    if (span.whole) {
        // SDL2_gfx reads a full turn as an empty one.
        circleRGBA(renderer, s16(x), s16(y), s16(radius), r, g, b, a);
        return;
    }
    if (span.start == span.end) {
        return;
    }
    arcRGBA(renderer, s16(x), s16(y), s16(radius), s16(span.start), s16(span.end), r, g, b, a);
    drawAxisStart(renderer, s16(x), s16(y), s16(radius), span.start, r, g, b, a);
}

void Canvas::drawFilledPie(int x, int y, int radius, int startDegrees, int endDegrees) {
    drawFilledPie(x, y, radius, startDegrees, endDegrees, foreground);
}

void Canvas::drawFilledPie(int x, int y, int radius, int startDegrees, int endDegrees,
                           const Color& color) {
    drawFilledPie(x, y, radius, startDegrees, endDegrees, color.getRed(), color.getGreen(),
                  color.getBlue(), color.getAlpha());
}

void Canvas::drawFilledPie(int x, int y, int radius, int startDegrees, int endDegrees,
                           std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    x = viewX(x), y = viewY(y);
    const Span span = spanOf(startDegrees, endDegrees);
    if (!roundInReach(x, y, radius, radius)) {
        if (span.whole) {
            vantrel::detail::drawFarEllipse(renderer, x, y, radius, radius, true, {r, g, b, a});
        } else {
            vantrel::detail::drawFarArc(renderer, x, y, radius, span.start, span.end, true,
                                        {r, g, b, a});
        }
        return;
    }
    if (span.whole) {
        // SDL2_gfx reads a full turn as an empty one and draws only a radius.
        filledCircleRGBA(renderer, s16(x), s16(y), s16(radius), r, g, b, a);
        return;
    }
    filledPieRGBA(renderer, s16(x), s16(y), s16(radius), s16(span.start), s16(span.end), r, g, b,
                  a);
}
