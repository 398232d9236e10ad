// The camera: every call family drawn with the camera at (x, y) lands where
// the same call without a camera lands when given coordinates moved by
// (-x, -y); setCamera(0, 0) puts window coordinates back; the mouse in world
// coordinates; and no camera while drawing into an image.

#include <gtest/gtest.h>

#include <SDL_image.h>

#include <functional>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "fixtures.h"
#include "pixels.h"

using pixels::firstDifference;
using pixels::Frame;
using pixels::readFrame;

namespace {

constexpr int SIZE = 160;
const Color PAPER(BLACK);
constexpr Color INK(250, 120, 10, 255);

Canvas& setUp() {
    Canvas& canvas = fixtures::setUpOnPaper(SIZE, SIZE, PAPER);
    canvas.setForegroundColor(INK);
    return canvas;
}

ImageId loadPicture(Canvas& canvas) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 3, 2, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, 40, 200, 90, 255));
    SDL_Rect corner = {0, 0, 1, 1};
    SDL_FillRect(surface, &corner, SDL_MapRGBA(surface->format, 240, 20, 200, 255));
    const std::string path = std::string(VANTREL_TEST_BINARY_DIR) + "/camera_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                             ".png";
    IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
    const ImageId id = canvas.loadImage(path);
    EXPECT_GT(id, 0) << canvas.getImageError();
    return id;
}

// One call family, drawn with its geometry moved by (dx, dy).
struct Family {
    const char* name;
    std::function<void(Canvas&, int dx, int dy)> draw;
};

std::vector<Family> families(ImageId picture) {
    return {
        {"drawPixel", [](Canvas& c, int dx, int dy) { c.drawPixel(50 + dx, 60 + dy); }},
        {"drawLine",
         [](Canvas& c, int dx, int dy) { c.drawLine(40 + dx, 50 + dy, 90 + dx, 75 + dy); }},
        {"drawRectangle",
         [](Canvas& c, int dx, int dy) { c.drawRectangle(40 + dx, 50 + dy, 70 + dx, 65 + dy); }},
        {"drawRoundedBox", [](Canvas& c, int dx,
                              int dy) { c.drawRoundedBox(40 + dx, 50 + dy, 80 + dx, 75 + dy, 6); }},
        {"drawCircle", [](Canvas& c, int dx, int dy) { c.drawCircle(60 + dx, 60 + dy, 15); }},
        {"drawFilledCircle",
         [](Canvas& c, int dx, int dy) { c.drawFilledCircle(60 + dx, 60 + dy, 15); }},
        {"drawFilledRectangle",
         [](Canvas& c, int dx, int dy) {
             c.drawFilledRectangle(45 + dx, 55 + dy, 60 + dx, 70 + dy);
         }},
        {"drawTriangle",
         [](Canvas& c, int dx, int dy) {
             c.drawTriangle(40 + dx, 50 + dy, 80 + dx, 55 + dy, 55 + dx, 80 + dy);
         }},
        {"drawFilledTriangle",
         [](Canvas& c, int dx, int dy) {
             c.drawFilledTriangle(40 + dx, 50 + dy, 80 + dx, 55 + dy, 55 + dx, 80 + dy);
         }},
        {"drawPolygon (points)",
         [](Canvas& c, int dx, int dy) {
             c.drawPolygon(
                 {{40 + dx, 50 + dy}, {80 + dx, 52 + dy}, {70 + dx, 80 + dy}, {45 + dx, 70 + dy}});
         }},
        {"drawPolygon (xs, ys)",
         [](Canvas& c, int dx, int dy) {
             c.drawPolygon({40 + dx, 80 + dx, 60 + dx}, {50 + dy, 60 + dy, 80 + dy});
         }},
        {"drawFilledPolygon (points)",
         [](Canvas& c, int dx, int dy) {
             c.drawFilledPolygon({{40 + dx, 50 + dy}, {80 + dx, 52 + dy}, {70 + dx, 80 + dy}});
         }},
        {"drawFilledPolygon (xs, ys)",
         [](Canvas& c, int dx, int dy) {
             c.drawFilledPolygon({40 + dx, 80 + dx, 60 + dx, 45 + dx},
                                 {50 + dy, 60 + dy, 80 + dy, 75 + dy});
         }},
        {"drawEllipse", [](Canvas& c, int dx, int dy) { c.drawEllipse(60 + dx, 60 + dy, 20, 9); }},
        {"drawFilledEllipse",
         [](Canvas& c, int dx, int dy) { c.drawFilledEllipse(60 + dx, 60 + dy, 20, 9); }},
        {"drawArc", [](Canvas& c, int dx, int dy) { c.drawArc(60 + dx, 60 + dy, 18, 20, 250); }},
        {"drawFilledPie",
         [](Canvas& c, int dx, int dy) { c.drawFilledPie(60 + dx, 60 + dy, 18, 20, 250); }},
        {"drawThickLine",
         [](Canvas& c, int dx, int dy) { c.drawThickLine(40 + dx, 50 + dy, 85 + dx, 72 + dy, 7); }},
        {"drawText", [](Canvas& c, int dx, int dy) { c.drawText(40 + dx, 50 + dy, "Wg"); }},
        {"drawTextCentered",
         [](Canvas& c, int dx, int dy) { c.drawTextCentered(60 + dx, 60 + dy, "Wg"); }},
        {"drawTextRight",
         [](Canvas& c, int dx, int dy) { c.drawTextRight(90 + dx, 50 + dy, "Wg"); }},
        {"drawImage",
         [picture](Canvas& c, int dx, int dy) { c.drawImage(picture, 50 + dx, 60 + dy); }},
        {"drawImage (scaled, turned, mirrored)",
         [picture](Canvas& c, int dx, int dy) {
             c.drawImage(picture, 50 + dx, 60 + dy, 7.0, 30.0, FLIP_VERTICAL);
         }},
        {"drawImageSized",
         [picture](Canvas& c, int dx, int dy) {
             c.drawImageSized(picture, 50 + dx, 60 + dy, 30, 11);
         }},
        {"drawImagePart",
         [picture](Canvas& c, int dx, int dy) {
             c.drawImagePart(picture, 0, 0, 2, 2, 50 + dx, 60 + dy, 20, 20, 90.0);
         }},
    };
}

Frame drawnAlone(Canvas& canvas, const Family& family, int dx, int dy) {
    canvas.clear();
    family.draw(canvas, dx, dy);
    return readFrame();
}

int inkCount(const Frame& frame) {
    return pixels::countInside(frame, SDL_Rect{0, 0, frame.width, frame.height},
                               [](const Color& c) { return c != PAPER; });
}

} // namespace

// Each family, with the camera at (30, -20), draws exactly what it draws
// without a camera moved 30 pixels left and 20 down; after setCamera(0, 0)
// it draws at window coordinates again.
TEST(Camera, MovesEveryCallFamilyAlikeAndLeavesItAtZero) {
    Canvas& canvas = setUp();
    const ImageId picture = loadPicture(canvas);
    for (const Family& family : families(picture)) {
        SCOPED_TRACE(family.name);
        canvas.setCamera(0, 0);
        const Frame plain = drawnAlone(canvas, family, 0, 0);
        const Frame moved = drawnAlone(canvas, family, -30, 20);
        canvas.setCamera(30, -20);
        const Frame withCamera = drawnAlone(canvas, family, 0, 0);
        canvas.setCamera(0, 0);
        const Frame afterwards = drawnAlone(canvas, family, 0, 0);

        EXPECT_GT(inkCount(plain), 0) << "draws nothing to compare";
        EXPECT_NE("", firstDifference(plain, moved)) << "the move shows no change";
        EXPECT_EQ("", firstDifference(moved, withCamera));
        EXPECT_EQ("", firstDifference(plain, afterwards));
    }
    EXPECT_EQ(0, canvas.getCameraX());
    EXPECT_EQ(0, canvas.getCameraY());
}

// World coordinates past the 16 bits the shape library takes are fine once
// the camera brings them into the window.
TEST(Camera, FarWorldCoordinatesDrawNearTheCamera) {
    Canvas& canvas = setUp();
    canvas.setCamera(40000, -50000);
    EXPECT_EQ(40000, canvas.getCameraX());
    EXPECT_EQ(-50000, canvas.getCameraY());
    canvas.drawFilledRectangle(40010, -49990, 40019, -49981);
    canvas.drawText(40050, -49950, "far");
    canvas.drawLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX); // far off; nothing to overflow
    const Frame frame = readFrame();
    EXPECT_EQ(INK, frame.at(10, 10));
    EXPECT_EQ(INK, frame.at(19, 19));
    EXPECT_GT(pixels::countInside(frame, SDL_Rect{50, 50, 60, 50},
                                  [](const Color& c) { return c == INK; }),
              20)
        << "the text did not land near (50, 50)";
}

TEST(Camera, TheMouseInWorldCoordinates) {
    Canvas& canvas = setUp();
    canvas.start();
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 25;
    motion.motion.y = 70;
    SDL_PushEvent(&motion);
    canvas.isRunning();
    canvas.setCamera(300, -40);
    EXPECT_EQ(25, canvas.getMouseX()) << "the mouse stays in window pixels";
    EXPECT_EQ(70, canvas.getMouseY());
    EXPECT_EQ(325, canvas.getMouseWorldX());
    EXPECT_EQ(30, canvas.getMouseWorldY());
    canvas.setCamera(INT_MAX, INT_MIN);
    EXPECT_EQ(INT_MAX, canvas.getMouseWorldX());
    EXPECT_EQ(INT_MIN + 70, canvas.getMouseWorldY());
}

// While drawing into an image the image's own pixels are the coordinates;
// the camera applies again in the window, including one set meanwhile.
TEST(Camera, NotWhileDrawingIntoAnImage) {
    Canvas& canvas = setUp();
    const ImageId image = canvas.createImage(20, 20);
    canvas.setCamera(100, 100);
    ASSERT_TRUE(canvas.drawInto(image));
    canvas.drawPixel(3, 4);
    canvas.setCamera(-10, -20);
    canvas.drawPixel(5, 6);
    canvas.drawIntoWindow();
    canvas.drawImage(image, 0, 0); // at window (10, 20)
    canvas.drawPixel(100, 100);    // at window (110, 120)
    const Frame frame = readFrame();
    EXPECT_EQ(INK, frame.at(13, 24));
    EXPECT_EQ(INK, frame.at(15, 26));
    EXPECT_EQ(INK, frame.at(110, 120));
    EXPECT_EQ(3, inkCount(frame));
}

// The zoom scales about the camera's corner, survives drawing into an image
// (which it leaves alone), and the world mouse follows it; the window mouse,
// from the window's own events, stays in window pixels.
TEST(Camera, ZoomScalesAboutTheCornerAndTheWorldMouseFollows) {
    struct Row {
        double zoom;
        int cameraX, cameraY;
        int first, last; // window pixels the world square (10-19 from the corner) covers
        int mouseWorldX; // with the mouse at window x 60
    };
    Canvas& canvas = setUp();
    canvas.start();
    for (const Row& row :
         {Row{2, 0, 0, 20, 39, 30}, Row{0.5, 100, 50, 5, 9, 220}, Row{3, -30, 7, 30, 59, -10}}) {
        SCOPED_TRACE(row.zoom);
        canvas.setCamera(row.cameraX, row.cameraY);
        canvas.setCameraZoom(row.zoom);
        EXPECT_EQ(row.zoom, canvas.getCameraZoom());
        const ImageId image = canvas.createImage(8, 8);
        ASSERT_TRUE(canvas.drawInto(image));
        canvas.drawPixel(7, 7); // unzoomed: the image is 8 x 8
        canvas.drawIntoWindow();
        canvas.clear();
        canvas.drawFilledRectangle(row.cameraX + 10, row.cameraY + 10, row.cameraX + 19,
                                   row.cameraY + 19);
        Frame frame = readFrame();
        for (const int at : {row.first, row.last}) {
            EXPECT_EQ(INK, frame.at(at, at)) << at;
        }
        EXPECT_EQ(PAPER, frame.at(row.first - 1, row.first - 1));
        EXPECT_EQ(PAPER, frame.at(row.last + 1, row.last + 1));

        SDL_Event motion{};
        motion.type = SDL_MOUSEMOTION;
        motion.motion.windowID = SDL_GetWindowID(SDL_GetWindowFromID(1));
        motion.motion.x = 60;
        motion.motion.y = 40;
        SDL_PushEvent(&motion);
        canvas.isRunning();
        EXPECT_EQ(60, canvas.getMouseX());
        EXPECT_EQ(row.mouseWorldX, canvas.getMouseWorldX());
        canvas.setCameraZoom(1);
        canvas.setCamera(0, 0);
    }
}
