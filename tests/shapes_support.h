// What the drawing and shape tests share: a 200 x 200 canvas on white paper, inks whose
// channels all differ, and ways to draw on a clear frame and count its ink.
#ifndef VANTREL_TESTS_SHAPES_SUPPORT_H
#define VANTREL_TESTS_SHAPES_SUPPORT_H

#include <gtest/gtest.h>

#include <initializer_list>

#include "canvas/canvas.h"
#include "fixtures.h"
#include "pixels.h"

namespace shapes_support {

using pixels::countInside;
using pixels::firstDifference;
using pixels::Frame;
using pixels::readFrame;

constexpr int SIZE = 200;
// Channels that all differ, so a swapped pair of channels shows.
constexpr Color INK(200, 100, 50, 255);
constexpr Color OTHER(10, 220, 90, 255);
const Color PAPER(WHITE);

// A set-up SIZE x SIZE canvas, cleared to background; the foreground stays at
// its default unless the test sets it.
inline Canvas& setUp(const Color& background = PAPER) {
    return fixtures::setUpOnPaper(SIZE, SIZE, background);
}

inline void expectColour(const Frame& frame, const Color& colour,
                         std::initializer_list<SDL_Point> points) {
    for (const SDL_Point& p : points) {
        EXPECT_EQ(colour, frame.at(p.x, p.y)) << "at (" << p.x << ", " << p.y << ")";
    }
}

inline bool inked(const Color& c) { return c != PAPER; }

inline int inkCount(const Frame& frame) { return countInside(frame, {0, 0, SIZE, SIZE}, inked); }

// Draws with draw(canvas) on a clear frame and returns the frame.
template <typename Draw> Frame drawn(Canvas& canvas, Draw draw) {
    canvas.clear();
    draw(canvas);
    return readFrame();
}

// draw(canvas, colour...) draws one shape in the given colour form. The Color
// form and the four-channel form must draw the same pixels (probe among them),
// and neither may change the foreground that the geometry-only form uses.
template <typename Draw>
void checkColourForms(Canvas& canvas, const char* name, SDL_Point probe, Draw draw) {
    SCOPED_TRACE(name);
    canvas.setForegroundColor(INK);
    canvas.clear();
    draw(canvas, INK);
    const Frame reference = readFrame();
    EXPECT_EQ(INK, reference.at(probe.x, probe.y));

    canvas.clear();
    draw(canvas, INK.getRed(), INK.getGreen(), INK.getBlue(), INK.getAlpha());
    EXPECT_EQ("", firstDifference(reference, readFrame()));

    draw(canvas, OTHER);
    draw(canvas, OTHER.getRed(), OTHER.getGreen(), OTHER.getBlue(), OTHER.getAlpha());
    canvas.clear();
    draw(canvas);
    EXPECT_EQ("", firstDifference(reference, readFrame()));
}

} // namespace shapes_support

#endif
