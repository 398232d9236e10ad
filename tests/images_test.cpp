// Images: loading (ids, bad files, loads before set-up) and drawing (place,
// size, scale, turns, mirrors, parts, alpha), checked by reading the frame
// back from the software renderer. The images are made here, a few pixels of
// known colours each.

#include <gtest/gtest.h>

#include <SDL_image.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "fixtures.h"
#include "pixels.h"

using pixels::Frame;
using pixels::readFrame;
using pixels::str;

namespace {

constexpr int SIZE = 120;
const Color PAPER(BLACK);
constexpr Color C1(250, 10, 10, 255);
constexpr Color C2(10, 240, 20, 255);
constexpr Color C3(20, 30, 230, 255);
constexpr Color C4(240, 230, 20, 255);

// A file in the build folder, named after the running test so that tests
// running side by side never share one.
std::string fileFor(const std::string& name) { return fixtures::fileFor("images_", name); }

// An image width x height with the given pixels, row by row.
SDL_Surface* makeSurface(int width, int height, const std::vector<Color>& colours) {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < width; ++x) {
            const Color& c = colours[static_cast<std::size_t>(y * width + x)];
            row[x * 4] = c.getRed();
            row[x * 4 + 1] = c.getGreen();
            row[x * 4 + 2] = c.getBlue();
            row[x * 4 + 3] = c.getAlpha();
        }
    }
    return surface;
}

// Writes the image as PNG, BMP or JPEG (by the name's ending); returns its path.
std::string writeImage(const std::string& name, int width, int height,
                       const std::vector<Color>& colours) {
    const std::string path = fileFor(name);
    SDL_Surface* surface = makeSurface(width, height, colours);
    const std::string ending = name.substr(name.size() - 3);
    int status = -1;
    if (ending == "png") {
        status = IMG_SavePNG(surface, path.c_str());
    } else if (ending == "bmp") {
        status = SDL_SaveBMP(surface, path.c_str());
    } else {
        status = IMG_SaveJPG(surface, path.c_str(), 100);
    }
    SDL_FreeSurface(surface);
    EXPECT_EQ(0, status) << "could not write " << path << ": " << SDL_GetError();
    return path;
}

// Two by two: C1 C2 over C3 C4.
std::string writeQuadrants(const std::string& name = "quadrants.png") {
    return writeImage(name, 2, 2, {C1, C2, C3, C4});
}

std::string writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = fileFor(name);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

Canvas& setUp() { return fixtures::setUpOnPaper(SIZE, SIZE, PAPER); }

void expectBox(const SDL_Rect& expected, const Frame& frame) {
    const SDL_Rect ink = pixels::inkBox(frame, PAPER);
    EXPECT_TRUE(SDL_RectEquals(&expected, &ink))
        << "expected the image to cover " << str(expected) << ", it covers " << str(ink);
}

// The colours at the centres of the four quadrants of a square drawn at
// (x, y), size pixels on a side: top-left, top-right, bottom-left, bottom-right.
void expectQuadrants(const Frame& frame, int x, int y, int size,
                     std::initializer_list<Color> expected) {
    const int q = size / 4;
    const SDL_Point centres[] = {
        {x + q, y + q}, {x + 3 * q, y + q}, {x + q, y + 3 * q}, {x + 3 * q, y + 3 * q}};
    const char* names[] = {"top-left", "top-right", "bottom-left", "bottom-right"};
    int i = 0;
    for (const Color& colour : expected) {
        EXPECT_EQ(colour, frame.at(centres[i].x, centres[i].y)) << names[i] << " quadrant";
        ++i;
    }
}

bool near(int expected, int actual) { return actual >= expected - 2 && actual <= expected + 2; }

} // namespace

// ---- Loading ------------------------------------------------------------------

TEST(ImageLoad, IdsCountLoadsInOrderAndFailuresTakeNoNumber) {
    Canvas& canvas = setUp();
    EXPECT_EQ(1, canvas.loadImage(writeImage("wide.png", 3, 2, std::vector<Color>(6, C1))));
    EXPECT_EQ("", canvas.getImageError());
    EXPECT_EQ(-1, canvas.loadImage(fileFor("no-such.png")));
    EXPECT_NE(std::string::npos, canvas.getImageError().find("Couldn't open"))
        << canvas.getImageError();
    EXPECT_EQ(2, canvas.loadImage(writeImage("tall.bmp", 2, 5, std::vector<Color>(10, C2))));
    EXPECT_EQ(3, canvas.loadImage(writeImage("photo.jpg", 16, 8, std::vector<Color>(128, C3))));
    EXPECT_EQ("", canvas.getImageError()) << "a load that works clears the last failure";
    // The same file again is a new image.
    EXPECT_EQ(4, canvas.loadImage(fileFor("wide.png")));

    EXPECT_EQ(3, canvas.getImageWidth(1));
    EXPECT_EQ(2, canvas.getImageHeight(1));
    EXPECT_EQ(2, canvas.getImageWidth(2));
    EXPECT_EQ(5, canvas.getImageHeight(2));
    EXPECT_EQ(16, canvas.getImageWidth(3));
    EXPECT_EQ(8, canvas.getImageHeight(3));
}

TEST(ImageLoad, IdsThatNameNoImageThrowSayingSo) {
    Canvas& canvas = setUp();
    ASSERT_EQ(-1, canvas.loadImage(fileFor("missing.png")));
    try {
        canvas.drawImage(-1, 0, 0);
        FAIL() << "drawImage(-1, ...) did not throw";
    } catch (const std::out_of_range& error) {
        const std::string message = error.what();
        EXPECT_NE(std::string::npos, message.find("Image id -1 names no loaded image")) << message;
        // The reason of the failed load is part of it.
        EXPECT_NE(std::string::npos, message.find("missing.png")) << message;
    }
    ASSERT_EQ(1, canvas.loadImage(writeQuadrants()));
    for (ImageId id : {0, 2, -2}) {
        EXPECT_THROW(canvas.drawImage(id, 0, 0), std::out_of_range) << "id " << id;
        EXPECT_THROW(canvas.drawImage(id, 0, 0, 2.0, 45.0), std::out_of_range) << "id " << id;
        EXPECT_THROW(canvas.drawImageSized(id, 0, 0, 4, 4), std::out_of_range) << "id " << id;
        EXPECT_THROW(canvas.drawImagePart(id, 0, 0, 1, 1, 0, 0, 4, 4), std::out_of_range)
            << "id " << id;
        EXPECT_THROW(canvas.getImageWidth(id), std::out_of_range) << "id " << id;
        EXPECT_THROW(canvas.getImageHeight(id), std::out_of_range) << "id " << id;
        EXPECT_THROW(canvas.setImageAlpha(id, 10), std::out_of_range) << "id " << id;
    }
}

// Every kind of bad file gives -1 and a reason, and nothing else changes.
TEST(ImageLoad, BadFilesGiveMinusOneAndAReason) {
    Canvas& canvas = setUp();
    const std::vector<std::uint8_t> png = readBytes(writeQuadrants("good.png"));
    ASSERT_GT(png.size(), 60u);

    // A PNG whose header claims 100,000 x 100,000 pixels; the rest is the
    // small image's data.
    std::vector<std::uint8_t> hugePng = png;
    for (int i : {16, 20}) { // width, then height, big-endian
        hugePng[i] = 0x00, hugePng[i + 1] = 0x01, hugePng[i + 2] = 0x86, hugePng[i + 3] = 0xA0;
    }
    // A JPEG whose frame header claims 65,000 x 65,000, and a BMP 100,000 wide.
    const std::vector<std::uint8_t> hugeJpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 'J',  'F',
                                                0xFF, 0xC0, 0x00, 0x0B, 0x08, 0xFD, 0xE8, 0xFD,
                                                0xE8, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9};
    std::vector<std::uint8_t> hugeBmp = readBytes(writeImage("good.bmp", 2, 2, {C1, C2, C3, C4}));
    hugeBmp[18] = 0xA0, hugeBmp[19] = 0x86, hugeBmp[20] = 0x01, hugeBmp[21] = 0x00;
    // A chunk after the header that claims to run on for two gigabytes.
    std::vector<std::uint8_t> lyingChunk = png;
    lyingChunk[33] = 0x7F, lyingChunk[34] = 0xFF, lyingChunk[35] = 0xFF, lyingChunk[36] = 0x00;
    std::vector<std::uint8_t> noPixels = png;
    noPixels[16] = noPixels[17] = noPixels[18] = noPixels[19] = 0;
    std::vector<std::uint8_t> randomBytes(300);
    std::uint32_t seed = 12345;
    for (std::uint8_t& byte : randomBytes) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(seed >> 16);
    }

    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"empty.png", {}, "the file is empty"},
        {"signature-only.png", std::vector<std::uint8_t>(png.begin(), png.begin() + 8),
         "PNG header is cut short"},
        {"truncated.png", std::vector<std::uint8_t>(png.begin(), png.end() - 30),
         "PNG data is damaged or cut short"},
        {"lying-chunk.png", lyingChunk, "a chunk runs past the end of the file"},
        {"random.png", randomBytes, "not a PNG, JPEG or BMP image"},
        {"huge.png", hugePng, "100000 x 100000 pixels; an image may be at most 8192"},
        {"huge.jpg", hugeJpeg, "65000 x 65000 pixels"},
        {"huge.bmp", hugeBmp, "100000 x 2 pixels"},
        {"no-pixels.png", noPixels, "it has no pixels"},
        {"truncated.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J'}, "JPEG header is cut short"},
    };
    for (const Case& c : cases) {
        const std::string path = writeBytes(c.name, c.bytes);
        EXPECT_EQ(-1, canvas.loadImage(path)) << c.name;
        const std::string error = canvas.getImageError();
        EXPECT_NE(std::string::npos, error.find("Couldn't load " + path + ": ")) << error;
        EXPECT_NE(std::string::npos, error.find(c.reason)) << c.name << ": " << error;
    }
    // A folder is not an image either.
    EXPECT_EQ(-1, canvas.loadImage(VANTREL_TEST_BINARY_DIR));
    EXPECT_FALSE(canvas.getImageError().empty());
    // None of them took a number.
    EXPECT_EQ(1, canvas.loadImage(fileFor("good.png")));
}

TEST(ImageLoad, ImagesLoadedBeforeSetUpDrawOnceTheWindowExists) {
    Canvas& canvas = Canvas::getInstance();
    const ImageId early = canvas.loadImage(writeImage("early.png", 2, 1, {C1, C2}));
    const ImageId faded = canvas.loadImage(writeImage("faded.png", 1, 1, {C3}));
    ASSERT_EQ(1, early) << canvas.getImageError();
    ASSERT_EQ(2, faded) << canvas.getImageError();
    EXPECT_EQ(2, canvas.getImageWidth(early));
    EXPECT_EQ(1, canvas.getImageHeight(early));
    canvas.setImageAlpha(faded, 0);
    canvas.drawImage(early, 0, 0); // no window yet: nothing happens
    canvas.drawImage(early, 0, 0, 2.0, 90.0, FLIP_BOTH);

    setUp();
    canvas.drawImage(early, 10, 20);
    canvas.drawImage(faded, 50, 50, 10.0); // the alpha set before set-up holds
    const Frame frame = readFrame();
    EXPECT_EQ(C1, frame.at(10, 20));
    EXPECT_EQ(C2, frame.at(11, 20));
    expectBox(SDL_Rect{10, 20, 2, 1}, frame);
}

// ---- Drawing --------------------------------------------------------------------

TEST(ImageDraw, NaturalSizeAtItsTopLeftCorner) {
    Canvas& canvas = setUp();
    const ImageId image = canvas.loadImage(writeImage("three.png", 3, 2, {C1, C2, C3, C4, C1, C2}));
    ASSERT_EQ(1, image) << canvas.getImageError();
    canvas.drawImage(image, 10, 20);
    const Frame frame = readFrame();
    expectBox(SDL_Rect{10, 20, 3, 2}, frame);
    EXPECT_EQ(C1, frame.at(10, 20));
    EXPECT_EQ(C2, frame.at(11, 20));
    EXPECT_EQ(C3, frame.at(12, 20));
    EXPECT_EQ(C4, frame.at(10, 21));
    EXPECT_EQ(C2, frame.at(12, 21));
}

TEST(ImageDraw, ScaleFactorAndSize) {
    Canvas& canvas = setUp();
    const ImageId image = canvas.loadImage(writeQuadrants());
    ASSERT_EQ(1, image) << canvas.getImageError();
    canvas.drawImage(image, 4, 6, 20.0);
    Frame frame = readFrame();
    expectBox(SDL_Rect{4, 6, 40, 40}, frame);
    expectQuadrants(frame, 4, 6, 40, {C1, C2, C3, C4});

    canvas.clear();
    canvas.drawImageSized(image, 50, 10, 60, 20);
    frame = readFrame();
    expectBox(SDL_Rect{50, 10, 60, 20}, frame);
    EXPECT_EQ(C1, frame.at(50, 10));
    EXPECT_EQ(C2, frame.at(109, 10));
    EXPECT_EQ(C4, frame.at(109, 29));

    // Nothing for a scale of 0 or below, or a size of 0.
    canvas.clear();
    canvas.drawImage(image, 10, 10, 0.0);
    canvas.drawImage(image, 10, 10, -2.0);
    canvas.drawImageSized(image, 10, 10, 0, 30);
    canvas.drawImage(image, 10, 10, 2.0, std::nan(""));
    expectBox(SDL_Rect{0, 0, 0, 0}, readFrame());
}

TEST(ImageDraw, TurnsClockwiseAboutTheCentre) {
    Canvas& canvas = setUp();
    const ImageId image = canvas.loadImage(writeQuadrants());
    ASSERT_EQ(1, image) << canvas.getImageError();
    canvas.drawImageSized(image, 10, 10, 40, 40, 90.0);
    canvas.drawImage(image, 60, 10, 20.0, 180.0);
    canvas.drawImage(image, 10, 60, 20.0, 360.0 * 1000 + 90.0); // many turns, then 90
    const Frame frame = readFrame();
    // A quarter turn clockwise: the top-left quadrant goes to the top right.
    expectQuadrants(frame, 10, 10, 40, {C3, C1, C4, C2});
    expectQuadrants(frame, 60, 10, 40, {C4, C3, C2, C1});
    expectQuadrants(frame, 10, 60, 40, {C3, C1, C4, C2});
    // Turned about its centre, a square stays where it was.
    expectBox(SDL_Rect{10, 10, 90, 90}, frame);
}

TEST(ImageDraw, EachFlipMirrorsTheImage) {
    Canvas& canvas = setUp();
    const ImageId image = canvas.loadImage(writeQuadrants());
    ASSERT_EQ(1, image) << canvas.getImageError();
    canvas.drawImage(image, 10, 10, 20.0, 0.0, FLIP_HORIZONTAL);
    canvas.drawImage(image, 60, 10, 20.0, 0.0, FLIP_VERTICAL);
    canvas.drawImageSized(image, 10, 60, 40, 40, 0.0, FLIP_BOTH);
    canvas.drawImage(image, 60, 60, 20.0, 0.0, NO_FLIP);
    const Frame frame = readFrame();
    expectQuadrants(frame, 10, 10, 40, {C2, C1, C4, C3});
    expectQuadrants(frame, 60, 10, 40, {C3, C4, C1, C2});
    expectQuadrants(frame, 10, 60, 40, {C4, C3, C2, C1});
    expectQuadrants(frame, 60, 60, 40, {C1, C2, C3, C4});
}

TEST(ImageDraw, PartOfTheImageIntoARectangle) {
    Canvas& canvas = setUp();
    // A sprite sheet of four one-pixel frames.
    const ImageId sheet = canvas.loadImage(writeImage("sheet.png", 4, 1, {C1, C2, C3, C4}));
    ASSERT_EQ(1, sheet) << canvas.getImageError();
    canvas.drawImagePart(sheet, 2, 0, 1, 1, 10, 10, 8, 6);
    Frame frame = readFrame();
    expectBox(SDL_Rect{10, 10, 8, 6}, frame);
    EXPECT_EQ(0, pixels::countInside(frame, SDL_Rect{10, 10, 8, 6},
                                     [](const Color& c) { return c != C3; }));

    // A rectangle reaching past the image's right edge: the part inside
    // keeps its scale and place, the rest is left out.
    canvas.clear();
    canvas.drawImagePart(sheet, 2, 0, 4, 1, 20, 30, 40, 10);
    frame = readFrame();
    expectBox(SDL_Rect{20, 30, 20, 10}, frame);
    EXPECT_EQ(C3, frame.at(25, 35));
    EXPECT_EQ(C4, frame.at(35, 35));

    // Mirrored, a frame reads the other way round.
    canvas.clear();
    canvas.drawImagePart(sheet, 0, 0, 2, 1, 10, 10, 20, 10, 0.0, FLIP_HORIZONTAL);
    frame = readFrame();
    EXPECT_EQ(C2, frame.at(15, 15));
    EXPECT_EQ(C1, frame.at(25, 15));

    // Wholly outside the image: nothing.
    canvas.clear();
    canvas.drawImagePart(sheet, 4, 0, 2, 1, 10, 10, 20, 10);
    canvas.drawImagePart(sheet, 0, 0, 0, 1, 10, 10, 20, 10);
    expectBox(SDL_Rect{0, 0, 0, 0}, readFrame());
}

TEST(ImageDraw, TransparentPixelsStayTransparentAndAlphaFades) {
    Canvas& canvas = setUp();
    const Color clear(255, 255, 255, 0);
    const ImageId sprite = canvas.loadImage(writeImage("sprite.png", 2, 1, {C1, clear}));
    const ImageId photo =
        canvas.loadImage(writeImage("photo.jpg", 8, 8, std::vector<Color>(64, Color(WHITE))));
    ASSERT_EQ(1, sprite) << canvas.getImageError();
    ASSERT_EQ(2, photo) << canvas.getImageError();

    canvas.drawImage(sprite, 10, 10, 10.0);
    Frame frame = readFrame();
    EXPECT_EQ(C1, frame.at(15, 15));
    EXPECT_EQ(PAPER, frame.at(25, 15)) << "the transparent pixel";

    // Half alpha over black halves every channel; an opaque JPEG fades too.
    canvas.clear();
    canvas.setImageAlpha(sprite, 128);
    canvas.setImageAlpha(photo, 128);
    canvas.drawImage(sprite, 10, 10, 10.0);
    canvas.drawImage(photo, 50, 50);
    frame = readFrame();
    const Color half = frame.at(15, 15);
    EXPECT_TRUE(near(C1.getRed() * 128 / 255, half.getRed()) &&
                near(C1.getGreen() * 128 / 255, half.getGreen()))
        << "half-faded sprite: " << half;
    EXPECT_EQ(PAPER, frame.at(25, 15)) << "the transparent pixel";
    const Color fadedPhoto = frame.at(54, 54);
    EXPECT_TRUE(near(128, fadedPhoto.getRed()) && near(128, fadedPhoto.getBlue()))
        << "half-faded JPEG: " << fadedPhoto;

    // 0 is invisible; out-of-range values are taken as 0 and 255.
    canvas.clear();
    canvas.setImageAlpha(sprite, -40);
    canvas.drawImage(sprite, 10, 10, 10.0);
    EXPECT_EQ(PAPER, readFrame().at(15, 15));
    canvas.setImageAlpha(sprite, 1000);
    canvas.drawImage(sprite, 10, 10, 10.0);
    EXPECT_EQ(C1, readFrame().at(15, 15));
}
