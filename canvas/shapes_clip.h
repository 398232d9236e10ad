#ifndef VANTREL_CANVAS_SHAPES_CLIP_H
#define VANTREL_CANVAS_SHAPES_CLIP_H

// Shapes that reach further than SDL2_gfx's 16-bit coordinates hold. A shape
// that lies within REACH of the origin goes to SDL2_gfx as it is. One that
// reaches further is cut down first to what the target (the window, or the
// image drawn into) can show, in int64 and double arithmetic, so that far
// corners, ends and radii neither wrap around nor overflow: lines keep their
// slope, rectangles and polygons are cut at a box a little larger than the
// target, and curves are traced as fine polygons where they pass near it.
// Internal to the canvas; not installed.

#include <SDL.h>

#include <vector>

namespace vantrel {
namespace detail {

/// SDL2_gfx holds the sums and differences of two coordinates within this
/// reach in 16 bits, in every primitive the canvas uses (its polygon fill
/// too). Targets are at most MAX_IMAGE_SIZE pixels, well within it.
constexpr int REACH = 16383;

inline bool inReach(long long value) { return value >= -REACH && value <= REACH; }
inline bool inReach(long long left, long long top, long long right, long long bottom) {
    return inReach(left) && inReach(top) && inReach(right) && inReach(bottom);
}
/// Whether a round shape reaching radiusX and radiusY around (x, y) is.
inline bool roundInReach(int x, int y, int radiusX, int radiusY) {
    return inReach(x - 1LL * radiusX, y - 1LL * radiusY, x + 1LL * radiusX, y + 1LL * radiusY);
}

/// How far beyond the target a far shape is cut: more than half the widest
/// thick line, so that the cut ends and edges all fall outside the target.
constexpr int MARGIN = 256;

/// A box of pixels, both corners included.
struct Box {
    int left;
    int top;
    int right;
    int bottom;
};

/// The pixels of what the renderer draws into now, grown by margin on every
/// side.
Box targetBox(SDL_Renderer* renderer, int margin);

/// Whether the box from (left, top) to (right, bottom) misses box.
inline bool misses(double left, double top, double right, double bottom, const Box& box) {
    return right < box.left || left > box.right || bottom < box.top || top > box.bottom;
}

/// A colour as SDL2_gfx takes it.
struct Ink {
    Uint8 r, g, b, a;
};

/// Cuts the line from (x1, y1) to (x2, y2) to box. The cut ends are pixels
/// the line itself has (the whole step along its longer axis, the other
/// coordinate rounded as along the uncut line), so it keeps its slope.
/// False when the line misses the box.
bool clipLine(int& x1, int& y1, int& x2, int& y2, const Box& box);

/// Cuts the rectangle with corners (x1, y1) and (x2, y2), in either order, to
/// box, leaving x1 <= x2 and y1 <= y2. False when it misses the box.
bool clipRectangle(int& x1, int& y1, int& x2, int& y2, const Box& box);

/// SDL2_gfx's polygon fill, mended so that a flat polygon draws its line.
int fillPolygon(SDL_Renderer* renderer, const Sint16* xs, const Sint16* ys, int n, Uint8 r, Uint8 g,
                Uint8 b, Uint8 a);
/// Whether SDL2_gfx's polygon fill colours pixel (x, y), for a handful of
/// corners.
bool fillCovers(const Sint16* xs, const Sint16* ys, int n, int x, int y);

/// A point of a far shape, exactly where it lies.
struct Spot {
    double x;
    double y;
};
/// Fills the polygon through spots, cut to box; spots changes on the way.
void fillSpots(SDL_Renderer* renderer, std::vector<Spot>& spots, const Box& box, const Ink& ink);
/// Draws the line through spots, each to the next, cut to box.
void drawSpots(SDL_Renderer* renderer, const std::vector<Spot>& spots, const Box& box,
               const Ink& ink);

// The far forms of the shapes, in target pixels (the camera already taken
// off). Each draws what shows of the shape and nothing when it is wholly
// outside the target.

/// The closed outline through the corners, or the polygon filled.
void drawFarPolygon(SDL_Renderer* renderer, const std::vector<SDL_Point>& corners, int n,
                    bool filled, const Ink& ink);
/// An ellipse's outline (a ring wholly outside the target draws nothing), or
/// the ellipse filled (one covering the target draws it as one box). A
/// radius of 0 draws a line, a negative one nothing.
void drawFarEllipse(SDL_Renderer* renderer, int x, int y, int radiusX, int radiusY, bool filled,
                    const Ink& ink);
/// The arc, or the filled pie, from start to end (degrees, 0-359, clockwise,
/// past 0 when end is the smaller). Equal angles draw the pie's one radius.
void drawFarArc(SDL_Renderer* renderer, int x, int y, int radius, int start, int end, bool pie,
                const Ink& ink);
/// A filled box from (left, top) to (right, bottom), in that order, its
/// corners rounded with the radius (0 or more).
void drawFarRoundedBox(SDL_Renderer* renderer, long long left, long long top, long long right,
                       long long bottom, int radius, const Ink& ink);

} // namespace detail
} // namespace vantrel

#endif
