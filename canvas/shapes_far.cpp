// The far forms of polygons, ellipses, circles, arcs, pies and rounded boxes.
// Curves are traced as polygons that follow the curve to within a fraction
// of a pixel where it passes near the target and take long strides where it
// is far from it, then cut to the target like any far polygon (shapes_clip.cpp).

#include "canvas/shapes_clip.h"

#include <SDL2_gfxPrimitives.h>

#include <algorithm>
#include <cmath>

namespace vantrel {
namespace detail {
namespace {

constexpr double PI = 3.14159265358979323846;

// The corners or traced points of the far shape being drawn. The buffer
// only grows; the canvas is used from the main thread only.
std::vector<Spot> spots;

// How far the spot lies outside the box, along the farther axis; 0 inside.
double outside(const Spot& s, const Box& box) {
    return std::max({box.left - s.x, s.x - box.right, box.top - s.y, s.y - box.bottom, 0.0});
}

// Adds to spots the points (x + rx cos t, y + ry sin t) for t from `from` to
// `to` (radians, from <= to), both ends included. Near the box, consecutive
// points are close enough that the chord between them strays less than a
// quarter of a pixel from the curve. Away from it the stride grows with the
// distance: the curve moves at most max(rx, ry) pixels per radian, so it
// stays at least half that distance from the box until the next point, and
// the chord that stands for it stays outside the box too.
void trace(double x, double y, double rx, double ry, double from, double to, const Box& box) {
    const double most = std::max({rx, ry, 1.0});
    const double fine = std::min(0.5, 1.0 / std::sqrt(most));
    for (double t = from;;) {
        const Spot s = {x + rx * std::cos(t), y + ry * std::sin(t)};
        spots.push_back(s);
        if (t >= to) {
            return;
        }
        t = std::min(to, t + std::max(fine, std::min(PI / 8, outside(s, box) / (2 * most))));
    }
}

} // namespace

void drawFarPolygon(SDL_Renderer* renderer, const std::vector<SDL_Point>& corners, int n,
                    bool filled, const Ink& ink) {
    if (renderer == nullptr || n < 3) {
        return;
    }
    spots.clear();
    for (int i = 0; i < n; ++i) {
        spots.push_back(Spot{static_cast<double>(corners[i].x), static_cast<double>(corners[i].y)});
    }
    const Box box = targetBox(renderer, MARGIN);
    if (filled) {
        fillSpots(renderer, spots, box, ink);
        return;
    }
    spots.push_back(spots[0]);
    drawSpots(renderer, spots, box, ink);
}

void drawFarEllipse(SDL_Renderer* renderer, int x, int y, int radiusX, int radiusY, bool filled,
                    const Ink& ink) {
    if (renderer == nullptr || radiusX < 0 || radiusY < 0) {
        return;
    }
    const double cx = x, cy = y, rx = radiusX, ry = radiusY;
    const Box box = targetBox(renderer, MARGIN), seen = targetBox(renderer, 0);
    if (misses(cx - rx, cy - ry, cx + rx, cy + ry, seen)) {
        return;
    }
    if (rx == 0 || ry == 0) {
        spots.assign({Spot{cx - rx, cy - ry}, Spot{cx + rx, cy + ry}});
        drawSpots(renderer, spots, box, ink);
        return;
    }
    // Whether the ellipse holds every pixel of the target (grown by two for
    // the outline, whose pixels lie up to a pixel off the curve).
    const int grow = filled ? 0 : 2;
    bool holds = true;
    for (const double px : {seen.left - grow, seen.right + grow}) {
        for (const double py : {seen.top - grow, seen.bottom + grow}) {
            const double u = (px - cx) / rx, v = (py - cy) / ry;
            holds = holds && u * u + v * v <= 1;
        }
    }
    if (holds) {
        if (filled) {
            boxRGBA(renderer, static_cast<Sint16>(seen.left), static_cast<Sint16>(seen.top),
                    static_cast<Sint16>(seen.right), static_cast<Sint16>(seen.bottom), ink.r, ink.g,
                    ink.b, ink.a);
        }
        return;
    }
    // The ring starts at an extreme point outside the box, so that its two
    // ends do not meet on a pixel that shows.
    double start = 0;
    for (const double t : {0.0, PI / 2, PI, 3 * PI / 2}) {
        if (outside(Spot{cx + rx * std::cos(t), cy + ry * std::sin(t)}, box) > 0) {
            start = t;
            break;
        }
    }
    spots.clear();
    trace(cx, cy, rx, ry, start, start + 2 * PI, box);
    if (filled) {
        fillSpots(renderer, spots, box, ink);
    } else {
        drawSpots(renderer, spots, box, ink);
    }
}

void drawFarArc(SDL_Renderer* renderer, int x, int y, int radius, int start, int end, bool pie,
                const Ink& ink) {
    if (renderer == nullptr || radius < 0) {
        return;
    }
    const double cx = x, cy = y, r = radius;
    const Box box = targetBox(renderer, MARGIN);
    if (misses(cx - r, cy - r, cx + r, cy + r, targetBox(renderer, 0))) {
        return;
    }
    const double from = start * PI / 180, to = (end <= start ? end + 360 : end) * PI / 180;
    spots.clear();
    if (pie) {
        spots.push_back(Spot{cx, cy});
    }
    if (start == end) {
        spots.push_back(Spot{cx + r * std::cos(from), cy + r * std::sin(from)});
    } else {
        trace(cx, cy, r, r, from, to, box);
    }
    if (pie && start != end) {
        fillSpots(renderer, spots, box, ink);
    } else {
        drawSpots(renderer, spots, box, ink);
    }
}

void drawFarRoundedBox(SDL_Renderer* renderer, long long left, long long top, long long right,
                       long long bottom, int radius, const Ink& ink) {
    if (renderer == nullptr) {
        return;
    }
    const Box seen = targetBox(renderer, 0);
    if (misses(left, top, right, bottom, seen)) {
        return;
    }
    // SDL2_gfx makes the radius at most half the width and half the height.
    const long long rad =
        std::min({static_cast<long long>(radius), (right - left + 1) / 2, (bottom - top + 1) / 2});
    if (rad <= REACH / 4) {
        // Edges further out than this move in to it. Their corners stay out
        // of sight, and every side still spans more than twice the radius,
        // so the corners that show come out as SDL2_gfx draws them.
        const long long pad = 2 * rad + MARGIN;
        const auto cut = [pad](long long v, int low, int high) {
            return static_cast<Sint16>(std::min<long long>(std::max(v, low - pad), high + pad));
        };
        roundedBoxRGBA(renderer, cut(left, seen.left, seen.right), cut(top, seen.top, seen.bottom),
                       cut(right, seen.left, seen.right), cut(bottom, seen.top, seen.bottom),
                       static_cast<Sint16>(rad), ink.r, ink.g, ink.b, ink.a);
        return;
    }
    // Corners too big for that: a polygon through the four quarter circles.
    const Box box = targetBox(renderer, MARGIN);
    const double r = static_cast<double>(rad);
    const double xs[2] = {left + r, right - r}, ys[2] = {top + r, bottom - r};
    spots.clear();
    trace(xs[1], ys[1], r, r, 0, PI / 2, box);
    trace(xs[0], ys[1], r, r, PI / 2, PI, box);
    trace(xs[0], ys[0], r, r, PI, 3 * PI / 2, box);
    trace(xs[1], ys[0], r, r, 3 * PI / 2, 2 * PI, box);
    fillSpots(renderer, spots, box, ink);
}

} // namespace detail
} // namespace vantrel
