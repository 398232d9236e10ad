#include "types/geometry.h"

#include <algorithm>
#include <cstdint>

namespace {

// |a - b| without overflow: any two ints are less than 2^32 apart.
std::uint64_t distance(int a, int b) {
    const std::int64_t d = static_cast<std::int64_t>(a) - b;
    return static_cast<std::uint64_t>(d < 0 ? -d : d);
}

// Whether dx² + dy² <= reach², for dx, dy, reach below 2^32: each square fits
// in 64 unsigned bits, and comparing by subtraction never overflows the sum.
bool withinReach(std::uint64_t dx, std::uint64_t dy, std::uint64_t reach) {
    if (dx > reach || dy > reach) {
        return false;
    }
    const std::uint64_t limit = reach * reach;
    const std::uint64_t dx2 = dx * dx;
    return dy * dy <= limit - dx2;
}

// Whether [a1, a2] and [b1, b2] share a value, each pair in either order.
bool spansMeet(int a1, int a2, int b1, int b2) {
    return std::max(std::min(a1, a2), std::min(b1, b2)) <=
           std::min(std::max(a1, a2), std::max(b1, b2));
}

} // namespace

bool pointInRectangle(int px, int py, int x1, int y1, int x2, int y2) {
    return spansMeet(px, px, x1, x2) && spansMeet(py, py, y1, y2);
}

bool pointInCircle(int px, int py, int cx, int cy, int radius) {
    if (radius < 0) {
        return false;
    }
    return withinReach(distance(px, cx), distance(py, cy), static_cast<std::uint64_t>(radius));
}

bool rectanglesOverlap(int ax1, int ay1, int ax2, int ay2, int bx1, int by1, int bx2, int by2) {
    return spansMeet(ax1, ax2, bx1, bx2) && spansMeet(ay1, ay2, by1, by2);
}

bool circlesOverlap(int x1, int y1, int r1, int x2, int y2, int r2) {
    if (r1 < 0 || r2 < 0) {
        return false;
    }
    const std::uint64_t reach = static_cast<std::uint64_t>(r1) + static_cast<std::uint64_t>(r2);
    return withinReach(distance(x1, x2), distance(y1, y2), reach);
}
