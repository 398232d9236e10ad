#ifndef VANTREL_TESTS_SHAPE_FAMILIES_H
#define VANTREL_TESTS_SHAPE_FAMILIES_H

// Every family of SDL2_gfx primitive the canvas draws with, each drawn over
// a 640 x 480 frame in one colour, over the cases that have gone wrong
// somewhere: both full diagonals, every slope, lines of one pixel, discs and
// circles of every small radius, the corners of rectangles, rounded boxes,
// thick lines, polygons (a flat one too), ellipses, arcs and pies. The
// renderer pixel tests and the benchmark of SDL's ways of drawing lines
// draw these.

#include <SDL.h>
#include <SDL2_gfxPrimitives.h>

#include <functional>
#include <utility>
#include <vector>

namespace shape_families {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;

struct Ink {
    Uint8 r, g, b, a;
};
constexpr Ink OPAQUE = {200, 60, 30, 255};
constexpr Ink SEE_THROUGH = {30, 90, 220, 128};

using Family = std::function<void(SDL_Renderer*, const Ink&)>;

inline const std::vector<std::pair<const char*, Family>>& families() {
    static const std::vector<std::pair<const char*, Family>> list = {
        {"diagonals",
         [](SDL_Renderer* r, const Ink& c) {
             lineRGBA(r, 0, 0, WIDTH - 1, HEIGHT - 1, c.r, c.g, c.b, c.a);
             lineRGBA(r, WIDTH - 1, 0, 0, HEIGHT - 1, c.r, c.g, c.b, c.a);
         }},
        {"lines of every slope",
         [](SDL_Renderer* r, const Ink& c) {
             for (int i = 0; i < 72; ++i) {
                 const int dx = (i % 9) * 13 - 52, dy = (i / 9) * 15 - 52;
                 const Sint16 x = static_cast<Sint16>(60 + (i % 9) * 65);
                 const Sint16 y = static_cast<Sint16>(60 + (i / 9) * 50);
                 lineRGBA(r, x, y, static_cast<Sint16>(x + dx / 2), static_cast<Sint16>(y + dy / 2),
                          c.r, c.g, c.b, c.a);
             }
             lineRGBA(r, 5, 5, 5, 5, c.r, c.g, c.b, c.a); // a line of one pixel
             hlineRGBA(r, 10, 200, 470, c.r, c.g, c.b, c.a);
             vlineRGBA(r, 630, 10, 470, c.r, c.g, c.b, c.a);
         }},
        {"pixels",
         [](SDL_Renderer* r, const Ink& c) {
             for (int i = 0; i < 400; ++i) {
                 pixelRGBA(r, static_cast<Sint16>((i * 37) % WIDTH),
                           static_cast<Sint16>((i * 53) % HEIGHT), c.r, c.g, c.b, c.a);
             }
         }},
        {"discs and circles",
         [](SDL_Renderer* r, const Ink& c) {
             for (Sint16 radius = 0; radius < 20; ++radius) {
                 const Sint16 x = static_cast<Sint16>(30 + (radius % 10) * 60);
                 const Sint16 y = static_cast<Sint16>(40 + (radius / 10) * 60);
                 filledCircleRGBA(r, x, y, radius, c.r, c.g, c.b, c.a);
                 circleRGBA(r, x, static_cast<Sint16>(y + 160), radius, c.r, c.g, c.b, c.a);
             }
             filledCircleRGBA(r, 320, 400, 70, c.r, c.g, c.b, c.a);
         }},
        {"rectangles and boxes",
         [](SDL_Renderer* r, const Ink& c) {
             for (int i = 0; i < 12; ++i) {
                 const Sint16 x = static_cast<Sint16>(20 + i * 50), w = static_cast<Sint16>(i * 3);
                 rectangleRGBA(r, x, 20, static_cast<Sint16>(x + w), static_cast<Sint16>(20 + w),
                               c.r, c.g, c.b, c.a);
                 boxRGBA(r, x, 120, static_cast<Sint16>(x + w), static_cast<Sint16>(120 + w), c.r,
                         c.g, c.b, c.a);
                 roundedBoxRGBA(r, x, 220, static_cast<Sint16>(x + 40),
                                static_cast<Sint16>(220 + 30 + i), static_cast<Sint16>(i * 2), c.r,
                                c.g, c.b, c.a);
             }
         }},
        {"thick lines",
         [](SDL_Renderer* r, const Ink& c) {
             for (int i = 0; i < 16; ++i) {
                 const Sint16 x = static_cast<Sint16>(40 + (i % 8) * 75);
                 const Sint16 y = static_cast<Sint16>(60 + (i / 8) * 200);
                 thickLineRGBA(r, x, y, static_cast<Sint16>(x + 10 + i * 3),
                               static_cast<Sint16>(y + 100 - i * 9), static_cast<Uint8>(2 + i), c.r,
                               c.g, c.b, c.a);
             }
         }},
        {"triangles and polygons",
         [](SDL_Renderer* r, const Ink& c) {
             const Sint16 xs[6] = {320, 400, 380, 300, 240, 260};
             const Sint16 ys[6] = {40, 120, 220, 240, 150, 60};
             polygonRGBA(r, xs, ys, 6, c.r, c.g, c.b, c.a);
             const Sint16 fxs[6] = {520, 600, 580, 500, 440, 460};
             filledPolygonRGBA(r, fxs, ys, 6, c.r, c.g, c.b, c.a);
             trigonRGBA(r, 20, 300, 120, 260, 90, 460, c.r, c.g, c.b, c.a);
             filledTrigonRGBA(r, 140, 300, 240, 260, 210, 460, c.r, c.g, c.b, c.a);
             const Sint16 flatXs[3] = {300, 340, 380}, flatYs[3] = {400, 420, 440};
             filledPolygonRGBA(r, flatXs, flatYs, 3, c.r, c.g, c.b, c.a);
         }},
        {"ellipses, arcs and pies",
         [](SDL_Renderer* r, const Ink& c) {
             for (int i = 0; i < 6; ++i) {
                 const Sint16 x = static_cast<Sint16>(60 + i * 100);
                 ellipseRGBA(r, x, 60, static_cast<Sint16>(10 + i * 7), 30, c.r, c.g, c.b, c.a);
                 filledEllipseRGBA(r, x, 160, 40, static_cast<Sint16>(5 + i * 6), c.r, c.g, c.b,
                                   c.a);
                 arcRGBA(r, x, 280, 40, static_cast<Sint16>(i * 50),
                         static_cast<Sint16>(300 - i * 30), c.r, c.g, c.b, c.a);
                 filledPieRGBA(r, x, 400, 40, static_cast<Sint16>(i * 45),
                               static_cast<Sint16>(200 + i * 20), c.r, c.g, c.b, c.a);
             }
         }},
    };
    return list;
}

} // namespace shape_families

#endif
