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

#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

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
    // The canvas made the first window (id 1); the hand-written path the second.
    SDL_Renderer* canvasRenderer = SDL_GetRenderer(SDL_GetWindowFromID(1));
    if (canvasRenderer == nullptr || canvasRenderer == rawScene.renderer) {
        return false;
    }
    std::vector<Uint32> canvasPixels(640 * 640);
    std::vector<Uint32> rawPixels(640 * 640);
    canvas.clear();
    drawWelcomeScene(canvas);
    SDL_RenderReadPixels(canvasRenderer, nullptr, SDL_PIXELFORMAT_ARGB8888, canvasPixels.data(),
                         640 * 4);
    canvas.update();
    raw::clear(rawScene);
    raw::drawWelcome(rawScene);
    SDL_RenderReadPixels(rawScene.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, rawPixels.data(),
                         640 * 4);
    SDL_RenderPresent(rawScene.renderer);
    // The text must be there too: some pixel of the welcome line is blue-ish.
    bool blue = false;
    for (int y = 50; y < 100 && !blue; ++y) {
        for (int x = 150; x < 500 && !blue; ++x) {
            const Uint32 p = canvasPixels[static_cast<std::size_t>(y * 640 + x)];
            blue = (p & 0xFF) > 200 && ((p >> 16) & 0xFF) < 60;
        }
    }
    return blue && canvasPixels == rawPixels;
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

// Keeps the console output and remembers each benchmark's median.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    MedianReporter() : ConsoleReporter(OO_Tabular) {} // no colours: the output goes to files too
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians;
};

int runCallgrind(int frames) {
    Canvas& canvas = Canvas::getInstance();
    // Warm-up outside the count: glyph caches, first texture, first present.
    canvasFrames(canvas, 20);
    rawFrames(rawScene, 20);

    constexpr int ROUNDS = 4;
    const int perRound = frames / ROUNDS;
    CALLGRIND_START_INSTRUMENTATION;
    CALLGRIND_ZERO_STATS;
    for (int round = 0; round < ROUNDS; ++round) {
        if (round % 2 == 0) {
            canvasFrames(canvas, perRound);
            CALLGRIND_DUMP_STATS_AT("canvas");
            rawFrames(rawScene, perRound);
            CALLGRIND_DUMP_STATS_AT("raw");
        } else {
            rawFrames(rawScene, perRound);
            CALLGRIND_DUMP_STATS_AT("raw");
            canvasFrames(canvas, perRound);
            CALLGRIND_DUMP_STATS_AT("canvas");
        }
    }
    CALLGRIND_STOP_INSTRUMENTATION;
    std::printf("callgrind: %d frames of each path in %d rounds of %d\n", perRound * ROUNDS, ROUNDS,
                perRound);
    if (!RUNNING_ON_VALGRIND) {
        std::fprintf(stderr, "note: not running under callgrind, nothing was counted\n");
    }
    return 0;
}

} // namespace

BENCHMARK(BM_CanvasFrame)->Name("canvas_welcome_frame")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawFrame)->Name("raw_sdl2_welcome_frame")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawControlFrame)
    ->Name("raw_sdl2_control_welcome_frame")
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--callgrind") == 0) {
        const int frames = std::atoi(argv[2]);
        if (frames < 4) {
            std::fprintf(stderr, "usage: %s --callgrind FRAMES (at least 4)\n", argv[0]);
            return 2;
        }
        setUp();
        return runCallgrind(frames);
    }

    // Defaults for a comparison taken in one run: many repetitions, the two
    // benchmarks interleaved at random, aggregates only. Flags given on the
    // command line come later and win.
    std::vector<char*> args(argv, argv + argc);
    // Short repetitions, shuffled, so that drift in the machine's speed falls
    // on every path alike.
    std::string repetitions = "--benchmark_repetitions=60";
    std::string minTime = "--benchmark_min_time=0.1";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {&repetitions[0], &minTime[0], &interleave[0], &aggregates[0]});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 2;
    }
    setUp();

    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto canvasMedian = reporter.medians.find("canvas_welcome_frame");
    const auto rawMedian = reporter.medians.find("raw_sdl2_welcome_frame");
    const auto controlMedian = reporter.medians.find("raw_sdl2_control_welcome_frame");
    if (canvasMedian == reporter.medians.end() || rawMedian == reporter.medians.end() ||
        controlMedian == reporter.medians.end()) {
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
