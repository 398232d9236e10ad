// Per-frame cost of a painting with 5,000 stroke points, drawn the two ways a
// paint program can keep it: kept in an image made by createImage (one
// drawImage a frame, plus the one new step of the stroke), or redrawn point
// by point after every clear(). Beside them, for scale, an empty frame and a
// frame that draws one loaded image of the window's size.
//
//   vantrel-bench-paint [Google Benchmark flags]
//       median wall time per frame of each path (clear, drawing, event poll,
//       present; no pacing sleep), then a table.
//   vantrel-bench-paint --callgrind FRAMES
//       for `valgrind --tool=callgrind --instr-atstart=no`: FRAMES whole
//       frames of each path (pacing included), in rounds that change the
//       order, dumping the counts after every block with the path's name.
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

namespace {

constexpr std::uint8_t FPS = 255;
constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;
constexpr int STROKES = 50;
constexpr int POINTS = 100; // per stroke: 5,000 in all
constexpr int BRUSH = 7;

ImageId painting = -1;
ImageId photo = -1;  // a loaded, opaque image of the window's size
ImageId window = -1; // the same with a transparent hole, so drawn blended
std::vector<SDL_Point> points;
int step = 0; // the "new" step the kept path adds each frame

// One step of a stroke, as the paint example draws it.
void paintStep(Canvas& canvas, const SDL_Point& from, const SDL_Point& to, const Color& colour) {
    canvas.drawThickLine(from.x, from.y, to.x, to.y, BRUSH, colour);
    canvas.drawFilledCircle(to.x, to.y, BRUSH / 2, colour);
}

// Palette colours other than white, which would not show on the paper.
Color colourOf(int stroke) {
    static const ColorName INKS[8] = {0, 4, 5, 8, 9, 12, 13, 14};
    return Color(INKS[stroke % 8]);
}

__attribute__((noinline)) void redrawAll(Canvas& canvas) {
    for (int s = 0; s < STROKES; ++s) {
        for (int p = 1; p < POINTS; ++p) {
            paintStep(canvas, points[s * POINTS + p - 1], points[s * POINTS + p], colourOf(s));
        }
    }
}

// Wavy strokes across the window, like a hand's.
void makeStrokes() {
    for (int s = 0; s < STROKES; ++s) {
        for (int p = 0; p < POINTS; ++p) {
            const double t = p / static_cast<double>(POINTS - 1);
            points.push_back(SDL_Point{20 + static_cast<int>(t * (WIDTH - 40)),
                                       30 + (s * 9) % (HEIGHT - 60) +
                                           static_cast<int>(20 * std::sin(t * 12 + s))});
        }
    }
}

// A 640 x 480 picture file; with a hole, its middle is transparent.
std::string writePhoto(bool hole) {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, WIDTH, HEIGHT, 32, SDL_PIXELFORMAT_RGBA32);
    for (int y = 0; y < HEIGHT; ++y) {
        auto* row = static_cast<Uint8*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < WIDTH; ++x) {
            row[x * 4] = static_cast<Uint8>(x), row[x * 4 + 1] = static_cast<Uint8>(y);
            row[x * 4 + 2] = static_cast<Uint8>(x ^ y);
            row[x * 4 + 3] = hole && x > 100 && x < 540 && y > 100 && y < 380 ? 0 : 255;
        }
    }
    const char* folder = SDL_getenv("TMPDIR");
    const std::string path = std::string(folder != nullptr ? folder : "/tmp") +
                             "/vantrel-bench-photo-" + std::to_string(hole) + "-" +
                             std::to_string(SDL_GetTicks()) + ".png";
    // Without a hole it is saved with no alpha channel, so it is copied
    // without blending.
    SDL_Surface* saved =
        hole ? surface : SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_RGB24, 0);
    if (saved == nullptr || IMG_SavePNG(saved, path.c_str()) != 0) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), SDL_GetError());
        std::exit(1);
    }
    if (saved != surface) {
        SDL_FreeSurface(saved);
    }
    SDL_FreeSurface(surface);
    return path;
}

void setUp() {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, WIDTH, HEIGHT, "Vantrel paint cost", DEFAULT_FONT, DEFAULT_FONT_SIZE,
                     Color(WHITE), Color(BLACK), FPS);
    canvas.start();
    makeStrokes();
    painting = canvas.createImage(WIDTH, HEIGHT);
    for (bool hole : {false, true}) {
        const std::string path = writePhoto(hole);
        (hole ? window : photo) = canvas.loadImage(path);
        std::remove(path.c_str());
    }
    if (painting < 1 || photo < 1 || window < 1) {
        std::fprintf(stderr, "cannot make the images: %s\n", canvas.getImageError().c_str());
        std::exit(1);
    }
    canvas.clearImage(painting, Color(WHITE));
    canvas.drawInto(painting);
    redrawAll(canvas);
    canvas.drawIntoWindow();

    // Both ways of keeping the painting must show the same picture.
    std::vector<Uint32> kept(WIDTH * HEIGHT), redrawn(WIDTH * HEIGHT);
    SDL_Renderer* renderer = SDL_GetRenderer(SDL_GetWindowFromID(1));
    canvas.clear();
    canvas.drawImage(painting, 0, 0);
    SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, kept.data(), WIDTH * 4);
    canvas.clear();
    redrawAll(canvas);
    SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, redrawn.data(), WIDTH * 4);
    canvas.update();
    if (kept != redrawn) {
        std::fprintf(stderr, "the kept painting and the redrawn one differ\n");
        std::exit(1);
    }
}

enum class Path { Empty, Photo, Window, Kept, KeptPainting, Redrawn };

__attribute__((noinline)) void frameWork(Canvas& canvas, Path path) {
    SDL_Event event;
    canvas.clear();
    switch (path) {
    case Path::Empty:
        break;
    case Path::Photo:
        canvas.drawImage(photo, 0, 0);
        break;
    case Path::Window:
        canvas.drawImage(window, 0, 0);
        break;
    case Path::Kept:
        canvas.drawImage(painting, 0, 0);
        break;
    case Path::KeptPainting: {
        // A frame of painting: one new step goes into the image first.
        const int p = 1 + step++ % (POINTS - 1);
        canvas.drawInto(painting);
        paintStep(canvas, points[p - 1], points[p], colourOf(0));
        canvas.drawIntoWindow();
        canvas.drawImage(painting, 0, 0);
        break;
    }
    case Path::Redrawn:
        redrawAll(canvas);
        break;
    }
    while (canvas.pollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            canvas.quit();
        }
    }
    canvas.update();
}

struct Named {
    Path path;
    const char* label; // callgrind's dump label and the benchmark's name
    const char* text;  // the table's row
};

const Named PATHS[] = {
    {Path::Empty, "empty", "empty frame"},
    {Path::Photo, "photo", "one loaded opaque 640 x 480 image (drawImage, copied)"},
    {Path::Window, "window", "one loaded 640 x 480 image with a hole (drawImage, blended)"},
    {Path::Kept, "kept", "5,000 points kept in an image (drawImage)"},
    {Path::KeptPainting, "painting", "kept, and one new step painted into the image"},
    {Path::Redrawn, "redrawn", "5,000 points redrawn (4,950 thick lines and discs)"},
};

constexpr int PATH_COUNT = sizeof(PATHS) / sizeof(PATHS[0]);

void BM_Frame(benchmark::State& state, Path path) {
    Canvas& canvas = Canvas::getInstance();
    for (auto _ : state) {
        frameWork(canvas, path);
    }
}

int runCallgrind(int frames) {
    Canvas& canvas = Canvas::getInstance();
    for (const Named& named : PATHS) { // warm-up outside the count
        canvas.isRunning();
        frameWork(canvas, named.path);
    }
    std::vector<bench::CountedPath> counted;
    for (const Named& named : PATHS) {
        counted.push_back({named.label, [&canvas, &named](int n) {
                               for (int f = 0; f < n; ++f) {
                                   canvas.isRunning();
                                   frameWork(canvas, named.path);
                               }
                           }});
    }
    constexpr int ROUNDS = 2;
    bench::reportCounts(bench::countInRounds(frames, ROUNDS, counted), ROUNDS);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    for (const Named& named : PATHS) {
        benchmark::RegisterBenchmark(named.label, BM_Frame, named.path)
            ->Unit(benchmark::kMicrosecond);
    }
    bench::MedianReporter reporter;
    if (const int status =
            bench::runBenchmarkOrCount(argc, argv, 2, "20", "0.2", setUp, runCallgrind, reporter);
        status >= 0) {
        return status;
    }

    if (reporter.wall.size() != PATH_COUNT) {
        return 0;
    }
    // The comparisons use CPU time too: on a busy machine the wall time also
    // counts the time other programs had the core.
    const auto above = [&](std::map<std::string, double>& times, const char* label) {
        return times[label] - times["empty"];
    };
    std::printf(
        "\n| Frame (640 x 480, software renderer, no pacing) | Median wall time | Above the "
        "empty frame, in draws of the image with a hole | Median CPU time | The same, "
        "by CPU time |\n");
    std::printf("|---|---|---|---|---|\n");
    for (const Named& named : PATHS) {
        std::printf("| %s | %.1f us | %.2f | %.1f us | %.2f |\n", named.text,
                    reporter.wall[named.label],
                    above(reporter.wall, named.label) / above(reporter.wall, "window"),
                    reporter.cpu[named.label],
                    above(reporter.cpu, named.label) / above(reporter.cpu, "window"));
    }
    return 0;
}
