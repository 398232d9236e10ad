// Cutting far shapes down to the target: lines with Liang-Barsky, polygons
// with Sutherland-Hodgman, both against a box a little larger than the
// target. What is left lies within a few hundred pixels of the target and
// goes to SDL2_gfx, or to SDL's own line drawing, like any near shape. The
// curves are traced into polygons in shapes_far.cpp.

#include "canvas/shapes_clip.h"

#include <SDL2_gfxPrimitives.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace vantrel {
namespace detail {
namespace {

// Working buffers. They only ever grow, so after the first far shapes
// drawing allocates nothing; the canvas is used from the main thread only.
std::vector<Spot> spare;
std::vector<SDL_Point> run;
std::vector<Sint16> fillXs;
std::vector<Sint16> fillYs;

SDL_Point pixelOf(const Spot& s) {
    return SDL_Point{static_cast<int>(std::lround(s.x)), static_cast<int>(std::lround(s.y))};
}

bool samePixel(const SDL_Point& p, const SDL_Point& q) { return p.x == q.x && p.y == q.y; }

// Liang-Barsky: cuts the segment from a to b to the box; false when it
// misses the box.
bool clipSegment(Spot& a, Spot& b, const Box& box) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - box.left, box.right - a.x, a.y - box.top, box.bottom - a.y};
    double t0 = 0, t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) {
            return false;
        }
    }
    const Spot from = a;
    if (t1 < 1) {
        b = Spot{from.x + t1 * dx, from.y + t1 * dy};
    }
    if (t0 > 0) {
        a = Spot{from.x + t0 * dx, from.y + t0 * dy};
    }
    return true;
}

// Sutherland-Hodgman, one edge of the box: keeps the part of the polygon in
// spots on the inner side of the line where axis (x or y) is at bound.
template <double Spot::*axis, double Spot::*other>
void keepSide(std::vector<Spot>& spots, double bound, bool keepBelow) {
    spare.clear();
    const std::size_t n = spots.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Spot& p = spots[i];
        const Spot& q = spots[(i + 1) % n];
        const bool pIn = keepBelow ? p.*axis <= bound : p.*axis >= bound;
        const bool qIn = keepBelow ? q.*axis <= bound : q.*axis >= bound;
        if (pIn) {
            spare.push_back(p);
        }
        if (pIn != qIn) {
            const double t = (bound - p.*axis) / (q.*axis - p.*axis);
            Spot cut;
            cut.*axis = bound;
            cut.*other = p.*other + t * (q.*other - p.*other);
            spare.push_back(cut);
        }
    }
    spots.swap(spare);
}

void drawRun(SDL_Renderer* renderer) {
    if (run.size() == 1) {
        SDL_RenderDrawPoint(renderer, run[0].x, run[0].y);
    } else if (run.size() > 1) {
        SDL_RenderDrawLines(renderer, run.data(), static_cast<int>(run.size()));
    }
    run.clear();
}

} // namespace

Box targetBox(SDL_Renderer* renderer, int margin) {
    int width = 0, height = 0;
    if (SDL_Texture* texture = SDL_GetRenderTarget(renderer)) {
        SDL_QueryTexture(texture, nullptr, nullptr, &width, &height);
    } else {
        SDL_RenderGetLogicalSize(renderer, &width, &height);
        if (width <= 0 || height <= 0) {
            SDL_GetRendererOutputSize(renderer, &width, &height);
        }
    }
    return Box{-margin, -margin, width - 1 + margin, height - 1 + margin};
}

bool clipLine(int& x1, int& y1, int& x2, int& y2, const Box& box) {
    Spot a = {static_cast<double>(x1), static_cast<double>(y1)};
    Spot b = {static_cast<double>(x2), static_cast<double>(y2)};
    if (!clipSegment(a, b, box)) {
        return false;
    }
    const double dx = static_cast<double>(x2) - x1;
    const double dy = static_cast<double>(y2) - y1;
    if (dx == 0 && dy == 0) {
        return true; // a point within the box
    }
    const bool wide = std::fabs(dx) >= std::fabs(dy);
    const double startX = x1, startY = y1;
    // The line's own pixel where the cut end lies along its longer axis.
    const auto settle = [&](const Spot& s, int& x, int& y) {
        if (wide) {
            const double along = std::round(s.x);
            x = static_cast<int>(along);
            y = static_cast<int>(std::lround(startY + (along - startX) * dy / dx));
        } else {
            const double along = std::round(s.y);
            y = static_cast<int>(along);
            x = static_cast<int>(std::lround(startX + (along - startY) * dx / dy));
        }
    };
    settle(a, x1, y1);
    settle(b, x2, y2);
    return true;
}

bool clipRectangle(int& x1, int& y1, int& x2, int& y2, const Box& box) {
    if (x1 > x2) {
        std::swap(x1, x2);
    }
    if (y1 > y2) {
        std::swap(y1, y2);
    }
    if (misses(x1, y1, x2, y2, box)) {
        return false;
    }
    x1 = std::max(x1, box.left), x2 = std::min(x2, box.right);
    y1 = std::max(y1, box.top), y2 = std::min(y2, box.bottom);
    return true;
}

// SDL2_gfx fills a polygon row by row between its non-horizontal edges, so a
// polygon whose corners all lie on one row fills nothing, while one whose
// corners lie on any other line fills that line. The canvas draws the row
// too, so that every flat polygon draws its line.
int fillPolygon(SDL_Renderer* renderer, const Sint16* xs, const Sint16* ys, int n, Uint8 r, Uint8 g,
                Uint8 b, Uint8 a) {
    if (n < 3) {
        return -1;
    }
    Sint16 left = xs[0], right = xs[0];
    for (int i = 1; i < n; ++i) {
        if (ys[i] != ys[0]) {
            return filledPolygonRGBA(renderer, xs, ys, n, r, g, b, a);
        }
        left = std::min(left, xs[i]);
        right = std::max(right, xs[i]);
    }
    return hlineRGBA(renderer, left, right, ys[0], r, g, b, a);
}

// Whether SDL2_gfx's polygon fill colours pixel (x, y): the same rows, edge
// crossings and rounding as filledPolygonRGBA, for a handful of corners.
bool fillCovers(const Sint16* xs, const Sint16* ys, int n, int x, int y) {
    int top = ys[0], bottom = ys[0];
    for (int i = 1; i < n; ++i) {
        top = std::min<int>(top, ys[i]);
        bottom = std::max<int>(bottom, ys[i]);
    }
    if (y < top || y > bottom) {
        return false;
    }
    long long crossings[8];
    int count = 0;
    for (int i = 0; i < n && count < 8; ++i) {
        const int from = i == 0 ? n - 1 : i - 1;
        int x1 = xs[from], y1 = ys[from], x2 = xs[i], y2 = ys[i];
        if (y1 == y2) {
            continue;
        }
        if (y1 > y2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        if ((y >= y1 && y < y2) || (y == bottom && y > y1 && y <= y2)) {
            crossings[count++] = (65536LL * (y - y1)) / (y2 - y1) * (x2 - x1) + 65536LL * x1;
        }
    }
    std::sort(crossings, crossings + count);
    for (int i = 0; i + 1 < count; i += 2) {
        const long long a = crossings[i] + 1, b = crossings[i + 1] - 1;
        const long long left = (a >> 16) + ((a & 32768) >> 15);
        const long long right = (b >> 16) + ((b & 32768) >> 15);
        if (x >= std::min(left, right) && x <= std::max(left, right)) {
            return true;
        }
    }
    return false;
}

void fillSpots(SDL_Renderer* renderer, std::vector<Spot>& spots, const Box& box, const Ink& ink) {
    keepSide<&Spot::x, &Spot::y>(spots, box.left, false);
    keepSide<&Spot::x, &Spot::y>(spots, box.right, true);
    keepSide<&Spot::y, &Spot::x>(spots, box.top, false);
    keepSide<&Spot::y, &Spot::x>(spots, box.bottom, true);
    fillXs.clear();
    fillYs.clear();
    SDL_Point last = {INT_MIN, INT_MIN};
    for (const Spot& s : spots) {
        const SDL_Point p = pixelOf(s);
        if (!samePixel(p, last)) {
            fillXs.push_back(static_cast<Sint16>(p.x));
            fillYs.push_back(static_cast<Sint16>(p.y));
            last = p;
        }
    }
    while (fillXs.size() > 1 && fillXs.back() == fillXs[0] && fillYs.back() == fillYs[0]) {
        fillXs.pop_back();
        fillYs.pop_back();
    }
    const int n = static_cast<int>(fillXs.size());
    // Corners all on one line may come out as the line's two ends.
    if (n == 1) {
        pixelRGBA(renderer, fillXs[0], fillYs[0], ink.r, ink.g, ink.b, ink.a);
    } else if (n == 2) {
        lineRGBA(renderer, fillXs[0], fillYs[0], fillXs[1], fillYs[1], ink.r, ink.g, ink.b, ink.a);
    } else if (n > 2) {
        fillPolygon(renderer, fillXs.data(), fillYs.data(), n, ink.r, ink.g, ink.b, ink.a);
    }
}

// The pieces inside go to SDL as connected runs, which draw the pixel where
// two pieces meet once, as SDL2_gfx's polygon outline does.
void drawSpots(SDL_Renderer* renderer, const std::vector<Spot>& spots, const Box& box,
               const Ink& ink) {
    // The colour and blending SDL2_gfx sets for each of its primitives.
    SDL_SetRenderDrawBlendMode(renderer, ink.a == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(renderer, ink.r, ink.g, ink.b, ink.a);
    run.clear();
    for (std::size_t i = 0; i + 1 < spots.size(); ++i) {
        Spot a = spots[i], b = spots[i + 1];
        if (!clipSegment(a, b, box)) {
            drawRun(renderer);
            continue;
        }
        const SDL_Point from = pixelOf(a), to = pixelOf(b);
        if (run.empty() || !samePixel(run.back(), from)) {
            drawRun(renderer);
            run.push_back(from);
        }
        if (!samePixel(run.back(), to)) {
            run.push_back(to);
        }
        if (b.x != spots[i + 1].x || b.y != spots[i + 1].y) {
            drawRun(renderer); // the segment leaves the box
        }
    }
    drawRun(renderer);
}

} // namespace detail
} // namespace vantrel
