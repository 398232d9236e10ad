// The bounce example's movement rule: figures stay inside the window, keep
// a proper direction, and bounce exactly when they reach an edge.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bounce/figures.h"

namespace {

Figure disc(int x, int y, int radius, int speed, int direction) {
    return Figure{Shape::Disc, x, y, radius, radius, speed, Direction(direction), Color(RED)};
}

Figure box(int x, int y, int halfWidth, int halfHeight, int speed, int direction) {
    return Figure{Shape::Box, x, y, halfWidth, halfHeight, speed, Direction(direction), Color(RED)};
}

::testing::AssertionResult insideWindow(const Figure& f, int width, int height) {
    const int left = f.x - f.halfWidth;
    const int right = f.x + f.halfWidth;
    const int top = f.y - f.halfHeight;
    const int bottom = f.y + f.halfHeight;
    if (left >= 0 && right <= width - 1 && top >= 0 && bottom <= height - 1) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "expected the figure within x 0.." << width - 1 << ", y 0.." << height - 1
           << "; it covers x " << left << ".." << right << ", y " << top << ".." << bottom;
}

::testing::AssertionResult properDirection(const Figure& f) {
    const int index = f.direction.getIndex();
    if (index >= 0 && index < DIRECTION_COUNT) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "expected a direction 0..7, got " << index
           << " (a reflection was asked for off an edge the figure was not heading into)";
}

struct Window {
    int width;
    int height;
};

} // namespace

// ---- Staying inside ----------------------------------------------------------

// Every start direction, from the centre, from each edge and corner (touching
// it, and a few pixels beyond it), at slow to very fast speeds, in a roomy
// window and in a cramped one: after every one of many thousands of steps
// the figure is wholly inside and still has one of the eight directions.
TEST(StepFigure, KeepsEveryFigureInsideTheWindow) {
    const std::vector<Window> windows = {{640, 480}, {61, 23}};
    const std::vector<int> speeds = {1, 2, 3, 7, 13, 40};
    const int steps = 5000;
    for (const Window& w : windows) {
        const std::vector<Figure> shapes = {disc(0, 0, 10, 1, 0), box(0, 0, 25, 6, 1, 0),
                                            disc(0, 0, 0, 1, 0)};
        for (const Figure& shape : shapes) {
            const int minX = shape.halfWidth;
            const int maxX = w.width - 1 - shape.halfWidth;
            const int minY = shape.halfHeight;
            const int maxY = w.height - 1 - shape.halfHeight;
            const int midX = (minX + maxX) / 2;
            const int midY = (minY + maxY) / 2;
            const std::vector<std::vector<int>> starts = {
                {midX, midY},     {minX, midY},        {maxX, midY},     {midX, minY},
                {midX, maxY},     {minX, minY},        {maxX, minY},     {minX, maxY},
                {maxX, maxY},     {minX + 1, minY},    {maxX - 1, maxY}, {minX - 3, midY},
                {midX, maxY + 5}, {maxX + 2, minY - 2}};
            for (int direction = 0; direction < DIRECTION_COUNT; ++direction) {
                for (int speed : speeds) {
                    for (const std::vector<int>& start : starts) {
                        Figure f = shape;
                        f.x = start[0];
                        f.y = start[1];
                        f.speed = speed;
                        f.direction = Direction(direction);
                        for (int step = 1; step <= steps; ++step) {
                            stepFigure(f, w.width, w.height);
                            const bool ok =
                                insideWindow(f, w.width, w.height) && properDirection(f);
                            if (!ok) {
                                ASSERT_TRUE(insideWindow(f, w.width, w.height))
                                    << "window " << w.width << "x" << w.height << ", start ("
                                    << start[0] << ", " << start[1] << ") "
                                    << DIRECTION_NAMES[direction] << " at speed " << speed
                                    << ", step " << step;
                                ASSERT_TRUE(properDirection(f))
                                    << "start (" << start[0] << ", " << start[1] << ") "
                                    << DIRECTION_NAMES[direction] << " at speed " << speed
                                    << ", step " << step;
                            }
                        }
                    }
                }
            }
        }
    }
}

// ---- When and how it bounces -----------------------------------------------------

// A disc of radius 10 in a 100-wide window may centre on x 10..89.
TEST(StepFigure, BouncesOnTheFrameItReachesAnEdge) {
    Figure f = disc(85, 50, 10, 3, 2); // E
    EXPECT_EQ(0, stepFigure(f, 100, 100));
    EXPECT_EQ(88, f.x);
    EXPECT_EQ(1, stepFigure(f, 100, 100)); // 91 is past the edge: back to 89
    EXPECT_EQ(89, f.x);
    EXPECT_EQ(6, f.direction.getIndex()); // W
    EXPECT_EQ(0, stepFigure(f, 100, 100));
    EXPECT_EQ(86, f.x);
    EXPECT_EQ(50, f.y);
}

TEST(StepFigure, ACornerBouncesOffBothEdges) {
    Figure f = disc(88, 11, 10, 2, 1); // NE, one pixel from the top-right corner
    EXPECT_EQ(2, stepFigure(f, 100, 100));
    EXPECT_EQ(89, f.x);
    EXPECT_EQ(10, f.y);
    EXPECT_EQ(7, f.direction.getIndex()); // SW
}

TEST(StepFigure, MovingAlongOrAwayFromAnEdgeIsNoBounce) {
    Figure along = box(50, 6, 10, 6, 4, 2); // E along the top edge
    EXPECT_EQ(0, stepFigure(along, 100, 100));
    EXPECT_EQ(2, along.direction.getIndex());
    Figure away = disc(10, 50, 10, 1, 3); // SE away from the left edge
    EXPECT_EQ(0, stepFigure(away, 100, 100));
    EXPECT_EQ(3, away.direction.getIndex());
    EXPECT_EQ(11, away.x);
}

// At speed 1 a figure crosses its 79 pixels of room in 79 steps, so a
// round trip is 158 steps: a rule that loses or gains a pixel at each bounce
// drifts off this count.
TEST(StepFigure, CountsEveryBounceOverALongRun) {
    Figure f = disc(10, 50, 10, 1, 2); // E, touching the left edge
    int bounces = 0;
    for (int step = 0; step < 79 * 40; ++step) {
        bounces += stepFigure(f, 100, 100);
    }
    EXPECT_EQ(40, bounces);
    EXPECT_EQ(10, f.x);
    EXPECT_EQ(2, f.direction.getIndex());

    Figure diagonal = disc(10, 10, 10, 1, 3); // SE from the top-left corner
    bounces = 0;
    for (int step = 0; step < 79 * 4; ++step) {
        bounces += stepFigure(diagonal, 100, 100);
    }
    // Square room: it runs corner to corner, two edges at each.
    EXPECT_EQ(8, bounces);
    EXPECT_EQ(10, diagonal.x);
    EXPECT_EQ(10, diagonal.y);
}
