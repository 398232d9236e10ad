// The shape families beyond the six basic ones, checked pixel by pixel in
// the frame read back from the software renderer: which pixels each family
// colours and which it leaves, in any corner order, in all three colour
// forms, and with degenerate input. Arcs, pies and thick lines are in
// shapes_curves_test.cpp.

#include <SDL2_gfxPrimitives.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "pixels.h"
#include "shapes_support.h"

using pixels::countInside;
using pixels::firstDifference;
using pixels::Frame;
using pixels::readFrame;
using namespace shapes_support;

// ---- Filled rectangle ----------------------------------------------------------

TEST(FilledRectangle, CoversBothCornersInAnyOrderAndNothingBeyond) {
    Canvas& canvas = setUp();
    const Frame reference =
        drawn(canvas, [](Canvas& c) { c.drawFilledRectangle(20, 30, 120, 90, INK); });
    EXPECT_EQ(101 * 61, inkCount(reference));
    EXPECT_EQ(101 * 61,
              countInside(reference, {20, 30, 101, 61}, [](const Color& c) { return c == INK; }));
    const int orders[3][4] = {{120, 90, 20, 30}, {20, 90, 120, 30}, {120, 30, 20, 90}};
    for (const auto& o : orders) {
        const Frame frame =
            drawn(canvas, [&](Canvas& c) { c.drawFilledRectangle(o[0], o[1], o[2], o[3], INK); });
        EXPECT_EQ("", firstDifference(reference, frame)) << o[0] << ", " << o[1];
    }
    // Zero height is a line with both ends; equal corners one pixel.
    Frame line = drawn(canvas, [](Canvas& c) {
        c.drawFilledRectangle(50, 40, 10, 40, INK);
        c.drawFilledRectangle(70, 70, 70, 70, OTHER);
    });
    EXPECT_EQ(42, inkCount(line));
    expectColour(line, INK, {{10, 40}, {50, 40}});
    expectColour(line, OTHER, {{70, 70}});
}

// ---- Triangles -------------------------------------------------------------------

TEST(Triangle, OutlineKeepsCornersAndLeavesItsInside) {
    Canvas& canvas = setUp();
    const Frame frame =
        drawn(canvas, [](Canvas& c) { c.drawTriangle(20, 20, 180, 50, 60, 170, INK); });
    expectColour(frame, INK, {{20, 20}, {180, 50}, {60, 170}});
    expectColour(frame, PAPER, {{87, 80}, {19, 20}, {181, 50}, {60, 171}});
}

TEST(Triangle, FilledCoversCornersAndInsideInAnyCornerOrder) {
    Canvas& canvas = setUp();
    const int c[3][2] = {{20, 20}, {180, 50}, {60, 170}};
    const Frame reference = drawn(canvas, [&](Canvas& cv) {
        cv.drawFilledTriangle(c[0][0], c[0][1], c[1][0], c[1][1], c[2][0], c[2][1], INK);
    });
    expectColour(reference, INK, {{20, 20}, {180, 50}, {60, 170}, {87, 80}, {100, 40}});
    // Outside: beyond each corner and across each edge.
    expectColour(reference, PAPER,
                 {{19, 20}, {20, 19}, {181, 50}, {60, 171}, {30, 100}, {150, 120}});
    int order[3] = {0, 1, 2};
    while (std::next_permutation(order, order + 3)) {
        const Frame frame = drawn(canvas, [&](Canvas& cv) {
            cv.drawFilledTriangle(c[order[0]][0], c[order[0]][1], c[order[1]][0], c[order[1]][1],
                                  c[order[2]][0], c[order[2]][1], INK);
        });
        EXPECT_EQ("", firstDifference(reference, frame))
            << "order " << order[0] << order[1] << order[2];
    }
}

TEST(Triangle, FilledAlwaysCoversItsCorners) {
    Canvas& canvas = setUp();
    unsigned seed = 12345;
    const auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % SIZE);
    };
    for (int i = 0; i < 300; ++i) {
        const int c[6] = {next(), next(), next(), next(), next(), next()};
        const Frame frame = drawn(canvas, [&](Canvas& cv) {
            cv.drawFilledTriangle(c[0], c[1], c[2], c[3], c[4], c[5], INK);
        });
        SCOPED_TRACE(std::to_string(c[0]) + "," + std::to_string(c[1]) + " " +
                     std::to_string(c[2]) + "," + std::to_string(c[3]) + " " +
                     std::to_string(c[4]) + "," + std::to_string(c[5]));
        expectColour(frame, INK, {{c[0], c[1]}, {c[2], c[3]}, {c[4], c[5]}});
    }
}

TEST(Triangle, FilledWithCornersOnOneLineDrawsThatLine) {
    Canvas& canvas = setUp();
    // Along a row, which SDL2_gfx alone leaves blank.
    Frame frame =
        drawn(canvas, [](Canvas& c) { c.drawFilledTriangle(90, 40, 10, 40, 50, 40, INK); });
    EXPECT_EQ(81, inkCount(frame));
    expectColour(frame, INK, {{10, 40}, {90, 40}});
    // Along a diagonal, and all three corners on one point.
    frame = drawn(canvas, [](Canvas& c) {
        c.drawFilledTriangle(10, 10, 50, 50, 30, 30, INK);
        c.drawFilledTriangle(150, 150, 150, 150, 150, 150, OTHER);
    });
    expectColour(frame, INK, {{10, 10}, {30, 30}, {50, 50}});
    expectColour(frame, OTHER, {{150, 150}});
    EXPECT_EQ(42, inkCount(frame));
}

// ---- Polygons --------------------------------------------------------------------

TEST(Polygon, PointsAndCoordinateListsDrawTheSameConcaveShape) {
    Canvas& canvas = setUp();
    // A square with a notch cut into its bottom edge.
    const std::vector<SDL_Point> points = {{20, 20}, {180, 20}, {180, 150}, {100, 80}, {20, 150}};
    const std::vector<int> xs = {20, 180, 180, 100, 20};
    const std::vector<int> ys = {20, 20, 150, 80, 150, 999}; // the extra y is ignored

    const Frame outline = drawn(canvas, [&](Canvas& c) { c.drawPolygon(points, INK); });
    expectColour(outline, INK, {{20, 20}, {180, 20}, {180, 150}, {100, 80}, {20, 150}, {100, 20}});
    expectColour(outline, PAPER, {{100, 50}, {100, 120}});
    EXPECT_EQ("", firstDifference(outline,
                                  drawn(canvas, [&](Canvas& c) { c.drawPolygon(xs, ys, INK); })));

    const Frame filled = drawn(canvas, [&](Canvas& c) { c.drawFilledPolygon(points, INK); });
    expectColour(filled, INK,
                 {{20, 20}, {180, 20}, {180, 150}, {100, 80}, {20, 150}, {100, 50}, {30, 140}});
    expectColour(filled, PAPER, {{100, 120}, {19, 50}, {181, 50}, {100, 19}, {20, 151}});
    EXPECT_EQ("", firstDifference(
                      filled, drawn(canvas, [&](Canvas& c) { c.drawFilledPolygon(xs, ys, INK); })));
}

TEST(Polygon, FewerThanThreeCornersDrawNothing) {
    Canvas& canvas = setUp();
    const std::vector<SDL_Point> none, one = {{10, 10}}, two = {{10, 10}, {90, 90}};
    const Frame frame = drawn(canvas, [&](Canvas& c) {
        for (const auto* points : {&none, &one, &two}) {
            c.drawPolygon(*points, INK);
            c.drawFilledPolygon(*points, INK);
        }
        c.drawPolygon({10, 90}, {10, 90, 50}, INK); // two x: two corners
        c.drawFilledPolygon({10, 90, 50}, {}, INK);
    });
    EXPECT_EQ(0, inkCount(frame));
}

TEST(Polygon, ABigPolygonThenASmallOneDrawOnlyTheSmallOnesCorners) {
    Canvas& canvas = setUp();
    std::vector<SDL_Point> ring;
    for (int i = 0; i < 400; ++i) {
        const double a = i * 2 * M_PI / 400;
        ring.push_back({100 + static_cast<int>(std::lround(80 * std::cos(a))),
                        100 + static_cast<int>(std::lround(80 * std::sin(a)))});
    }
    canvas.drawFilledPolygon(ring, OTHER);
    EXPECT_EQ(OTHER, readFrame().at(100, 100));
    const Frame small = drawn(canvas, [](Canvas& c) {
        c.drawFilledPolygon(std::vector<SDL_Point>{{10, 10}, {30, 10}, {10, 30}}, INK);
    });
    const Frame alone =
        drawn(canvas, [](Canvas& c) { c.drawFilledTriangle(10, 10, 30, 10, 10, 30, INK); });
    EXPECT_EQ("", firstDifference(alone, small));
}

TEST(Polygon, FlatFilledPolygonDrawsItsLine) {
    Canvas& canvas = setUp();
    const Frame frame = drawn(canvas, [](Canvas& c) {
        c.drawFilledPolygon(std::vector<SDL_Point>{{60, 70}, {20, 70}, {140, 70}, {30, 70}}, INK);
    });
    EXPECT_EQ(121, inkCount(frame));
    expectColour(frame, INK, {{20, 70}, {140, 70}});
}

// ---- Ellipses --------------------------------------------------------------------

TEST(Ellipse, OutlineReachesItsRadiiAndLeavesItsCentre) {
    Canvas& canvas = setUp();
    const Frame frame = drawn(canvas, [](Canvas& c) { c.drawEllipse(100, 90, 70, 30, INK); });
    expectColour(frame, INK, {{30, 90}, {170, 90}, {100, 60}, {100, 120}});
    expectColour(frame, PAPER, {{100, 90}, {29, 90}, {171, 90}, {100, 59}, {100, 121}, {140, 90}});
}

TEST(Ellipse, FilledCoversItsInsideAndNothingBeyond) {
    Canvas& canvas = setUp();
    const int cx = 100, cy = 90, rx = 70, ry = 30;
    const Frame frame = drawn(canvas, [&](Canvas& c) { c.drawFilledEllipse(cx, cy, rx, ry, INK); });
    expectColour(frame, INK, {{30, 90}, {170, 90}, {100, 60}, {100, 120}});
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            const double inner =
                std::pow((x - cx) / (rx - 1.0), 2) + std::pow((y - cy) / (ry - 1.0), 2);
            const double outer =
                std::pow((x - cx) / (rx + 1.0), 2) + std::pow((y - cy) / (ry + 1.0), 2);
            if (inner < 1) {
                ASSERT_EQ(INK, frame.at(x, y)) << "inside at (" << x << ", " << y << ")";
            } else if (outer > 1) {
                ASSERT_EQ(PAPER, frame.at(x, y)) << "outside at (" << x << ", " << y << ")";
            }
        }
    }
}

TEST(Ellipse, ZeroRadiusIsALineAndNegativeRadiusNothing) {
    Canvas& canvas = setUp();
    Frame frame = drawn(canvas, [](Canvas& c) {
        c.drawEllipse(50, 50, 0, 20, INK);
        c.drawFilledEllipse(150, 50, 20, 0, INK);
    });
    EXPECT_EQ(82, inkCount(frame));
    expectColour(frame, INK, {{50, 30}, {50, 70}, {130, 50}, {170, 50}});
    frame = drawn(canvas, [](Canvas& c) {
        c.drawEllipse(50, 50, -5, 20, INK);
        c.drawFilledEllipse(50, 50, 20, -1, INK);
        c.drawArc(50, 50, -10, 0, 90, INK);
        c.drawFilledPie(50, 50, -10, 0, 90, INK);
    });
    EXPECT_EQ(0, inkCount(frame));
}

// ---- Colour forms, the invisible default, and input out of range ------------------------

namespace {

const std::vector<SDL_Point> POINTS = {{20, 20}, {180, 40}, {100, 170}};
const std::vector<int> XS = {20, 180, 100};
const std::vector<int> YS = {20, 40, 170};

// Every new family once, in the colour form colour... selects.
template <typename... Colour> void drawEveryFamily(Canvas& c, Colour... colour) {
    c.drawFilledRectangle(10, 10, 40, 30, colour...);
    c.drawTriangle(50, 10, 90, 10, 70, 40, colour...);
    c.drawFilledTriangle(100, 10, 140, 10, 120, 40, colour...);
    c.drawPolygon(POINTS, colour...);
    c.drawPolygon(XS, YS, colour...);
    c.drawFilledPolygon(POINTS, colour...);
    c.drawFilledPolygon(XS, YS, colour...);
    c.drawEllipse(100, 100, 40, 20, colour...);
    c.drawFilledEllipse(100, 100, 20, 10, colour...);
    c.drawArc(150, 150, 30, 0, 200, colour...);
    c.drawFilledPie(50, 150, 30, 45, 300, colour...);
    c.drawThickLine(10, 190, 190, 180, 6, colour...);
}

} // namespace

TEST(ShapeColourForms, AllThreeFormsAgreeAndKeepTheForeground) {
    Canvas& canvas = setUp();
    checkColourForms(canvas, "filled rectangle", {40, 30},
                     [](Canvas& c, auto... k) { c.drawFilledRectangle(10, 20, 40, 30, k...); });
    checkColourForms(canvas, "triangle", {90, 10},
                     [](Canvas& c, auto... k) { c.drawTriangle(50, 10, 90, 10, 70, 40, k...); });
    checkColourForms(canvas, "filled triangle", {70, 20}, [](Canvas& c, auto... k) {
        c.drawFilledTriangle(50, 10, 90, 10, 70, 40, k...);
    });
    checkColourForms(canvas, "polygon", {180, 40},
                     [](Canvas& c, auto... k) { c.drawPolygon(POINTS, k...); });
    checkColourForms(canvas, "polygon xs ys", {180, 40},
                     [](Canvas& c, auto... k) { c.drawPolygon(XS, YS, k...); });
    checkColourForms(canvas, "filled polygon", {100, 60},
                     [](Canvas& c, auto... k) { c.drawFilledPolygon(POINTS, k...); });
    checkColourForms(canvas, "filled polygon xs ys", {100, 60},
                     [](Canvas& c, auto... k) { c.drawFilledPolygon(XS, YS, k...); });
    checkColourForms(canvas, "ellipse", {140, 100},
                     [](Canvas& c, auto... k) { c.drawEllipse(100, 100, 40, 20, k...); });
    checkColourForms(canvas, "filled ellipse", {100, 100},
                     [](Canvas& c, auto... k) { c.drawFilledEllipse(100, 100, 40, 20, k...); });
    checkColourForms(canvas, "arc", {100, 130},
                     [](Canvas& c, auto... k) { c.drawArc(100, 100, 30, 0, 200, k...); });
    checkColourForms(canvas, "pie", {110, 110},
                     [](Canvas& c, auto... k) { c.drawFilledPie(100, 100, 30, 0, 90, k...); });
    checkColourForms(canvas, "thick line", {100, 100},
                     [](Canvas& c, auto... k) { c.drawThickLine(10, 100, 190, 100, 6, k...); });
}

TEST(ShapeColourForms, DefaultForegroundIsInvisibleAndTranslucentInkBlends) {
    Canvas& canvas = setUp();
    drawEveryFamily(canvas);
    EXPECT_EQ(0, inkCount(readFrame()));
    // Half-transparent black over white: grey, once, not darker where the
    // canvas mends a pixel SDL2_gfx leaves out.
    canvas.drawArc(100, 100, 50, 0, 90, 0, 0, 0, 128);
    canvas.drawThickLine(20, 20, 20, 20, 4, 0, 0, 0, 128);
    const Frame frame = readFrame();
    EXPECT_EQ(frame.at(100, 150), frame.at(150, 100));
    EXPECT_EQ(frame.at(100, 150), frame.at(20, 20));
    EXPECT_NE(PAPER, frame.at(20, 20));
}

TEST(ShapeGeometry, ExtremeInputNeverCrashes) {
    Canvas& canvas = setUp();
    // The extremes of int and of 16 bits, in every argument of every family.
    for (const int v : {INT_MIN, INT_MAX, -32768, 32767, 0, -1}) {
        for (const int w : {INT_MIN, INT_MAX, 32767, 1}) {
            canvas.drawFilledRectangle(v, w, w, v);
            canvas.drawTriangle(v, v, w, w, v, w, INK);
            canvas.drawFilledTriangle(v, 0, 0, w, w, v, INK);
            canvas.drawPolygon(std::vector<SDL_Point>{{v, v}, {w, 0}, {0, w}}, INK);
            canvas.drawFilledPolygon({v, w, 0, v}, {w, v, 0, 0}, INK);
            canvas.drawEllipse(100, 100, v, w, INK);
            canvas.drawFilledEllipse(v, w, 20, 20, INK);
            canvas.drawArc(v, w, 30, v, w, INK);
            canvas.drawArc(100, 100, w, 0, v, INK);
            canvas.drawFilledPie(100, 100, 40, v, w, INK);
            // (SDL2_gfx takes seconds for a pie 32767 pixels wide: it
            // traces its edge in steps of 3 pixels, then fills that polygon.)
            canvas.drawFilledPie(v, 100, w % 3000, 0, 90, INK);
            canvas.drawThickLine(v, w, w, v, 20, INK);
            canvas.drawThickLine(v, v, v, v, w, INK);
        }
    }
}

TEST(ShapeGeometry, BeforeSetUpNothingCrashes) {
    Canvas& canvas = Canvas::getInstance();
    drawEveryFamily(canvas, INK);
}
