// Arcs, pies and thick lines, checked pixel by pixel in the frame read back
// from the software renderer: where each starts and ends, whole turns, widths
// and degenerate input, including the faults of SDL2_gfx the canvas mends.
// Then every family reaching far beyond what SDL2_gfx's coordinates hold.

#include <SDL2_gfxPrimitives.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <vector>

#include "canvas/canvas.h"
#include "pixels.h"
#include "shapes_support.h"

using pixels::countInside;
using pixels::firstDifference;
using pixels::Frame;
using pixels::readFrame;
using namespace shapes_support;

// ---- Arcs and pies ------------------------------------------------------------------

namespace {

// Ink in each quarter around (100, 100), clockwise from the bottom-right one,
// leaving out the two axes.
std::vector<int> quarters(const Frame& f) {
    return {countInside(f, {101, 101, 99, 99}, inked), countInside(f, {0, 101, 100, 99}, inked),
            countInside(f, {0, 0, 100, 100}, inked), countInside(f, {101, 0, 99, 100}, inked)};
}

} // namespace

TEST(Arc, AnglesStartAtTheRightAndGrowClockwise) {
    Canvas& canvas = setUp();
    const Frame frame = drawn(canvas, [](Canvas& c) { c.drawArc(100, 100, 50, 0, 90, INK); });
    expectColour(frame, INK, {{150, 100}, {100, 150}}); // both ends
    const std::vector<int> q = quarters(frame);
    EXPECT_GT(q[0], 40);
    EXPECT_EQ(0, q[1] + q[2] + q[3]);
    // Past 0 when the end is the smaller; -90 is 270.
    const Frame wrapped = drawn(canvas, [](Canvas& c) { c.drawArc(100, 100, 50, 90, 0, INK); });
    const std::vector<int> w = quarters(wrapped);
    EXPECT_EQ(0, w[0]);
    EXPECT_GT(w[1] * w[2] * w[3], 0);
    EXPECT_EQ("", firstDifference(
                      drawn(canvas, [](Canvas& c) { c.drawArc(100, 100, 50, 270, 360, INK); }),
                      drawn(canvas, [](Canvas& c) { c.drawArc(100, 100, 50, -90, 0, INK); })));
}

TEST(Arc, BothEndsOnEveryAxisAreIncluded) {
    Canvas& canvas = setUp();
    const SDL_Point axis[4] = {{160, 100}, {100, 160}, {40, 100}, {100, 40}};
    for (int start = 0; start < 4; ++start) {
        for (int span = 1; span <= 3; ++span) {
            const int end = start + span;
            const Frame frame = drawn(
                canvas, [&](Canvas& c) { c.drawArc(100, 100, 60, start * 90, end * 90, INK); });
            EXPECT_EQ(INK, frame.at(axis[start].x, axis[start].y))
                << start * 90 << ".." << end * 90;
            EXPECT_EQ(INK, frame.at(axis[end % 4].x, axis[end % 4].y))
                << start * 90 << ".." << end * 90;
        }
    }
}

TEST(Arc, AWholeTurnIsTheCircleAndEqualAnglesNothing) {
    Canvas& canvas = setUp();
    const Frame circle = drawn(canvas, [](Canvas& c) { c.drawCircle(100, 100, 50, INK); });
    for (const int start : {0, 45, -720}) {
        for (const int extra : {0, 1, 1000}) {
            const Frame arc = drawn(canvas, [&](Canvas& c) {
                c.drawArc(100, 100, 50, start, start + 360 + extra, INK);
            });
            EXPECT_EQ("", firstDifference(circle, arc)) << start << ", " << extra;
        }
    }
    EXPECT_EQ(0, inkCount(drawn(canvas, [](Canvas& c) { c.drawArc(100, 100, 50, 30, 30, INK); })));
    // Angles far beyond 16 bits still mean the same direction.
    EXPECT_EQ("",
              firstDifference(drawn(canvas, [](Canvas& c) { c.drawArc(100, 100, 50, 0, 90, INK); }),
                              drawn(canvas, [](Canvas& c) {
                                  c.drawArc(100, 100, 50, 360 * 1000, 360 * 1000 + 90, INK);
                              })));
}

TEST(Pie, FillsItsSliceFromTheCentre) {
    Canvas& canvas = setUp();
    const Frame frame = drawn(canvas, [](Canvas& c) { c.drawFilledPie(100, 100, 60, 0, 90, INK); });
    expectColour(frame, INK, {{100, 100}, {160, 100}, {100, 160}, {130, 130}, {140, 110}});
    const std::vector<int> q = quarters(frame);
    EXPECT_GT(q[0], 2500);
    EXPECT_EQ(0, q[1] + q[2] + q[3]);
    // Three quarters, past 0.
    const std::vector<int> w =
        quarters(drawn(canvas, [](Canvas& c) { c.drawFilledPie(100, 100, 60, 90, 0, INK); }));
    EXPECT_EQ(0, w[0]);
    EXPECT_GT(std::min({w[1], w[2], w[3]}), 2500);
}

TEST(Pie, AWholeTurnIsTheDiscAndEqualAnglesOneRadius) {
    Canvas& canvas = setUp();
    const Frame disc = drawn(canvas, [](Canvas& c) { c.drawFilledCircle(100, 100, 50, INK); });
    EXPECT_EQ("", firstDifference(disc, drawn(canvas, [](Canvas& c) {
                                      c.drawFilledPie(100, 100, 50, 0, 360, INK);
                                  })));
    EXPECT_EQ("", firstDifference(disc, drawn(canvas, [](Canvas& c) {
                                      c.drawFilledPie(100, 100, 50, -90, 300, INK);
                                  })));
    const Frame radius = drawn(canvas, [](Canvas& c) { c.drawFilledPie(100, 100, 50, 0, 0, INK); });
    expectColour(radius, INK, {{100, 100}, {150, 100}});
    EXPECT_EQ(51, inkCount(radius));
}

// ---- Thick lines --------------------------------------------------------------------

TEST(ThickLine, CoversItsWidthAcrossAndBothEnds) {
    Canvas& canvas = setUp();
    // Width 4 across a row: two rows above the line, the line and one below.
    Frame frame = drawn(canvas, [](Canvas& c) { c.drawThickLine(20, 50, 180, 50, 4, INK); });
    EXPECT_EQ(161 * 4, inkCount(frame));
    EXPECT_EQ(161 * 4,
              countInside(frame, {20, 48, 161, 4}, [](const Color& c) { return c == INK; }));
    // Width 5 down a column, drawn from the bottom end.
    frame = drawn(canvas, [](Canvas& c) { c.drawThickLine(100, 180, 100, 30, 5, INK); });
    EXPECT_EQ(151 * 5,
              countInside(frame, {98, 30, 5, 151}, [](const Color& c) { return c == INK; }));
    EXPECT_EQ(151 * 5, inkCount(frame));
    // A diagonal covers both ends and its middle.
    frame = drawn(canvas, [](Canvas& c) { c.drawThickLine(20, 20, 180, 160, 9, INK); });
    expectColour(frame, INK, {{20, 20}, {180, 160}, {100, 90}, {103, 87}});
    expectColour(frame, PAPER, {{100, 60}, {100, 120}});
}

TEST(ThickLine, SlantedLinesKeepBothEndsAndOtherwiseMatchTheLibrary) {
    Canvas& canvas = setUp();
    SDL_Renderer* renderer = pixels::canvasRenderer();
    int mended = 0;
    for (int x1 = 5; x1 < 80; x1 += 23) {
        for (int y2 = 0; y2 < SIZE; y2 += 37) {
            for (int width = 2; width < 20; width += 5) {
                const int y1 = 10 + x1 / 2, x2 = 190 - y2 / 3;
                canvas.clear();
                thickLineRGBA(renderer, x1, y1, x2, y2, width, 200, 100, 50, 255);
                const Frame library = readFrame();
                const Frame frame =
                    drawn(canvas, [&](Canvas& c) { c.drawThickLine(x1, y1, x2, y2, width, INK); });
                SCOPED_TRACE(std::to_string(x1) + ", " + std::to_string(y1) + " to " +
                             std::to_string(x2) + ", " + std::to_string(y2) + " width " +
                             std::to_string(width));
                expectColour(frame, INK, {{x1, y1}, {x2, y2}});
                for (int y = 0; y < SIZE; ++y) {
                    for (int x = 0; x < SIZE; ++x) {
                        if (frame.at(x, y) != library.at(x, y)) {
                            ASSERT_TRUE((x == x1 && y == y1) || (x == x2 && y == y2))
                                << "differs at (" << x << ", " << y << ")";
                            ++mended;
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(mended, 0); // the library alone does miss ends
}

TEST(ThickLine, DegenerateWidthsAndPoints) {
    Canvas& canvas = setUp();
    const Frame thin = drawn(canvas, [](Canvas& c) { c.drawLine(10, 20, 150, 90, INK); });
    EXPECT_EQ("", firstDifference(thin, drawn(canvas, [](Canvas& c) {
                                      c.drawThickLine(10, 20, 150, 90, 1, INK);
                                  })));
    EXPECT_EQ(0, inkCount(drawn(canvas, [](Canvas& c) {
                  c.drawThickLine(10, 20, 150, 90, 0, INK);
                  c.drawThickLine(10, 20, 150, 90, -3, INK);
                  c.drawThickLine(10, 20, 150, 90, INT_MIN, INK);
              })));
    // Wider than 255 is 255, not the width's low byte.
    Frame frame =
        drawn(canvas, [](Canvas& c) { c.drawThickLine(-100, 100, 300, 100, 256 + 10, INK); });
    EXPECT_EQ(SIZE * SIZE, inkCount(frame));
    // A point is a width x width square placed as a line through it would be.
    frame = drawn(canvas, [](Canvas& c) {
        c.drawThickLine(50, 50, 50, 50, 4, INK);
        c.drawThickLine(150, 150, 150, 150, 5, OTHER);
    });
    EXPECT_EQ(16, countInside(frame, {48, 48, 4, 4}, [](const Color& c) { return c == INK; }));
    EXPECT_EQ(25, countInside(frame, {148, 148, 5, 5}, [](const Color& c) { return c == OTHER; }));
    EXPECT_EQ(41, inkCount(frame));
}

// Shapes reaching far beyond 16 bits, each drawn in a 200 x 200 window: what
// shows is what the whole shape covers there. With a twin, the far shape must
// draw exactly the pixels of a near shape that looks the same in the window.
TEST(ShapeGeometry, FarShapesDrawWhatShowsOfThem) {
    using Draw = std::function<void(Canvas&)>;
    struct Case {
        const char* name;
        Draw far, twin;
        std::vector<SDL_Point> inked, paper;
    };
    const auto bigImage = [](Canvas& c, const Draw& draw) {
        const ImageId image = c.createImage(400, 400);
        c.drawInto(image);
        draw(c);
        c.drawIntoWindow();
        c.drawImage(image, -200, -200);
    };
    const std::vector<Case> cases = {
        {"filled rectangle",
         [](Canvas& c) { c.drawFilledRectangle(180, 160, 100000, 100000, INK); },
         [](Canvas& c) { c.drawFilledRectangle(180, 160, 300, 300, INK); },
         {},
         {}},
        {"rectangle",
         [](Canvas& c) { c.drawRectangle(20, 30, 100000, -100000, INK); },
         [](Canvas& c) { c.drawRectangle(20, 30, 300, -300, INK); },
         {},
         {}},
        {"rounded box",
         [](Canvas& c) { c.drawRoundedBox(20, 20, 100000, 100000, 10, INK); },
         [](Canvas& c) { c.drawRoundedBox(20, 20, 300, 300, 10, INK); },
         {},
         {}},
        {"negative radius",
         [](Canvas& c) { c.drawRoundedBox(20, 20, 60, 60, -40000, INK); },
         [](Canvas& c) { c.drawFilledRectangle(20, 20, 60, 60, INK); },
         {},
         {}},
        {"disc",
         [](Canvas& c) { c.drawFilledCircle(160, 120, 40000, INK); },
         [](Canvas& c) { c.drawFilledRectangle(0, 0, 199, 199, INK); },
         {},
         {}},
        {"ellipse",
         [](Canvas& c) { c.drawFilledEllipse(160, 120, 40000, 30000, INK); },
         [](Canvas& c) { c.drawFilledRectangle(0, 0, 199, 199, INK); },
         {},
         {}},
        {"into a big image",
         [&](Canvas& c) {
             bigImage(c, [](Canvas& i) { i.drawFilledRectangle(300, 300, 100000, 100000, INK); });
         },
         [](Canvas& c) { c.drawFilledRectangle(100, 100, 199, 199, INK); },
         {},
         {}},
        {"wholly outside or around",
         [](Canvas& c) {
             c.drawCircle(100, 100, 40000, INK);
             c.drawFilledCircle(100000, 100, 50, INK);
             c.drawFilledPolygon({-100000, -90000, -95000}, {0, 0, 100000}, INK);
             c.drawLine(-100000, 300, 100000, 250, INK);
             c.drawArc(100, 40100, 40000, 0, 180, INK);
         },
         [](Canvas&) {},
         {},
         {}},
        {"camera",
         [](Canvas& c) {
             c.setCamera(-60000, 0);
             c.drawLine(-160000, -50000, 0, 30000, INK);
             c.setCamera(0, 0);
         },
         [](Canvas& c) { c.drawLine(-100000, -50000, 60000, 30000, INK); },
         {},
         {}},
        {"line keeps its slope",
         [](Canvas& c) { c.drawLine(-100000, -50000, 60000, 30000, INK); },
         nullptr,
         {{0, 0}, {100, 50}, {198, 99}},
         {{100, 48}, {100, 52}, {50, 30}}},
        {"steep line",
         [](Canvas& c) { c.drawLine(60, -70000, 130, 70000, INK); },
         nullptr,
         {{95, 0}, {95, 100}, {95, 199}},
         {{94, 100}, {96, 100}}},
        {"thick line",
         [](Canvas& c) { c.drawThickLine(-100000, 100, 70000, 100, 9, INK); },
         nullptr,
         {{0, 96}, {100, 100}, {199, 104}},
         {{100, 94}, {100, 106}}},
        {"filled polygon",
         [](Canvas& c) {
             c.drawFilledPolygon(
                 std::vector<SDL_Point>{{-100000, -100000}, {100000, -100000}, {100, 150}}, INK);
         },
         nullptr,
         {{0, 0}, {199, 0}, {60, 100}, {140, 100}, {100, 149}},
         {{40, 100}, {160, 100}, {100, 152}, {0, 199}}},
        {"polygon",
         [](Canvas& c) {
             c.drawPolygon({-100000, 70000, 70000, -100000}, {50, 50, 60, 60}, INK);
         },
         nullptr,
         {{0, 50}, {100, 50}, {199, 60}},
         {{100, 55}, {100, 49}}},
        {"triangle",
         [](Canvas& c) { c.drawTriangle(100, 100, 100000, 100, 100, 100000, INK); },
         nullptr,
         {{100, 100}, {199, 100}, {100, 199}},
         {{150, 150}, {99, 100}, {100, 99}}},
        {"ring through",
         [](Canvas& c) { c.drawCircle(100, 40100, 40000, INK); },
         nullptr,
         {{0, 100}, {100, 100}, {199, 100}},
         {{100, 99}, {100, 101}, {100, 50}}},
        {"arc through",
         [](Canvas& c) { c.drawArc(100, 40100, 40000, 260, 280, INK); },
         nullptr,
         {{0, 100}, {100, 100}, {199, 100}},
         {{100, 99}, {100, 101}}},
        {"pie",
         [](Canvas& c) { c.drawFilledPie(100, 40100, 40000, 180, 270, INK); },
         nullptr,
         {{10, 120}, {99, 150}, {0, 199}},
         {{150, 150}, {50, 90}}},
        {"ellipse edge",
         [](Canvas& c) { c.drawFilledEllipse(100, 30100, 40000, 30000, INK); },
         nullptr,
         {{100, 101}, {0, 199}, {199, 150}},
         {{100, 98}, {0, 50}}},
    };
    Canvas& canvas = setUp();
    for (const Case& t : cases) {
        SCOPED_TRACE(t.name);
        const Frame frame = drawn(canvas, t.far);
        if (t.twin) {
            EXPECT_EQ("", firstDifference(drawn(canvas, t.twin), frame));
        }
        for (const SDL_Point& p : t.inked) {
            EXPECT_EQ(INK, frame.at(p.x, p.y)) << "at (" << p.x << ", " << p.y << ")";
        }
        for (const SDL_Point& p : t.paper) {
            EXPECT_EQ(PAPER, frame.at(p.x, p.y)) << "at (" << p.x << ", " << p.y << ")";
        }
    }
}
