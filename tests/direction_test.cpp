// Direction: unit steps, reflections off the four window edges, the word
// reader, and indices that lie outside the tables.

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>

#include "types/direction.h"

namespace {

enum Edge { TOP, RIGHT, BOTTOM, LEFT };

const char* const EDGE_NAMES[4] = {"top", "right", "bottom", "left"};

Direction reflect(const Direction& d, int edge) {
    switch (edge) {
    case TOP:
        return d.bounceTop();
    case RIGHT:
        return d.bounceRight();
    case BOTTOM:
        return d.bounceBottom();
    default:
        return d.bounceLeft();
    }
}

int oppositeEdge(int edge) { return (edge + 2) % 4; }

// Whether a figure stepping in d gets closer to the edge. Worked out from
// the step alone: y grows downwards, so the top edge is approached by dy < 0.
bool movesToward(const Direction& d, int edge) {
    switch (edge) {
    case TOP:
        return d.getDY() < 0;
    case RIGHT:
        return d.getDX() > 0;
    case BOTTOM:
        return d.getDY() > 0;
    default:
        return d.getDX() < 0;
    }
}

bool horizontalEdge(int edge) { return edge == TOP || edge == BOTTOM; }

} // namespace

// ---- Steps and reflections ---------------------------------------------------

// Each name's letters say where it goes: N up (dy -1), S down, E right
// (dx +1), W left; a letter that is absent means no movement on that axis.
TEST(DirectionSteps, FollowTheCompassLettersOfEachName) {
    for (int i = 0; i < DIRECTION_COUNT; ++i) {
        const std::string& name = DIRECTION_NAMES[i];
        SCOPED_TRACE("index " + std::to_string(i) + " (" + name + ")");
        const bool north = name.find('N') != std::string::npos;
        const bool south = name.find('S') != std::string::npos;
        const bool east = name.find('E') != std::string::npos;
        const bool west = name.find('W') != std::string::npos;
        const Direction d(i);
        EXPECT_EQ(i, d.getIndex());
        EXPECT_EQ(east ? 1 : (west ? -1 : 0), d.getDX());
        EXPECT_EQ(south ? 1 : (north ? -1 : 0), d.getDY());
    }
    // The order is not plain clockwise: NW is 5 and SW is 7.
    const Direction nw(5);
    EXPECT_EQ("NW", DIRECTION_NAMES[5]);
    EXPECT_EQ(-1, nw.getDX());
    EXPECT_EQ(-1, nw.getDY());
}

// For every direction and edge: moving toward the edge, the reflection
// negates exactly the step component that points into it, keeps the other,
// and the opposite edge's reflection brings it back; moving along or away,
// there is no reflection (NO_DIRECTION, which does not move).
TEST(DirectionBounce, ReflectsOnlyTheComponentPointingIntoTheEdge) {
    for (int i = 0; i < DIRECTION_COUNT; ++i) {
        const Direction d(i);
        for (int edge = TOP; edge <= LEFT; ++edge) {
            SCOPED_TRACE(DIRECTION_NAMES[i] + " off the " + EDGE_NAMES[edge] + " edge");
            const Direction r = reflect(d, edge);
            if (!movesToward(d, edge)) {
                EXPECT_EQ(NO_DIRECTION, r.getIndex());
                EXPECT_EQ(0, r.getDX());
                EXPECT_EQ(0, r.getDY());
                continue;
            }
            ASSERT_GE(r.getIndex(), 0);
            ASSERT_LT(r.getIndex(), DIRECTION_COUNT);
            if (horizontalEdge(edge)) {
                EXPECT_EQ(d.getDX(), r.getDX());
                EXPECT_EQ(-d.getDY(), r.getDY());
            } else {
                EXPECT_EQ(-d.getDX(), r.getDX());
                EXPECT_EQ(d.getDY(), r.getDY());
            }
            EXPECT_FALSE(movesToward(r, edge));
            EXPECT_EQ(i, reflect(r, oppositeEdge(edge)).getIndex());
        }
    }
}

TEST(DirectionBounce, NamedCases) {
    const Direction ne(1);
    const Direction sw(7);
    EXPECT_EQ(3, ne.bounceTop().getIndex());              // SE
    EXPECT_EQ(5, ne.bounceRight().getIndex());            // NW
    EXPECT_EQ(5, sw.bounceBottom().getIndex());           // NW
    EXPECT_EQ(3, sw.bounceLeft().getIndex());             // SE
    EXPECT_EQ(4, Direction(0).bounceTop().getIndex());    // N -> S
    EXPECT_EQ(0, Direction(4).bounceBottom().getIndex()); // S -> N
    // Reflecting returns a new direction and leaves the original alone.
    EXPECT_EQ(1, ne.getIndex());
    EXPECT_EQ(1, ne.getDX());
    EXPECT_EQ(-1, ne.getDY());
}

// ---- Reading a direction from text --------------------------------------------

namespace {

void expectDirection(const Direction& d, int index, int dx, int dy) {
    EXPECT_EQ(index, d.getIndex());
    EXPECT_EQ(dx, d.getDX());
    EXPECT_EQ(dy, d.getDY());
}

} // namespace

TEST(DirectionReader, ReadsAnExactName) {
    std::istringstream in("SW");
    Direction d(0);
    EXPECT_TRUE(static_cast<bool>(in >> d));
    expectDirection(d, 7, -1, 1);
}

TEST(DirectionReader, WordsThatAreNoNameChangeNothing) {
    for (const char* word : {"sw", "Sw", "NNE", "NEW", "SWW", "N,", "north", "8"}) {
        SCOPED_TRACE(std::string("word \"") + word + "\"");
        std::istringstream in(word);
        Direction d(2); // E
        EXPECT_TRUE(static_cast<bool>(in >> d)) << "a word was there to read";
        expectDirection(d, 2, 1, 0);
    }
    Direction d(6);
    d.setFromName("");
    d.setFromName("W ");
    d.setFromName(std::string("N\0", 2));
    expectDirection(d, 6, -1, 0);
}

TEST(DirectionReader, AtEndOfInputChangesNothingAndFailsTheStream) {
    for (const char* text : {"", "   \n\t "}) {
        std::istringstream in(text);
        Direction d(3);
        in >> d;
        EXPECT_TRUE(in.fail());
        expectDirection(d, 3, 1, 1);
    }
}

TEST(DirectionReader, ChainedReadsTakeOneWordEach) {
    std::istringstream in("N E  SW\nNW");
    Direction a(4);
    Direction b(4);
    Direction c(4);
    Direction d(4);
    EXPECT_TRUE(static_cast<bool>(in >> a >> b >> c >> d));
    expectDirection(a, 0, 0, -1);
    expectDirection(b, 2, 1, 0);
    expectDirection(c, 7, -1, 1);
    expectDirection(d, 5, -1, -1);
    Direction e(4);
    EXPECT_FALSE(static_cast<bool>(in >> e));
    expectDirection(e, 4, 0, 1);
}

// ---- Indices outside the tables ------------------------------------------------

// NO_DIRECTION and any other index outside 0-7 must never be looked up in
// the step or reflection tables: it stands still and reflects to NO_DIRECTION.
TEST(DirectionOutsideTables, StandsStillAndHasNoReflection) {
    for (int index : {NO_DIRECTION, -1, 9, 1000, INT_MIN, INT_MAX}) {
        SCOPED_TRACE("index " + std::to_string(index));
        const Direction d(index);
        expectDirection(d, index, 0, 0);
        for (int edge = TOP; edge <= LEFT; ++edge) {
            SCOPED_TRACE(std::string("off the ") + EDGE_NAMES[edge] + " edge");
            expectDirection(reflect(d, edge), NO_DIRECTION, 0, 0);
        }
    }
}

TEST(DirectionOutsideTables, ANameMakesItAProperDirectionAgain) {
    Direction d(NO_DIRECTION);
    d.setFromName("NNE");
    expectDirection(d, NO_DIRECTION, 0, 0);
    d.setFromName("NE");
    expectDirection(d, 1, 1, -1);
    expectDirection(d.bounceTop(), 3, 1, 1);
}
