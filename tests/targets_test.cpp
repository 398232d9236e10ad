// Images you draw into: what goes into them stays there and shows only where
// the image is drawn; drawing returns to the window; an image is never drawn
// into itself; sizes are checked; they save as PNG, clear, and come back
// after the graphics driver loses them. Checked by reading pixels back from
// the software renderer.

#include <gtest/gtest.h>

#include <SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "canvas/canvas.h"
#include "canvas/targets.h"
#include "fixtures.h"
#include "pixels.h"

using pixels::firstDifference;
using pixels::Frame;
using pixels::readFrame;
using pixels::str;

namespace {

constexpr int SIZE = 120;
const Color PAPER(BLACK);
constexpr Color INK(250, 120, 10, 255);
constexpr Color OTHER(20, 200, 240, 255);
constexpr Color CLEAR(0, 0, 0, 0);

// A file in the build folder, named after the running test so that tests
// running side by side never share one.
std::string fileFor(const std::string& name) { return fixtures::fileFor("targets_", name); }

Canvas& setUp() { return fixtures::setUpOnPaper(SIZE, SIZE, PAPER); }

// The pixels of an image, read through saveImage and SDL_image: what the
// program would find in the file.
Frame imagePixels(Canvas& canvas, ImageId image) {
    const std::string path = fileFor("read-" + std::to_string(image) + ".png");
    Frame frame;
    if (!canvas.saveImage(image, path)) {
        ADD_FAILURE() << "saveImage failed: " << canvas.getImageError();
        return frame;
    }
    SDL_Surface* loaded = IMG_Load(path.c_str());
    SDL_Surface* surface =
        loaded != nullptr ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0) : nullptr;
    SDL_FreeSurface(loaded);
    if (surface == nullptr) {
        ADD_FAILURE() << "cannot read " << path << ": " << SDL_GetError();
        return frame;
    }
    frame.width = surface->w;
    frame.height = surface->h;
    for (int y = 0; y < surface->h; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(surface->pixels) + y * surface->pitch;
        frame.rgba.insert(frame.rgba.end(), row, row + surface->w * 4);
    }
    SDL_FreeSurface(surface);
    return frame;
}

void expectBox(const SDL_Rect& expected, const Frame& frame, const Color& background = PAPER) {
    const SDL_Rect ink = pixels::inkBox(frame, background);
    EXPECT_TRUE(SDL_RectEquals(&expected, &ink))
        << "expected ink in " << str(expected) << ", found it in " << str(ink);
}

// A scene of every call family: shapes of each kind, text three ways, and a
// loaded image drawn plainly, scaled and turned, sized and in part.
void drawScene(Canvas& canvas, ImageId picture) {
    canvas.drawPixel(3, 3, INK);
    canvas.drawLine(5, 100, 60, 110, INK);
    canvas.drawRectangle(4, 6, 30, 20, OTHER);
    canvas.drawRoundedBox(35, 5, 60, 25, 4, INK);
    canvas.drawCircle(80, 15, 10, OTHER);
    canvas.drawFilledCircle(105, 15, 10, INK);
    canvas.drawFilledRectangle(5, 30, 15, 40, OTHER);
    canvas.drawTriangle(20, 30, 40, 30, 30, 45, INK);
    canvas.drawFilledTriangle(45, 30, 65, 30, 55, 45, OTHER);
    canvas.drawPolygon({{70, 30}, {90, 30}, {85, 45}, {72, 44}}, INK);
    canvas.drawFilledPolygon({95, 115, 110}, {30, 32, 45}, OTHER);
    canvas.drawEllipse(15, 60, 10, 6, INK);
    canvas.drawFilledEllipse(40, 60, 10, 6, OTHER);
    canvas.drawArc(65, 60, 9, 0, 200, INK);
    canvas.drawFilledPie(90, 60, 9, 30, 300, OTHER);
    canvas.drawThickLine(100, 80, 115, 95, 5, INK);
    canvas.drawText(2, 70, "Ab", Color(WHITE));
    canvas.drawTextCentered(70, 85, "c", Color(YELLOW));
    canvas.drawTextRight(118, 100, "d", Color(LIME));
    canvas.drawImage(picture, 62, 100);
    canvas.drawImage(picture, 70, 100, 2.0, 90.0, FLIP_HORIZONTAL);
    canvas.drawImageSized(picture, 80, 100, 6, 3);
    canvas.drawImagePart(picture, 1, 0, 1, 2, 90, 100, 4, 8);
}

// A 2 x 2 picture file: INK, OTHER over WHITE, BLUE.
ImageId loadPicture(Canvas& canvas) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 2, 2, 32, SDL_PIXELFORMAT_RGBA32);
    const Color colours[4] = {INK, OTHER, Color(WHITE), Color(BLUE)};
    for (int i = 0; i < 4; ++i) {
        auto* p =
            static_cast<std::uint8_t*>(surface->pixels) + (i / 2) * surface->pitch + (i % 2) * 4;
        p[0] = colours[i].getRed(), p[1] = colours[i].getGreen();
        p[2] = colours[i].getBlue(), p[3] = colours[i].getAlpha();
    }
    const std::string path = fileFor("picture.png");
    IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
    const ImageId id = canvas.loadImage(path);
    EXPECT_GT(id, 0) << canvas.getImageError();
    return id;
}

} // namespace

// ---- Where drawing goes --------------------------------------------------------

TEST(DrawInto, AShapeShowsWhereTheImageIsDrawnAndNowhereElse) {
    Canvas& canvas = setUp();
    const ImageId image = canvas.createImage(40, 30);
    ASSERT_EQ(1, image) << canvas.getImageError();
    EXPECT_EQ("", canvas.getImageError());
    EXPECT_EQ(40, canvas.getImageWidth(image));
    EXPECT_EQ(30, canvas.getImageHeight(image));
    ASSERT_TRUE(canvas.drawInto(image)) << canvas.getImageError();
    canvas.drawFilledRectangle(5, 5, 14, 9, INK); // the image's own pixels
    canvas.drawIntoWindow();

    const Frame untouched = readFrame();
    EXPECT_EQ(0, pixels::countOutside(untouched, SDL_Rect{0, 0, 0, 0},
                                      [](const Color& c) { return c != PAPER; }))
        << "drawing into the image reached the window";

    canvas.drawImage(image, 50, 60);
    Frame frame = readFrame();
    expectBox(SDL_Rect{55, 65, 10, 5}, frame);
    EXPECT_EQ(INK, frame.at(55, 65));
    EXPECT_EQ(INK, frame.at(64, 69));

    // The image is drawn like any other: scaled, turned, faded.
    canvas.clear();
    canvas.drawImage(image, 0, 0, 2.0);
    expectBox(SDL_Rect{10, 10, 20, 10}, readFrame());
    canvas.clear();
    canvas.drawImage(image, 10, 10, 1.0, 180.0);
    expectBox(SDL_Rect{10 + 40 - 15, 10 + 30 - 10, 10, 5}, readFrame());
    canvas.clear();
    canvas.setImageAlpha(image, 0);
    canvas.drawImage(image, 0, 0);
    expectBox(SDL_Rect{0, 0, 0, 0}, readFrame());
}

TEST(DrawInto, EveryCallFamilyGoesIntoTheImage) {
    Canvas& canvas = setUp();
    const ImageId picture = loadPicture(canvas);
    canvas.clear();
    drawScene(canvas, picture);
    const Frame direct = readFrame();

    // The same scene drawn into an image of the window's size, which was
    // cleared to the paper colour, then the image drawn over a white window.
    const ImageId image = canvas.createImage(SIZE, SIZE);
    ASSERT_GT(image, 0) << canvas.getImageError();
    canvas.setBackgroundColor(Color(WHITE));
    canvas.clear();
    ASSERT_TRUE(canvas.drawInto(image));
    canvas.setBackgroundColor(PAPER);
    canvas.clear(); // fills the image, not the window
    drawScene(canvas, picture);
    canvas.drawIntoWindow();
    const Frame window = readFrame();
    EXPECT_EQ(Color(WHITE), window.at(0, 0)) << "clear() in the image reached the window";
    EXPECT_EQ(Color(WHITE), window.at(SIZE / 2, SIZE / 2));
    canvas.drawImage(image, 0, 0);
    const Frame viaImage = readFrame();
    // Shapes and images come out the same; the soft edges of text are
    // blended into the image's alpha channel, which rounds a level or two
    // differently from the window's.
    int largest = 0;
    SDL_Point where = {0, 0};
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            const Color a = direct.at(x, y), b = viaImage.at(x, y);
            const int d =
                std::max({std::abs(a.getRed() - b.getRed()), std::abs(a.getGreen() - b.getGreen()),
                          std::abs(a.getBlue() - b.getBlue())});
            if (d > largest) {
                largest = d;
                where = SDL_Point{x, y};
            }
        }
    }
    EXPECT_LE(largest, 3) << "at (" << where.x << ", " << where.y << "): drawn directly "
                          << direct.at(where.x, where.y) << ", through the image "
                          << viaImage.at(where.x, where.y);
    EXPECT_GT(pixels::countInside(direct, SDL_Rect{0, 0, SIZE, SIZE},
                                  [](const Color& c) { return c != PAPER; }),
              1000)
        << "the scene drew too little to compare";
}

TEST(DrawInto, TheWindowAgainAfterDrawIntoWindowOrUpdate) {
    Canvas& canvas = setUp();
    const ImageId first = canvas.createImage(20, 20);
    const ImageId second = canvas.createImage(20, 20);
    ASSERT_TRUE(canvas.drawInto(first));
    canvas.drawFilledRectangle(0, 0, 3, 3, INK);
    ASSERT_TRUE(canvas.drawInto(second)); // straight from one image to another
    canvas.drawFilledRectangle(10, 10, 12, 12, OTHER);
    canvas.drawIntoWindow();
    canvas.drawIntoWindow(); // twice is harmless
    canvas.drawFilledRectangle(100, 100, 101, 101, INK);
    Frame frame = readFrame();
    expectBox(SDL_Rect{100, 100, 2, 2}, frame);
    expectBox(SDL_Rect{0, 0, 4, 4}, imagePixels(canvas, first), CLEAR);
    expectBox(SDL_Rect{10, 10, 3, 3}, imagePixels(canvas, second), CLEAR);

    // update() ends a frame in the window: the next frame's clear() must not
    // wipe the image the last frame drew into.
    ASSERT_TRUE(canvas.drawInto(first));
    canvas.update();
    canvas.clear();
    canvas.drawPixel(50, 50, OTHER);
    expectBox(SDL_Rect{50, 50, 1, 1}, readFrame());
    expectBox(SDL_Rect{0, 0, 4, 4}, imagePixels(canvas, first), CLEAR);
}

TEST(DrawInto, AnImageIsNeverDrawnIntoItself) {
    Canvas& canvas = setUp();
    const ImageId image = canvas.createImage(10, 10);
    const ImageId other = canvas.createImage(10, 10);
    ASSERT_TRUE(canvas.drawInto(image));
    canvas.drawFilledRectangle(0, 0, 9, 9, INK);
    const std::vector<std::function<void()>> draws = {
        [&] { canvas.drawImage(image, 0, 0); },
        [&] { canvas.drawImage(image, 0, 0, 2.0, 30.0); },
        [&] { canvas.drawImageSized(image, 0, 0, 5, 5); },
        [&] { canvas.drawImagePart(image, 0, 0, 2, 2, 0, 0, 4, 4); },
    };
    for (const auto& draw : draws) {
        try {
            draw();
            ADD_FAILURE() << "drawing image " << image << " into itself did not throw";
        } catch (const std::logic_error& error) {
            EXPECT_NE(std::string::npos,
                      std::string(error.what()).find("Image 1 cannot be drawn into itself"))
                << error.what();
            EXPECT_NE(std::string::npos, std::string(error.what()).find("drawIntoWindow()"))
                << error.what();
        }
    }
    // Another image may be drawn into it, and it into the window afterwards.
    canvas.drawImage(other, 0, 0);
    canvas.drawIntoWindow();
    canvas.drawImage(image, 30, 30);
    expectBox(SDL_Rect{30, 30, 10, 10}, readFrame());
}

// ---- Making, clearing and saving ---------------------------------------------------

TEST(CreateImage, SizesOutsideOneToTheLimitAreRefusedWithAReason) {
    Canvas& canvas = setUp();
    struct Case {
        int width, height;
        const char* reason;
    };
    const Case cases[] = {
        {0, 10, "at least 1 pixel"},
        {10, 0, "at least 1 pixel"},
        {-5, 5, "at least 1 pixel"},
        {INT_MIN, INT_MIN, "at least 1 pixel"},
        {MAX_IMAGE_SIZE + 1, 1, "at most 8192 pixels wide and 8192 high"},
        {1, MAX_IMAGE_SIZE + 1, "at most 8192 pixels wide and 8192 high"},
        {INT_MAX, INT_MAX, "at most 8192"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(-1, canvas.createImage(c.width, c.height)) << c.width << " x " << c.height;
        const std::string error = canvas.getImageError();
        EXPECT_NE(std::string::npos, error.find("Couldn't create a " + std::to_string(c.width) +
                                                " x " + std::to_string(c.height) + " image: "))
            << error;
        EXPECT_NE(std::string::npos, error.find(c.reason)) << error;
    }
    // None took a number; the largest sizes are made.
    EXPECT_EQ(1, canvas.createImage(MAX_IMAGE_SIZE, 1)) << canvas.getImageError();
    EXPECT_EQ("", canvas.getImageError());
    EXPECT_EQ(2, canvas.createImage(1, MAX_IMAGE_SIZE)) << canvas.getImageError();
}

TEST(CreateImage, BeforeSetUpIsRefusedSayingWhy) {
    Canvas& canvas = Canvas::getInstance();
    EXPECT_EQ(-1, canvas.createImage(10, 10));
    EXPECT_NE(std::string::npos, canvas.getImageError().find("only after initWorld"))
        << canvas.getImageError();
    setUp();
    EXPECT_EQ(1, canvas.createImage(10, 10)) << canvas.getImageError();
}

TEST(CreateImage, SavedAsPngAndLoadedBackPixelForPixel) {
    Canvas& canvas = setUp();
    const ImageId image = canvas.createImage(7, 5);
    ASSERT_TRUE(canvas.drawInto(image));
    canvas.drawPixel(0, 0, INK);
    canvas.drawPixel(6, 4, OTHER);
    canvas.drawLine(1, 2, 5, 2, Color(WHITE));
    canvas.drawIntoWindow();
    const std::string path = fileFor("saved.png");
    ASSERT_TRUE(canvas.saveImage(image, path)) << canvas.getImageError();
    EXPECT_EQ("", canvas.getImageError());

    const Frame saved = imagePixels(canvas, image);
    ASSERT_EQ(7, saved.width);
    ASSERT_EQ(5, saved.height);
    EXPECT_EQ(INK, saved.at(0, 0));
    EXPECT_EQ(OTHER, saved.at(6, 4));
    EXPECT_EQ(Color(WHITE), saved.at(3, 2));
    EXPECT_EQ(CLEAR, saved.at(3, 0)) << "untouched pixels must stay transparent";

    // Loaded again, it draws the same pixels as the image it came from.
    const ImageId loaded = canvas.loadImage(path);
    ASSERT_GT(loaded, 0) << canvas.getImageError();
    canvas.drawImage(image, 10, 10);
    const Frame original = readFrame();
    canvas.clear();
    canvas.drawImage(loaded, 10, 10);
    EXPECT_EQ("", firstDifference(original, readFrame()));

    // A file that cannot be written: false and a reason naming it.
    const std::string bad = std::string(VANTREL_TEST_BINARY_DIR) + "/no/such/folder/x.png";
    EXPECT_FALSE(canvas.saveImage(image, bad));
    EXPECT_NE(std::string::npos, canvas.getImageError().find("Couldn't save image 1 to \"" + bad))
        << canvas.getImageError();
    EXPECT_THROW(canvas.saveImage(9, path), std::out_of_range);
}

#ifndef _WIN32
// Bytes of a file; "" when it cannot be read.
std::string fileBytes(const std::string& path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char part[4096];
        for (std::size_t got; (got = std::fread(part, 1, sizeof part, file)) > 0;) {
            bytes.append(part, got);
        }
        std::fclose(file);
    }
    return bytes;
}

// A save that cannot be finished (here: the process's file size limit, as a
// full disk would) fails, names why, and leaves the earlier file as it was,
// with no half-written file beside it.
TEST(CreateImage, ASaveThatCannotFinishKeepsTheEarlierFile) {
    Canvas& canvas = setUp();
    const ImageId image = canvas.createImage(300, 300);
    ASSERT_TRUE(canvas.drawInto(image));
    canvas.drawFilledCircle(150, 150, 100, INK);
    canvas.drawIntoWindow();
    canvas.drawFilledCircle(60, 60, 40, OTHER);
    const struct {
        const char* name;
        std::function<bool(const std::string&)> save;
        std::function<std::string()> error;
    } saves[] = {
        {"saveImage", [&](const std::string& path) { return canvas.saveImage(image, path); },
         [&] { return canvas.getImageError(); }},
        {"saveFrame", [&](const std::string& path) { return canvas.saveFrame(path); },
         [&] { return canvas.getSaveFrameError(); }},
    };
    const std::string earlier = "an earlier picture, kept";
    for (const auto& save : saves) {
        const std::string folder = fileFor(std::string(save.name) + "-folder");
        ASSERT_EQ(0, std::system(("rm -rf '" + folder + "' && mkdir '" + folder + "'").c_str()));
        const std::string path = folder + "/picture.png";
        // The limit: half of what the save writes.
        ASSERT_TRUE(save.save(path)) << save.name << ": " << save.error();
        const std::size_t size = fileBytes(path).size();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(nullptr, file);
        std::fputs(earlier.c_str(), file);
        std::fclose(file);

        rlimit before{};
        ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &before));
        rlimit small = before;
        small.rlim_cur = static_cast<rlim_t>(size / 2);
        ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
        const bool saved = save.save(path);
        ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &before));

        EXPECT_FALSE(saved) << save.name << " reported success";
        EXPECT_NE(std::string::npos, save.error().find("File too large")) << save.error();
        EXPECT_EQ(earlier, fileBytes(path)) << save.name << " destroyed the earlier file";
        EXPECT_EQ(0, std::system(("test \"$(ls -A '" + folder + "')\" = picture.png").c_str()))
            << save.name << " left another file in " << folder;
        EXPECT_TRUE(save.save(path)) << save.name << " without the limit: " << save.error();
        EXPECT_EQ(size, fileBytes(path).size());
    }
}
#endif

TEST(CreateImage, ClearedToAColourOrTransparentWhateverIsDrawnInto) {
    Canvas& canvas = setUp();
    const ImageId image = canvas.createImage(4, 3);
    const ImageId other = canvas.createImage(4, 3);
    canvas.clearImage(image, INK); // from the window
    Frame pixels = imagePixels(canvas, image);
    EXPECT_EQ(INK, pixels.at(0, 0));
    EXPECT_EQ(INK, pixels.at(3, 2));
    EXPECT_EQ(PAPER, readFrame().at(0, 0)) << "clearing an image reached the window";

    ASSERT_TRUE(canvas.drawInto(other)); // from another image
    canvas.clearImage(image, 1, 2, 3, 4);
    EXPECT_EQ(Color(1, 2, 3, 4), imagePixels(canvas, image).at(2, 1));
    canvas.drawPixel(0, 0, OTHER); // drawing still goes into the other one
    canvas.drawIntoWindow();
    EXPECT_EQ(OTHER, imagePixels(canvas, other).at(0, 0));

    ASSERT_TRUE(canvas.drawInto(image)); // the image drawn into now
    canvas.clearImage(image);
    canvas.drawPixel(1, 1, OTHER);
    canvas.drawIntoWindow();
    pixels = imagePixels(canvas, image);
    EXPECT_EQ(CLEAR, pixels.at(0, 0));
    EXPECT_EQ(OTHER, pixels.at(1, 1));
}

TEST(CreateImage, ALoadedImageCanBeDrawnIntoKeepingItsPixels) {
    Canvas& canvas = setUp();
    const ImageId picture = loadPicture(canvas);
    canvas.setImageAlpha(picture, 255);
    ASSERT_TRUE(canvas.drawInto(picture)) << canvas.getImageError();
    canvas.drawPixel(1, 1, Color(RED));
    canvas.drawIntoWindow();
    canvas.drawImage(picture, 0, 0, 10.0);
    const Frame frame = readFrame();
    EXPECT_EQ(INK, frame.at(5, 5));
    EXPECT_EQ(OTHER, frame.at(15, 5));
    EXPECT_EQ(Color(WHITE), frame.at(5, 15));
    EXPECT_EQ(Color(RED), frame.at(15, 15));
}

TEST(CreateImage, DrawIntoNeedsTheWindowAndAnImage) {
    Canvas& canvas = Canvas::getInstance();
    const ImageId early = canvas.loadImage(std::string(VANTREL_TEST_BINARY_DIR) + "/nothing.png");
    EXPECT_EQ(-1, early);
    EXPECT_THROW(canvas.drawInto(1), std::out_of_range);
    EXPECT_THROW(canvas.drawInto(-1), std::out_of_range);
    setUp();
    const ImageId image = canvas.createImage(5, 5);
    EXPECT_THROW(canvas.drawInto(image + 1), std::out_of_range);
    EXPECT_THROW(canvas.clearImage(0), std::out_of_range);
    canvas.drawIntoWindow(); // without drawInto: nothing to do
    EXPECT_TRUE(canvas.drawInto(image));
    EXPECT_TRUE(canvas.drawInto(image)) << "choosing the same image again";
}

// The window's frame is saved even while drawing goes into a bigger image.
TEST(CreateImage, SaveFrameSavesTheWindowWhileDrawingIntoAnImage) {
    Canvas& canvas = setUp();
    canvas.drawPixel(2, 2, INK);
    const ImageId big = canvas.createImage(SIZE * 3, SIZE * 2);
    ASSERT_TRUE(canvas.drawInto(big));
    canvas.drawPixel(5, 5, OTHER);
    const std::string path = fileFor("frame.png");
    ASSERT_TRUE(canvas.saveFrame(path)) << canvas.getSaveFrameError();
    canvas.drawPixel(6, 6, OTHER); // still into the image
    SDL_Surface* saved = IMG_Load(path.c_str());
    ASSERT_NE(nullptr, saved);
    EXPECT_EQ(SIZE, saved->w);
    EXPECT_EQ(SIZE, saved->h);
    SDL_FreeSurface(saved);
    canvas.drawIntoWindow();
    const Frame frame = readFrame();
    expectBox(SDL_Rect{2, 2, 1, 1}, frame);
    const Frame image = imagePixels(canvas, big);
    EXPECT_EQ(OTHER, image.at(5, 5));
    EXPECT_EQ(OTHER, image.at(6, 6));
}

// ---- When the graphics driver loses them ---------------------------------------------
// Direct3D loses what render targets hold when its device is reset. Here the
// canvas is told to keep its copies as it would there, the image's pixels
// are wiped behind its back and SDL's announcement is sent.

namespace {

SDL_Texture* textureDrawnInto(Canvas& canvas, ImageId image) {
    canvas.drawInto(image);
    SDL_Texture* texture = SDL_GetRenderTarget(pixels::canvasRenderer());
    canvas.drawIntoWindow();
    return texture;
}

void wipe(SDL_Texture* texture) {
    SDL_Renderer* renderer = pixels::canvasRenderer();
    SDL_SetRenderTarget(renderer, texture);
    SDL_SetRenderDrawColor(renderer, 9, 9, 9, 255);
    SDL_RenderClear(renderer);
    SDL_SetRenderTarget(renderer, nullptr);
}

void announce(Uint32 type) {
    SDL_Event event{};
    event.type = type;
    SDL_PushEvent(&event);
}

} // namespace

TEST(LostImages, PutBackAfterTheDriverResetsItsRenderTargets) {
    vantrel::detail::keepImageCopies(true);
    Canvas& canvas = setUp();
    const ImageId painted = canvas.createImage(10, 10);
    const ImageId blank = canvas.createImage(10, 10);
    ASSERT_TRUE(canvas.drawInto(painted));
    canvas.drawFilledRectangle(2, 2, 4, 4, INK);
    canvas.drawIntoWindow();
    wipe(textureDrawnInto(canvas, painted));
    wipe(textureDrawnInto(canvas, blank));
    announce(SDL_RENDER_TARGETS_RESET);

    canvas.drawImage(painted, 0, 0);
    canvas.drawImage(blank, 20, 0);
    const Frame frame = readFrame();
    expectBox(SDL_Rect{2, 2, 3, 3}, frame);
    EXPECT_EQ(INK, frame.at(3, 3));
}

TEST(LostImages, MadeAgainAfterTheDriverResetsItsDevice) {
    vantrel::detail::keepImageCopies(true);
    Canvas& canvas = setUp();
    const ImageId painted = canvas.createImage(10, 10);
    canvas.clearImage(painted, OTHER);
    ASSERT_TRUE(canvas.drawInto(painted));
    canvas.drawPixel(0, 0, INK);
    canvas.drawIntoWindow();
    wipe(textureDrawnInto(canvas, painted));
    announce(SDL_RENDER_DEVICE_RESET);

    ASSERT_TRUE(canvas.drawInto(painted));
    canvas.drawPixel(9, 9, INK);
    canvas.drawIntoWindow();
    const Frame pixels = imagePixels(canvas, painted);
    EXPECT_EQ(INK, pixels.at(0, 0));
    EXPECT_EQ(OTHER, pixels.at(5, 5));
    EXPECT_EQ(INK, pixels.at(9, 9));
}
