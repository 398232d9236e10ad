// Per-frame cost of the welcome scene: through the canvas, and through the
// same SDL2 / SDL2_gfx / SDL2_ttf calls written by hand (bench/raw_scene.h),
// in one process, each in its own window on the same video driver.
//
//   vantrel-bench-frame [Google Benchmark flags]
//       median wall time per frame of each path (the frame's work: clear,
//       scene, event poll, present; the pacing sleep is left out, it is
//       measured by vantrel-bench-pacing), then a table with the ratio. A
//       second hand-written path in a third window is timed as a control:
//       its gap to the first is the noise floor of the comparison.
//   vantrel-bench-frame --callgrind FRAMES
//       for `valgrind --tool=callgrind --instr-atstart=no`: runs FRAMES whole
//       frames (pacing included) of each path, in rounds that alternate the
//       order, and dumps the instruction counts after every block with the
//       label "canvas" or "raw" (see ./dev bench, which adds them up).
//
// Run it headless: SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software
// SDL_AUDIODRIVER=dummy (./dev bench sets them).

#include "canvas/canvas.h"
#include "welcome_scene.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness.h"
#include "raw_scene.h"

namespace {

// 255 fps is the shortest period the canvas allows (3 ms); it is also what
// the hand-written path paces to.
constexpr std::uint8_t FPS = 255;

raw::Scene rawScene;
// A second, identical hand-written path in a window of its own: the gap
// between the two is the noise floor of the wall-time comparison.
raw::Scene rawControl;

bool sameScene();

void setUp() {
    Canvas& canvas = Canvas::getInstance();
    setUpWelcomeCanvas(canvas, FPS);
    canvas.start();
    // The canvas has started SDL, audio and the font library; the
    // hand-written path only needs its own window, renderer and font.
    raw::open(rawScene, "Vantrel (raw SDL2)", 100, 100, 640, 640, DEFAULT_FONT, DEFAULT_FONT_SIZE,
              FPS);
    raw::start(rawScene);
    raw::open(rawControl, "Vantrel (raw SDL2, control)", 100, 100, 640, 640, DEFAULT_FONT,
              DEFAULT_FONT_SIZE, FPS);
    raw::start(rawControl);
    if (!sameScene()) {
        std::fprintf(stderr, "the canvas and the hand-written path drew different pictures\n");
        std::exit(1);
    }
}

// Both paths must draw the very same picture, or the comparison means nothing:
// draw one frame with each and compare every pixel before presenting.
bool sameScene() {
    Canvas& canvas = Canvas::getInstance();
    std::vector<Uint32> canvasPixels;
    if (!raw::sameFrame(
            canvas, [&] { drawWelcomeScene(canvas); }, rawScene, [] { raw::drawWelcome(rawScene); },
            640, 640, canvasPixels)) {
        return false;
    }
    // The text must be there too: some pixel of the welcome line is blue-ish.
    bool blue = false;
    for (int y = 50; y < 100 && !blue; ++y) {
        for (int x = 150; x < 500 && !blue; ++x) {
            const Uint32 p = canvasPixels[static_cast<std::size_t>(y * 640 + x)];
            blue = (p & 0xFF) > 200 && ((p >> 16) & 0xFF) < 60;
        }
    }
    return blue;
}

// The work of one frame of the demonstration program, minus the pacing.
__attribute__((noinline)) void canvasFrameWork(Canvas& canvas) {
    SDL_Event event;
    canvas.clear();
    drawWelcomeScene(canvas);
    while (canvas.pollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            canvas.quit();
        }
    }
    canvas.update();
}

__attribute__((noinline)) void rawFrameWork(raw::Scene& scene) {
    raw::clear(scene);
    raw::drawWelcome(scene);
    raw::finishFrame(scene);
}

__attribute__((noinline)) void canvasFrames(Canvas& canvas, int frames) {
    for (int i = 0; i < frames; ++i) {
        canvas.isRunning();
        canvasFrameWork(canvas);
    }
}

__attribute__((noinline)) void rawFrames(raw::Scene& scene, int frames) {
    for (int i = 0; i < frames; ++i) {
        raw::isRunning(scene);
        rawFrameWork(scene);
    }
}

void BM_CanvasFrame(benchmark::State& state) {
    Canvas& canvas = Canvas::getInstance();
    for (auto _ : state) {
        canvasFrameWork(canvas);
    }
}

void BM_RawFrame(benchmark::State& state) {
    for (auto _ : state) {
        rawFrameWork(rawScene);
    }
}

void BM_RawControlFrame(benchmark::State& state) {
    for (auto _ : state) {
        rawFrameWork(rawControl);
    }
}

int runCallgrind(int frames) {
    Canvas& canvas = Canvas::getInstance();
    // Warm-up outside the count: glyph caches, first texture, first present.
    canvasFrames(canvas, 20);
    rawFrames(rawScene, 20);

    constexpr int ROUNDS = 4;
    const int perRound = bench::countInRounds(frames, ROUNDS,
                                              {{"canvas", [&](int n) { canvasFrames(canvas, n); }},
                                               {"raw", [](int n) { rawFrames(rawScene, n); }}});
    bench::reportCounts(perRound, ROUNDS);
    return 0;
}

} // namespace

BENCHMARK(BM_CanvasFrame)->Name("canvas_welcome_frame")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawFrame)->Name("raw_sdl2_welcome_frame")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawControlFrame)
    ->Name("raw_sdl2_control_welcome_frame")
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    bench::MedianReporter reporter;
    // Many short repetitions, for a comparison taken in one run.
    if (const int status =
            bench::runBenchmarkOrCount(argc, argv, 4, "60", "0.1", setUp, runCallgrind, reporter);
        status >= 0) {
        return status;
    }

    const auto canvasMedian = reporter.wall.find("canvas_welcome_frame");
    const auto rawMedian = reporter.wall.find("raw_sdl2_welcome_frame");
    const auto controlMedian = reporter.wall.find("raw_sdl2_control_welcome_frame");
    if (canvasMedian == reporter.wall.end() || rawMedian == reporter.wall.end() ||
        controlMedian == reporter.wall.end()) {
        return 0; // a filter left one of them out: no ratio to give
    }
    std::printf("\n| Path (frame work, no pacing) | Median wall time per frame |\n");
    std::printf("|---|---|\n");
    std::printf("| canvas | %.1f us |\n", canvasMedian->second);
    std::printf("| raw SDL2 calls | %.1f us |\n", rawMedian->second);
    std::printf("| raw SDL2 calls, second window (control) | %.1f us |\n", controlMedian->second);
    std::printf("| ratio canvas / raw | %.3f |\n", canvasMedian->second / rawMedian->second);
    std::printf("| ratio control / raw (noise floor) | %.3f |\n",
                controlMedian->second / rawMedian->second);
    return 0;
}
