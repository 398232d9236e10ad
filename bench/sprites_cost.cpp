// Per-frame cost of 1,000 sprites (a 32 x 32 image, each scaled and turned)
// drawn through the canvas, and through the same SDL_RenderCopyEx calls
// written by hand, in one process, each in its own window.
//
//   vantrel-bench-sprites [Google Benchmark flags]
//       median wall time per frame of each path (clear, 1,000 sprites, event
//       poll, present; no pacing sleep) and of an empty frame, then a table
//       with the ratio, the cost of one sprite and how many fit in 16 ms.
//   vantrel-bench-sprites --callgrind FRAMES
//       for `valgrind --tool=callgrind --instr-atstart=no`: runs FRAMES whole
//       frames (pacing included) of each path, in rounds that alternate the
//       order, dumping the counts with the label "canvas" or "raw".
//
// Run it headless: SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software
// SDL_AUDIODRIVER=dummy (./dev bench sets them).

#include "canvas/canvas.h"

#include <SDL_image.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "harness.h"
#include "raw_scene.h"

namespace {

constexpr std::uint8_t FPS = 255;
constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;
constexpr int SPRITES = 1000;
constexpr int SPRITE_SIZE = 32;

struct Sprite {
    int x;
    int y;
    double scale;
    double angle;
};

std::vector<Sprite> sprites;
ImageId image = -1;
raw::Scene rawScene;
SDL_Texture* rawTexture = nullptr;

// A 32 x 32 sprite: a disc with a darker ring on a transparent background,
// written as a PNG so that both paths load a real file.
std::string writeSprite() {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, SPRITE_SIZE, SPRITE_SIZE, 32, SDL_PIXELFORMAT_RGBA32);
    for (int y = 0; y < SPRITE_SIZE; ++y) {
        auto* row = static_cast<Uint32*>(surface->pixels) + y * surface->pitch / 4;
        for (int x = 0; x < SPRITE_SIZE; ++x) {
            const double d = std::hypot(x - 15.5, y - 15.5);
            row[x] = d < 12     ? SDL_MapRGBA(surface->format, 240, 200, 40, 255)
                     : d < 15.5 ? SDL_MapRGBA(surface->format, 160, 60, 20, 255)
                                : SDL_MapRGBA(surface->format, 0, 0, 0, 0);
        }
    }
    const char* folder = SDL_getenv("TMPDIR");
    const std::string path = std::string(folder != nullptr ? folder : "/tmp") +
                             "/vantrel-bench-sprite-" + std::to_string(SDL_GetTicks()) + ".png";
    if (IMG_SavePNG(surface, path.c_str()) != 0) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), SDL_GetError());
        std::exit(1);
    }
    SDL_FreeSurface(surface);
    return path;
}

bool sameScene();

void setUp() {
    // Spread over the window, scales 1.0-2.0, every angle but 0 (the canvas
    // would take the plain copy for that).
    for (int i = 0; i < SPRITES; ++i) {
        sprites.push_back(Sprite{(i * 37) % (WIDTH - 64), (i * 53) % (HEIGHT - 64),
                                 1.0 + (i % 11) / 10.0, 1.0 + (i * 7) % 358});
    }
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, WIDTH, HEIGHT, "Vantrel sprites (canvas)", DEFAULT_FONT,
                     DEFAULT_FONT_SIZE, Color(GRAY), Color(BLACK), FPS);
    canvas.setBackgroundColor(Color(GRAY));
    canvas.start();
    const std::string path = writeSprite();
    image = canvas.loadImage(path);
    raw::open(rawScene, "Vantrel sprites (raw SDL2)", 100, 100, WIDTH, HEIGHT, DEFAULT_FONT,
              DEFAULT_FONT_SIZE, FPS);
    raw::start(rawScene);
    SDL_Surface* surface = IMG_Load(path.c_str());
    rawTexture =
        surface != nullptr ? SDL_CreateTextureFromSurface(rawScene.renderer, surface) : nullptr;
    SDL_FreeSurface(surface);
    std::remove(path.c_str());
    if (image != 1 || rawTexture == nullptr) {
        std::fprintf(stderr, "cannot load the sprite: %s\n", canvas.getImageError().c_str());
        std::exit(1);
    }
    if (!sameScene()) {
        std::fprintf(stderr, "the canvas and the hand-written path drew different pictures\n");
        std::exit(1);
    }
}

__attribute__((noinline)) void canvasSprites(Canvas& canvas) {
    for (const Sprite& s : sprites) {
        canvas.drawImage(image, s.x, s.y, s.scale, s.angle);
    }
}

// What a learner would write with SDL alone: the scaled rectangle, then the copy.
__attribute__((noinline)) void rawSprites(raw::Scene& scene) {
    for (const Sprite& s : sprites) {
        const SDL_Rect target = {s.x, s.y, static_cast<int>(std::lround(SPRITE_SIZE * s.scale)),
                                 static_cast<int>(std::lround(SPRITE_SIZE * s.scale))};
        SDL_RenderCopyEx(scene.renderer, rawTexture, nullptr, &target, s.angle, nullptr,
                         SDL_FLIP_NONE);
    }
}

bool sameScene() {
    Canvas& canvas = Canvas::getInstance();
    std::vector<Uint32> canvasPixels;
    if (!raw::sameFrame(
            canvas, [&] { canvasSprites(canvas); }, rawScene, [] { rawSprites(rawScene); }, WIDTH,
            HEIGHT, canvasPixels)) {
        return false;
    }
    // The sprites must be there: some pixel holds the sprite's yellow.
    bool yellow = false;
    for (Uint32 p : canvasPixels) {
        yellow = yellow || p == 0xFFF0C828;
    }
    return yellow;
}

__attribute__((noinline)) void canvasFrameWork(Canvas& canvas, bool draw) {
    SDL_Event event;
    canvas.clear();
    if (draw) {
        canvasSprites(canvas);
    }
    while (canvas.pollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            canvas.quit();
        }
    }
    canvas.update();
}

__attribute__((noinline)) void rawFrameWork(raw::Scene& scene) {
    raw::clear(scene);
    rawSprites(scene);
    raw::finishFrame(scene);
}

void BM_CanvasSprites(benchmark::State& state) {
    Canvas& canvas = Canvas::getInstance();
    for (auto _ : state) {
        canvasFrameWork(canvas, true);
    }
}

void BM_RawSprites(benchmark::State& state) {
    for (auto _ : state) {
        rawFrameWork(rawScene);
    }
}

void BM_CanvasEmpty(benchmark::State& state) {
    Canvas& canvas = Canvas::getInstance();
    for (auto _ : state) {
        canvasFrameWork(canvas, false);
    }
}

int runCallgrind(int frames) {
    Canvas& canvas = Canvas::getInstance();
    for (int i = 0; i < 3; ++i) { // warm-up outside the count
        canvas.isRunning();
        canvasFrameWork(canvas, true);
        raw::isRunning(rawScene);
        rawFrameWork(rawScene);
    }
    constexpr int ROUNDS = 4;
    const int perRound = bench::countInRounds(frames, ROUNDS,
                                              {{"canvas",
                                                [&](int n) {
                                                    for (int i = 0; i < n; ++i) {
                                                        canvas.isRunning();
                                                        canvasFrameWork(canvas, true);
                                                    }
                                                }},
                                               {"raw", [](int n) {
                                                    for (int i = 0; i < n; ++i) {
                                                        raw::isRunning(rawScene);
                                                        rawFrameWork(rawScene);
                                                    }
                                                }}});
    bench::reportCounts(perRound, ROUNDS);
    return 0;
}

} // namespace

BENCHMARK(BM_CanvasSprites)->Name("canvas_1000_sprites_frame")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawSprites)->Name("raw_sdl2_1000_sprites_frame")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CanvasEmpty)->Name("canvas_empty_frame")->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    bench::MedianReporter reporter;
    if (const int status =
            bench::runBenchmarkOrCount(argc, argv, 4, "20", "0.2", setUp, runCallgrind, reporter);
        status >= 0) {
        return status;
    }

    const auto canvasMedian = reporter.wall.find("canvas_1000_sprites_frame");
    const auto rawMedian = reporter.wall.find("raw_sdl2_1000_sprites_frame");
    const auto emptyMedian = reporter.wall.find("canvas_empty_frame");
    if (canvasMedian == reporter.wall.end() || rawMedian == reporter.wall.end() ||
        emptyMedian == reporter.wall.end()) {
        return 0;
    }
    // One sprite's share of the frame, and how many fit in a 16 ms frame
    // beside the frame's own fixed work. CPU time is given too: on a busy
    // machine the wall time also counts the time other programs had the core.
    const auto fit = [](double sprites, double empty) {
        const double perSprite = (sprites - empty) / SPRITES;
        return perSprite > 0 ? (16000.0 - empty) / perSprite : 0.0;
    };
    std::map<std::string, double>& cpu = reporter.cpu;
    const char* names[] = {"canvas_1000_sprites_frame", "raw_sdl2_1000_sprites_frame",
                           "canvas_empty_frame"};
    const char* labels[] = {"canvas, 1,000 sprites", "raw SDL2 calls, 1,000 sprites",
                            "canvas, empty frame"};
    std::printf("\n| Path (frame work, no pacing) | Median wall time | Median CPU time |\n");
    std::printf("|---|---|---|\n");
    for (int i = 0; i < 3; ++i) {
        std::printf("| %s | %.1f us | %.1f us |\n", labels[i], reporter.wall[names[i]],
                    cpu[names[i]]);
    }
    std::printf("| ratio canvas / raw | %.3f | %.3f |\n", canvasMedian->second / rawMedian->second,
                cpu[names[0]] / cpu[names[1]]);
    std::printf("| one sprite (32 x 32, scaled 1-2x, turned) | %.2f us | %.2f us |\n",
                (canvasMedian->second - emptyMedian->second) / SPRITES,
                (cpu[names[0]] - cpu[names[2]]) / SPRITES);
    std::printf("| sprites that fit in one 16 ms frame | %.0f | %.0f |\n",
                fit(canvasMedian->second, emptyMedian->second), fit(cpu[names[0]], cpu[names[2]]));
    return 0;
}
