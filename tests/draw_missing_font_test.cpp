// Text drawing when the default font file cannot be opened: the default font
// id is -1, so the forms that rely on it must fail loudly and say why.

#include <gtest/gtest.h>

#include <string>

#include "canvas/canvas.h"

namespace {

// The message of the out_of_range that draw() raises; empty if none.
template <typename Draw> std::string outOfRangeMessage(Draw draw) {
    try {
        draw();
    } catch (const std::out_of_range& error) {
        return error.what();
    }
    return "";
}

} // namespace

TEST(MissingDefaultFont, ShortTextFormsThrowNamingTheFont) {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 100, 100);
    canvas.setForegroundColor(Color(BLACK));
    canvas.clear();

    const std::string foregroundForm = outOfRangeMessage([&] { canvas.drawText(5, 5, "Hi"); });
    const std::string colourForm =
        outOfRangeMessage([&] { canvas.drawText(5, 5, "Hi", Color(BLUE)); });
    for (const std::string& message : {foregroundForm, colourForm}) {
        EXPECT_NE(std::string::npos, message.find(DEFAULT_FONT)) << message;
        EXPECT_NE(std::string::npos, message.find("could not be opened")) << message;
    }
    EXPECT_THROW(canvas.drawText(5, 5, "Hi", Color(BLUE), 1), std::out_of_range);
}
