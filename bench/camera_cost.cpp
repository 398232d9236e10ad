// Per-frame cost of the camera: a frame of every call family (each shape
// family, text three ways, images four ways) drawn with the camera at
// (37, 23) and world coordinates, against the same frame drawn with no
// camera at the window coordinates those come to. Both draw the same
// pixels, which is checked first.
//
//   vantrel-bench-camera --callgrind FRAMES
//       for `valgrind --tool=callgrind --instr-atstart=no`: FRAMES whole
//       frames of each path (pacing included), in rounds that alternate the
//       order, dumping the counts after every block with the label "camera"
//       or "plain".
//   vantrel-bench-camera
//       checks that both draw the same picture, and says so.
//
// Run it headless: SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software
// SDL_AUDIODRIVER=dummy (./dev bench sets them).

#include "canvas/canvas.h"

#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness.h"

namespace {

constexpr std::uint8_t FPS = 255;
constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;
constexpr int CAMERA_X = 37;
constexpr int CAMERA_Y = 23;
// Drawing calls in one frame of the scene below.
constexpr int CALLS = 26;

ImageId sprite = -1;

// Every call family, moved by (dx, dy).
__attribute__((noinline)) void scene(Canvas& canvas, int dx, int dy) {
    canvas.drawPixel(10 + dx, 10 + dy, Color(RED));
    canvas.drawLine(20 + dx, 20 + dy, 300 + dx, 120 + dy, Color(BLUE));
    canvas.drawRectangle(40 + dx, 150 + dy, 140 + dx, 210 + dy, Color(GREEN));
    canvas.drawRoundedBox(160 + dx, 150 + dy, 260 + dx, 210 + dy, 8, Color(OLIVE));
    canvas.drawCircle(330 + dx, 180 + dy, 30, Color(NAVY));
    canvas.drawFilledCircle(400 + dx, 180 + dy, 30, Color(MAROON));
    canvas.drawFilledRectangle(450 + dx, 150 + dy, 520 + dx, 210 + dy, Color(TEAL));
    canvas.drawTriangle(20 + dx, 300 + dy, 80 + dx, 230 + dy, 140 + dx, 300 + dy, Color(PURPLE));
    canvas.drawFilledTriangle(150 + dx, 300 + dy, 210 + dx, 230 + dy, 270 + dx, 300 + dy,
                              Color(FUCHSIA));
    canvas.drawPolygon({{300 + dx, 240 + dy}, {360 + dx, 250 + dy}, {340 + dx, 300 + dy}},
                       Color(GRAY));
    canvas.drawPolygon({380 + dx, 440 + dx, 420 + dx}, {240 + dy, 250 + dy, 300 + dy},
                       Color(BLACK));
    canvas.drawFilledPolygon({{460 + dx, 240 + dy}, {520 + dx, 250 + dy}, {500 + dx, 300 + dy}},
                             Color(LIME));
    canvas.drawFilledPolygon({540 + dx, 600 + dx, 580 + dx}, {240 + dy, 250 + dy, 300 + dy},
                             Color(AQUA));
    canvas.drawEllipse(70 + dx, 350 + dy, 50, 25, Color(RED));
    canvas.drawFilledEllipse(190 + dx, 350 + dy, 50, 25, Color(BLUE));
    canvas.drawArc(300 + dx, 350 + dy, 30, 20, 250, Color(GREEN));
    canvas.drawFilledPie(380 + dx, 350 + dy, 30, 20, 250, Color(OLIVE));
    canvas.drawThickLine(440 + dx, 330 + dy, 600 + dx, 370 + dy, 9, Color(NAVY));
    canvas.drawText(20 + dx, 400 + dy, "Score", Color(BLACK));
    canvas.drawTextCentered(320 + dx, 420 + dy, "Level 2", Color(MAROON));
    canvas.drawTextRight(620 + dx, 400 + dy, "Time", Color(TEAL));
    canvas.drawImage(sprite, 540 + dx, 20 + dy);
    canvas.drawImage(sprite, 560 + dx, 60 + dy, 1.5, 30.0);
    canvas.drawImageSized(sprite, 500 + dx, 100 + dy, 40, 20);
    canvas.drawImagePart(sprite, 0, 0, 8, 8, 600 + dx, 100 + dy, 16, 16);
    canvas.drawPixel(630 + dx, 470 + dy, Color(RED));
}

// Both paths, chosen by the argument.
__attribute__((noinline)) void frameWork(Canvas& canvas, bool camera) {
    SDL_Event event;
    canvas.clear();
    if (camera) {
        canvas.setCamera(CAMERA_X, CAMERA_Y);
        scene(canvas, CAMERA_X, CAMERA_Y);
        canvas.setCamera(0, 0);
    } else {
        scene(canvas, 0, 0);
    }
    while (canvas.pollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            canvas.quit();
        }
    }
    canvas.update();
}

void setUp() {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, WIDTH, HEIGHT, "Vantrel camera cost", DEFAULT_FONT, 24, Color(WHITE),
                     Color(BLACK), FPS);
    canvas.start();
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 16, 16, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, 240, 160, 20, 255));
    const char* folder = SDL_getenv("TMPDIR");
    const std::string path = std::string(folder != nullptr ? folder : "/tmp") +
                             "/vantrel-bench-camera-" + std::to_string(SDL_GetTicks()) + ".png";
    IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
    sprite = canvas.loadImage(path);
    std::remove(path.c_str());
    if (sprite < 1) {
        std::fprintf(stderr, "cannot load the sprite: %s\n", canvas.getImageError().c_str());
        std::exit(1);
    }
    // The same picture both ways.
    SDL_Renderer* renderer = SDL_GetRenderer(SDL_GetWindowFromID(1));
    std::vector<Uint32> withCamera(WIDTH * HEIGHT), without(WIDTH * HEIGHT);
    canvas.clear();
    canvas.setCamera(CAMERA_X, CAMERA_Y);
    scene(canvas, CAMERA_X, CAMERA_Y);
    canvas.setCamera(0, 0);
    SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, withCamera.data(), WIDTH * 4);
    canvas.clear();
    scene(canvas, 0, 0);
    SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, without.data(), WIDTH * 4);
    canvas.update();
    if (withCamera != without) {
        std::fprintf(stderr, "the frame with the camera differs from the one without\n");
        std::exit(1);
    }
}

} // namespace

int main(int argc, char** argv) {
    setUp();
    const int frames = bench::callgrindFrames(
        argc, argv, 4, "the frame with the camera and the one without draw the same picture");
    if (frames <= 0) {
        return frames == 0 ? 0 : 2;
    }
    Canvas& canvas = Canvas::getInstance();
    for (int i = 0; i < 3; ++i) { // warm-up outside the count
        canvas.isRunning();
        frameWork(canvas, true);
        canvas.isRunning();
        frameWork(canvas, false);
    }
    const auto frameRun = [&canvas](bool camera) {
        return [&canvas, camera](int n) {
            for (int i = 0; i < n; ++i) {
                canvas.isRunning();
                frameWork(canvas, camera);
            }
        };
    };
    constexpr int ROUNDS = 4;
    const int perRound = bench::countInRounds(
        frames, ROUNDS, {{"camera", frameRun(true)}, {"plain", frameRun(false)}});
    bench::reportCounts(perRound, ROUNDS, ", " + std::to_string(CALLS) + " drawing calls a frame");
    return 0;
}
