#ifndef VANTREL_TYPES_GEOMETRY_H
#define VANTREL_TYPES_GEOMETRY_H

// Hit tests for figures on the window: is a point inside a shape, do two
// shapes touch. Everything is in whole window pixels, and edges count as
// inside: a point on a rectangle's border or exactly radius away from a
// circle's centre is inside, and two shapes that only touch overlap.

/// Whether (px, py) lies in the rectangle with opposite corners (x1, y1) and
/// (x2, y2), the corners in either order, as drawRectangle takes them.
bool pointInRectangle(int px, int py, int x1, int y1, int x2, int y2);

/// Whether (px, py) lies in the circle centred on (cx, cy): its distance from
/// the centre is at most radius. A negative radius contains nothing.
bool pointInCircle(int px, int py, int cx, int cy, int radius);

/// Whether the rectangle with corners (ax1, ay1), (ax2, ay2) and the one with
/// corners (bx1, by1), (bx2, by2) share at least one pixel.
bool rectanglesOverlap(int ax1, int ay1, int ax2, int ay2, int bx1, int by1, int bx2, int by2);

/// Whether the circle centred on (x1, y1) with radius r1 and the one centred
/// on (x2, y2) with radius r2 overlap or touch: the centres are at most
/// r1 + r2 apart. A negative radius overlaps nothing.
bool circlesOverlap(int x1, int y1, int r1, int x2, int y2, int r2);

#endif
