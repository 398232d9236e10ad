#ifndef VANTREL_TYPES_DIRECTION_H
#define VANTREL_TYPES_DIRECTION_H

/// \file
/// Directions: the eight compass directions, their unit steps and their
/// reflections off the window's edges.

#include <iosfwd>
#include <string>

/// Index that names no direction: what a reflection off an edge the
/// direction does not move toward gives back. Its step is (0, 0).
constexpr int NO_DIRECTION = 8;

/// Number of compass directions.
constexpr int DIRECTION_COUNT = 8;

/// Names of the directions by index. The order runs clockwise from north to
/// south, then on through NW, W, SW: NW is 5 and SW is 7.
extern const std::string DIRECTION_NAMES[DIRECTION_COUNT];

/// Unit step (dx, dy) of each direction in window pixels; y grows downwards,
/// so north is dy = -1.
constexpr int DIRECTION_STEPS[DIRECTION_COUNT][2] = {
    {0, -1},  // N
    {1, -1},  // NE
    {1, 0},   // E
    {1, 1},   // SE
    {0, 1},   // S
    {-1, -1}, // NW
    {-1, 0},  // W
    {-1, 1},  // SW
};

/// Direction after bouncing off the top, right, bottom and left edge (in
/// that column order); NO_DIRECTION where the direction does not move
/// toward that edge.
constexpr int BOUNCE_TABLE[DIRECTION_COUNT][4] = {
    {4, 8, 8, 8}, // N
    {3, 5, 8, 8}, // NE
    {8, 6, 8, 8}, // E
    {8, 7, 1, 8}, // SE
    {8, 8, 0, 8}, // S
    {7, 8, 8, 1}, // NW
    {8, 8, 8, 2}, // W
    {8, 8, 5, 3}, // SW
};

/// One of the eight compass directions, with its unit step and its
/// reflections off the four window edges.
/// An index outside 0-7 (NO_DIRECTION among them) is kept as it is but
/// steps by (0, 0) and reflects to NO_DIRECTION: it never reads outside the tables.
class Direction {
public:
    /// NO_DIRECTION, which does not move (step (0, 0)) until you give it a
    /// direction: Direction d; d = Direction(2); or d.setFromName("E").
    Direction() : Direction(NO_DIRECTION) {}

    /// The direction with this index (0 = N ... 7 = SW, see DIRECTION_NAMES).
    explicit Direction(int index);

    /// Becomes the direction named exactly name ("N", "NE", ..., "SW");
    /// upper case only. A name that matches none changes nothing.
    void setFromName(std::string name);

    /// Index of the direction: 0 = N ... 7 = SW, or whatever index it was given.
    int getIndex() const { return index; }
    /// Horizontal step: -1, 0 or 1 pixel.
    int getDX() const { return dx; }
    /// Vertical step: -1, 0 or 1 pixel (down is positive).
    int getDY() const { return dy; }

    /// Direction after bouncing off the top edge: NE becomes SE.
    /// NO_DIRECTION when this direction does not move up.
    Direction bounceTop() const;
    /// Direction after bouncing off the right edge: NE becomes NW.
    /// NO_DIRECTION when this direction does not move right.
    Direction bounceRight() const;
    /// Direction after bouncing off the bottom edge: SW becomes NW.
    /// NO_DIRECTION when this direction does not move down.
    Direction bounceBottom() const;
    /// Direction after bouncing off the left edge: SW becomes SE.
    /// NO_DIRECTION when this direction does not move left.
    Direction bounceLeft() const;

private:
    void refreshSteps();
    Direction bounce(int edge) const;

    int index;
    int dx;
    int dy;
};

/// Reads one word and sets the direction it names (see setFromName); at the
/// end of input the direction is unchanged and the stream is failed.
std::istream& operator>>(std::istream& in, Direction& direction);

#endif
