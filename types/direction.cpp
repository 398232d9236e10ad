#include "types/direction.h"

#include <istream>

const std::string DIRECTION_NAMES[DIRECTION_COUNT] = {"N", "NE", "E", "SE", "S", "NW", "W", "SW"};

namespace {

bool inTables(int index) { return index >= 0 && index < DIRECTION_COUNT; }

enum Edge { TOP, RIGHT, BOTTOM, LEFT };

} // namespace

Direction::Direction(int index) : index(index), dx(0), dy(0) { refreshSteps(); }

void Direction::setFromName(std::string name) {
    for (int i = 0; i < DIRECTION_COUNT; ++i) {
        if (name == DIRECTION_NAMES[i]) {
            index = i;
        }
    }
    refreshSteps();
}

void Direction::refreshSteps() {
    dx = inTables(index) ? DIRECTION_STEPS[index][0] : 0;
    dy = inTables(index) ? DIRECTION_STEPS[index][1] : 0;
}

Direction Direction::bounce(int edge) const {
    return Direction(inTables(index) ? BOUNCE_TABLE[index][edge] : NO_DIRECTION);
}

Direction Direction::bounceTop() const { return bounce(TOP); }
Direction Direction::bounceRight() const { return bounce(RIGHT); }
Direction Direction::bounceBottom() const { return bounce(BOTTOM); }
Direction Direction::bounceLeft() const { return bounce(LEFT); }

std::istream& operator>>(std::istream& in, Direction& direction) {
    std::string compassDirection;
    in >> compassDirection;
    direction.setFromName(compassDirection);
    return in;
}
