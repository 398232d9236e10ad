// The six basic shape families. Shapes hand their geometry and colour straight
// to SDL2_gfx; the colour travels with each call, so no drawing call changes
// the foreground colour or relies on the renderer's draw colour. A shape that
// reaches beyond SDL2_gfx's 16-bit coordinates is cut to the target first
// (clip.cpp). The further families are in shapes.cpp, text in text.cpp.

#include "canvas/canvas.h"

#include "canvas/clip.h"
#include "canvas/state.h"

#include <SDL2_gfxPrimitives.h>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

using vantrel::detail::inReach;

// SDL2_gfx takes 16-bit coordinates; every value given here is within reach.
Sint16 s16(int value) { return static_cast<Sint16>(value); }

// One past a rectangle's far edge for SDL2_gfx's outline, which stops one
// pixel short; at the top of the 16-bit range the edge is far off-screen
// anyway and stays where it is.
Sint16 farEdge(Sint16 edge) { return edge < INT16_MAX ? static_cast<Sint16>(edge + 1) : edge; }

} // namespace

// ---- Pixel ------------------------------------------------------------------

void Canvas::drawPixel(int x, int y) { drawPixel(x, y, foreground); }

void Canvas::drawPixel(int x, int y, const Color& color) {
    drawPixel(x, y, color.getRed(), color.getGreen(), color.getBlue(), color.getAlpha());
}

void Canvas::drawPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                       std::uint8_t a) {
    x = viewX(x), y = viewY(y);
    if (inReach(x) && inReach(y)) { // further out is far off the target
        pixelRGBA(renderer, s16(x), s16(y), r, g, b, a);
    }
}

// ---- Line -------------------------------------------------------------------

void Canvas::drawLine(int x1, int y1, int x2, int y2) { drawLine(x1, y1, x2, y2, foreground); }

void Canvas::drawLine(int x1, int y1, int x2, int y2, const Color& color) {
    drawLine(x1, y1, x2, y2, color.getRed(), color.getGreen(), color.getBlue(), color.getAlpha());
}

void Canvas::drawLine(int x1, int y1, int x2, int y2, std::uint8_t r, std::uint8_t g,
                      std::uint8_t b, std::uint8_t a) {
    x1 = viewX(x1), y1 = viewY(y1), x2 = viewX(x2), y2 = viewY(y2);
    if (!inReach(x1, y1, x2, y2) &&
        !vantrel::detail::clipLine(x1, y1, x2, y2,
                                   vantrel::detail::targetBox(renderer, vantrel::detail::MARGIN))) {
        return;
    }
    lineRGBA(renderer, s16(x1), s16(y1), s16(x2), s16(y2), r, g, b, a);
}

// ---- Rectangle outline ------------------------------------------------------

void Canvas::drawRectangle(int x1, int y1, int x2, int y2) {
    drawRectangle(x1, y1, x2, y2, foreground);
}

void Canvas::drawRectangle(int x1, int y1, int x2, int y2, const Color& color) {
    drawRectangle(x1, y1, x2, y2, color.getRed(), color.getGreen(), color.getBlue(),
                  color.getAlpha());
}

void Canvas::drawRectangle(int x1, int y1, int x2, int y2, std::uint8_t r, std::uint8_t g,
                           std::uint8_t b, std::uint8_t a) {
    // SDL2_gfx (1.0.4) outlines a rectangle one pixel short of its far corner:
    // it passes x2 - x1 and y2 - y1 as the width and height, so the right and
    // bottom edges land one pixel inside. Moving the far corner out by one
    // makes both corners part of the outline, as they are for lines and boxes.
    // A zero-width or zero-height rectangle is a line, which the library
    // already draws with both ends, so it is left alone. A far rectangle is
    // cut to a box two pixels wider than the target all round: the edges
    // moved onto it are out of sight.
    x1 = viewX(x1), y1 = viewY(y1), x2 = viewX(x2), y2 = viewY(y2);
    if (!inReach(x1, y1, x2, y2) &&
        !vantrel::detail::clipRectangle(x1, y1, x2, y2, vantrel::detail::targetBox(renderer, 2))) {
        return;
    }
    Sint16 left = s16(x1), right = s16(x2), top = s16(y1), bottom = s16(y2);
    if (left > right) {
        std::swap(left, right);
    }
    if (top > bottom) {
        std::swap(top, bottom);
    }
    if (left != right && top != bottom) {
        right = farEdge(right);
        bottom = farEdge(bottom);
    }
    rectangleRGBA(renderer, left, top, right, bottom, r, g, b, a);
}

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
