// Shapes with straight edges: pixels, lines, rectangles, triangles,
// polygons and thick lines. Every shape hands its geometry and colour
// straight to SDL2_gfx; the colour travels with each call, so no drawing call
// changes the foreground colour or relies on the renderer's draw colour.
// Where SDL2_gfx 1.0.4 leaves out a pixel it promises or draws a degenerate
// case oddly, the canvas mends that here. A shape that reaches beyond
// SDL2_gfx's 16-bit coordinates is cut to the target first (shapes_clip.cpp).
// Shapes with round edges are in shapes_round.cpp.

#include "canvas/canvas.h"

#include "canvas/shapes_clip.h"
#include "canvas/state.h"

#include <SDL2_gfxPrimitives.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using vantrel::detail::fillCovers;
using vantrel::detail::fillPolygon;
using vantrel::detail::Ink;
using vantrel::detail::inReach;

// SDL2_gfx takes 16-bit coordinates; every value given here is within reach.
Sint16 s16(int value) { return static_cast<Sint16>(value); }

// A corner computed in floating point, cut towards zero and wrapped to 16
// bits as SDL2_gfx does (its offsets are at most 128 pixels, so the value
// always fits a long first).
Sint16 truncate(double value) { return static_cast<Sint16>(static_cast<long>(value)); }

// Polygon corners, moved left and up by the camera, and as SDL2_gfx takes
// them. The buffers only ever grow, so after the first frame drawing a
// polygon allocates nothing. The canvas is used from the main thread only.
std::vector<SDL_Point> corners;
std::vector<Sint16> cornerXs;
std::vector<Sint16> cornerYs;

// Draws the polygon through the first n corners, its outline or filled: as
// SDL2_gfx does when every corner is within reach, else cut to the target.
void drawCorners(SDL_Renderer* renderer, int n, bool filled, const Ink& ink) {
    bool near = true;
    for (int i = 0; i < n; ++i) {
        near = near && inReach(corners[i].x) && inReach(corners[i].y);
    }
    if (!near) {
        vantrel::detail::drawFarPolygon(renderer, corners, n, filled, ink);
        return;
    }
    if (cornerXs.size() < static_cast<std::size_t>(n)) {
        cornerXs.resize(n);
        cornerYs.resize(n);
    }
    for (int i = 0; i < n; ++i) {
        cornerXs[i] = s16(corners[i].x);
        cornerYs[i] = s16(corners[i].y);
    }
    if (filled) {
        fillPolygon(renderer, cornerXs.data(), cornerYs.data(), n, ink.r, ink.g, ink.b, ink.a);
    } else if (n >= 3) {
        polygonRGBA(renderer, cornerXs.data(), cornerYs.data(), n, ink.r, ink.g, ink.b, ink.a);
    }
}

// Fills the corner buffer from points, moved left by dx and up by dy (the
// camera); returns how many corners there are.
int takeCorners(const std::vector<SDL_Point>& points, int dx, int dy) {
    const std::size_t n = std::min<std::size_t>(points.size(), INT_MAX);
    if (corners.size() < n) {
        corners.resize(n);
    }
    for (std::size_t i = 0; i < n; ++i) {
        corners[i] = SDL_Point{vantrel::detail::shiftedBy(points[i].x, dx),
                               vantrel::detail::shiftedBy(points[i].y, dy)};
    }
    return static_cast<int>(n);
}

int takeCorners(const std::vector<int>& xs, const std::vector<int>& ys, int dx, int dy) {
    const std::size_t n = std::min<std::size_t>({xs.size(), ys.size(), INT_MAX});
    if (corners.size() < n) {
        corners.resize(n);
    }
    for (std::size_t i = 0; i < n; ++i) {
        corners[i] =
            SDL_Point{vantrel::detail::shiftedBy(xs[i], dx), vantrel::detail::shiftedBy(ys[i], dy)};
    }
    return static_cast<int>(n);
}

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

// ---- Filled rectangle -------------------------------------------------------

void Canvas::drawFilledRectangle(int x1, int y1, int x2, int y2) {
    drawFilledRectangle(x1, y1, x2, y2, foreground);
}

void Canvas::drawFilledRectangle(int x1, int y1, int x2, int y2, const Color& color) {
    drawFilledRectangle(x1, y1, x2, y2, color.getRed(), color.getGreen(), color.getBlue(),
                        color.getAlpha());
}

void Canvas::drawFilledRectangle(int x1, int y1, int x2, int y2, std::uint8_t r, std::uint8_t g,
                                 std::uint8_t b, std::uint8_t a) {
    x1 = viewX(x1), y1 = viewY(y1), x2 = viewX(x2), y2 = viewY(y2);
    if (!inReach(x1, y1, x2, y2) &&
        !vantrel::detail::clipRectangle(x1, y1, x2, y2, vantrel::detail::targetBox(renderer, 1))) {
        return;
    }
    // SDL2_gfx's box already includes both corners in either order.
    boxRGBA(renderer, s16(x1), s16(y1), s16(x2), s16(y2), r, g, b, a);
}

// ---- Triangles --------------------------------------------------------------

void Canvas::drawTriangle(int x1, int y1, int x2, int y2, int x3, int y3) {
    drawTriangle(x1, y1, x2, y2, x3, y3, foreground);
}

void Canvas::drawTriangle(int x1, int y1, int x2, int y2, int x3, int y3, const Color& color) {
    drawTriangle(x1, y1, x2, y2, x3, y3, color.getRed(), color.getGreen(), color.getBlue(),
                 color.getAlpha());
}

void Canvas::drawTriangle(int x1, int y1, int x2, int y2, int x3, int y3, std::uint8_t r,
                          std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    x1 = viewX(x1), y1 = viewY(y1), x2 = viewX(x2), y2 = viewY(y2), x3 = viewX(x3), y3 = viewY(y3);
    if (!inReach(x1, y1, x2, y2) || !inReach(x3) || !inReach(y3)) {
        corners.resize(std::max<std::size_t>(corners.size(), 3));
        corners[0] = {x1, y1}, corners[1] = {x2, y2}, corners[2] = {x3, y3};
        drawCorners(renderer, 3, false, {r, g, b, a});
        return;
    }
    trigonRGBA(renderer, s16(x1), s16(y1), s16(x2), s16(y2), s16(x3), s16(y3), r, g, b, a);
}

void Canvas::drawFilledTriangle(int x1, int y1, int x2, int y2, int x3, int y3) {
    drawFilledTriangle(x1, y1, x2, y2, x3, y3, foreground);
}

void Canvas::drawFilledTriangle(int x1, int y1, int x2, int y2, int x3, int y3,
                                const Color& color) {
    drawFilledTriangle(x1, y1, x2, y2, x3, y3, color.getRed(), color.getGreen(), color.getBlue(),
                       color.getAlpha());
}

void Canvas::drawFilledTriangle(int x1, int y1, int x2, int y2, int x3, int y3, std::uint8_t r,
                                std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    x1 = viewX(x1), y1 = viewY(y1), x2 = viewX(x2), y2 = viewY(y2), x3 = viewX(x3), y3 = viewY(y3);
    corners.resize(std::max<std::size_t>(corners.size(), 3));
    corners[0] = {x1, y1}, corners[1] = {x2, y2}, corners[2] = {x3, y3};
    drawCorners(renderer, 3, true, {r, g, b, a});
}

// ---- Polygons ---------------------------------------------------------------

void Canvas::drawPolygon(const std::vector<SDL_Point>& points) { drawPolygon(points, foreground); }

void Canvas::drawPolygon(const std::vector<SDL_Point>& points, const Color& color) {
    drawPolygon(points, color.getRed(), color.getGreen(), color.getBlue(), color.getAlpha());
}

void Canvas::drawPolygon(const std::vector<SDL_Point>& points, std::uint8_t r, std::uint8_t g,
                         std::uint8_t b, std::uint8_t a) {
    drawCorners(renderer, takeCorners(points, state->view.x, state->view.y), false, {r, g, b, a});
}

void Canvas::drawPolygon(const std::vector<int>& xs, const std::vector<int>& ys) {
    drawPolygon(xs, ys, foreground);
}

void Canvas::drawPolygon(const std::vector<int>& xs, const std::vector<int>& ys,
                         const Color& color) {
    drawPolygon(xs, ys, color.getRed(), color.getGreen(), color.getBlue(), color.getAlpha());
}

void Canvas::drawPolygon(const std::vector<int>& xs, const std::vector<int>& ys, std::uint8_t r,
                         std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    drawCorners(renderer, takeCorners(xs, ys, state->view.x, state->view.y), false, {r, g, b, a});
}

void Canvas::drawFilledPolygon(const std::vector<SDL_Point>& points) {
    drawFilledPolygon(points, foreground);
}

void Canvas::drawFilledPolygon(const std::vector<SDL_Point>& points, const Color& color) {
    drawFilledPolygon(points, color.getRed(), color.getGreen(), color.getBlue(), color.getAlpha());
}

void Canvas::drawFilledPolygon(const std::vector<SDL_Point>& points, std::uint8_t r, std::uint8_t g,
                               std::uint8_t b, std::uint8_t a) {
    drawCorners(renderer, takeCorners(points, state->view.x, state->view.y), true, {r, g, b, a});
}

void Canvas::drawFilledPolygon(const std::vector<int>& xs, const std::vector<int>& ys) {
    drawFilledPolygon(xs, ys, foreground);
}

void Canvas::drawFilledPolygon(const std::vector<int>& xs, const std::vector<int>& ys,
                               const Color& color) {
    drawFilledPolygon(xs, ys, color.getRed(), color.getGreen(), color.getBlue(), color.getAlpha());
}

void Canvas::drawFilledPolygon(const std::vector<int>& xs, const std::vector<int>& ys,
                               std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    drawCorners(renderer, takeCorners(xs, ys, state->view.x, state->view.y), true, {r, g, b, a});
}

// ---- Thick line -------------------------------------------------------------

void Canvas::drawThickLine(int x1, int y1, int x2, int y2, int width) {
    drawThickLine(x1, y1, x2, y2, width, foreground);
}

void Canvas::drawThickLine(int x1, int y1, int x2, int y2, int width, const Color& color) {
    drawThickLine(x1, y1, x2, y2, width, color.getRed(), color.getGreen(), color.getBlue(),
                  color.getAlpha());
}

void Canvas::drawThickLine(int x1, int y1, int x2, int y2, int width, std::uint8_t r,
                           std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    x1 = viewX(x1), y1 = viewY(y1), x2 = viewX(x2), y2 = viewY(y2);
    if (width <= 0) {
        return;
    }
    // A far line is cut well beyond the target, where its cut ends and the
    // band around them are out of sight.
    if (!inReach(x1, y1, x2, y2) &&
        !vantrel::detail::clipLine(x1, y1, x2, y2,
                                   vantrel::detail::targetBox(renderer, vantrel::detail::MARGIN))) {
        return;
    }
    // SDL2_gfx takes the width as one byte.
    const Uint8 thickness = static_cast<Uint8>(std::min(width, 255));
    const Sint16 ax = s16(x1), ay = s16(y1), bx = s16(x2), by = s16(y2);
    if (ax == bx && ay == by) {
        // SDL2_gfx draws a thick point as a box reaching width + width / 2
        // pixels to one side; the canvas draws the width x width square that
        // a line through the point would cross, so a line shrinking to a
        // point keeps its place and its width.
        const int near = thickness / 2;
        boxRGBA(renderer, s16(ax - near), s16(ay - near), s16(ax - near + thickness - 1),
                s16(ay - near + thickness - 1), r, g, b, a);
        return;
    }
    if (thickness == 1) {
        lineRGBA(renderer, ax, ay, bx, by, r, g, b, a);
        return;
    }
    // The band SDL2_gfx's thickLineRGBA fills, with the same corners. Its
    // ends are cut across the line through the two points, and its fill
    // leaves out about half the pixels on that cut, so a slanted line often
    // misses one of its own end points. The canvas fills the same band and
    // adds an end point the fill left out (only then, so translucent ink is
    // not laid twice).
    const double dx = bx - ax, dy = by - ay;
    const double length = std::sqrt(dx * dx + dy * dy);
    const double slant = 0.1 + 0.9 * std::fabs(std::cos(2.0 * std::atan2(dx, dy)));
    const double half = (thickness - slant) / (2.0 * length);
    const double nx = dx * half, ny = dy * half;
    const Sint16 xs[4] = {truncate(ax + ny), truncate(ax - ny), truncate(bx - ny),
                          truncate(bx + ny)};
    const Sint16 ys[4] = {truncate(ay - nx), truncate(ay + nx), truncate(by + nx),
                          truncate(by - nx)};
    filledPolygonRGBA(renderer, xs, ys, 4, r, g, b, a);
    if (!fillCovers(xs, ys, 4, ax, ay)) {
        pixelRGBA(renderer, ax, ay, r, g, b, a);
    }
    if (!fillCovers(xs, ys, 4, bx, by)) {
        pixelRGBA(renderer, bx, by, r, g, b, a);
    }
}
