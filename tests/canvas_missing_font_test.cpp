// A canvas whose default font file does not exist (this test links a build
// of the framework configured with a missing default font).

#include "canvas/canvas.h"

#include <gtest/gtest.h>

TEST(MissingDefaultFont, CanvasStillConstructsAndLaterFontsStartAtOne) {
    Canvas& canvas = Canvas::getInstance();
    EXPECT_NE(DEFAULT_FONT, VANTREL_TEST_FONT);
    canvas.initWorld(0, 0, 32, 32);
    EXPECT_EQ(canvas.loadFont(VANTREL_TEST_FONT, 20), 1) << "no font was open before";
}
