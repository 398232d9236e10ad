// What SDL's ways of drawing lines (SDL_HINT_RENDER_LINE_METHOD) would do to
// the canvas's pixels and speed on the OpenGL renderer. SDL2_gfx hands SDL
// every shape as lines and points (a disc is a column of vertical runs);
// SDL draws them as points by default, and can draw them as the driver's
// lines (2) or as triangles (3), which are faster on some drivers.
//
//   vantrel-bench-line-methods [--picture FILE.png] [--frames N]
//
// Under an X display with OpenGL (./dev bench runs it in Xvfb), prints:
//   - per shape family, how many pixels each method draws differently from
//     SDL's default on the same renderer (OpenGL, and the software renderer,
//     whose pictures are the reference), and where OpenGL's default differs
//     from the reference;
//   - per renderer and method, the milliseconds per frame of 2,000 short
//     lines and of 1,000 discs of radius 8 (the comparison scenes), wall and
//     CPU time: figures from one process, whose heap has its own history, so
//     only their ratios carry over to a canvas program;
// and writes a picture: the same disc, diagonal, rounded corner and thick
// line's end, eight times enlarged, as each method draws them, with the
// pixels a method loses in red and those it adds in blue.

#include <SDL.h>
#include <SDL2_gfxPrimitives.h>
#include <SDL_image.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "peers/scenes.h"
#include "tests/shape_families.h"

namespace {

using shape_families::HEIGHT;
using shape_families::WIDTH;
using Pixels = std::vector<Uint32>;

struct Way {
    const char* label;
    const char* driver;
    const char* method; // SDL_HINT_RENDER_LINE_METHOD, nullptr for SDL's default
    SDL_Renderer* renderer;
};

constexpr Uint32 PAPER = 0xFF808080;

// A window of its own whose renderer is made on driver with the line method,
// batching its drawing as the canvas has it.
SDL_Renderer* open(const Way& way) {
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, way.driver, SDL_HINT_OVERRIDE);
    SDL_SetHintWithPriority(SDL_HINT_RENDER_BATCHING, "1", SDL_HINT_OVERRIDE);
    SDL_SetHintWithPriority(SDL_HINT_RENDER_LINE_METHOD, way.method, SDL_HINT_OVERRIDE);
    SDL_Window* window = SDL_CreateWindow(way.label, 0, 0, WIDTH, HEIGHT, 0);
    SDL_Renderer* renderer = window != nullptr ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    SDL_RendererInfo info{};
    if (renderer == nullptr || SDL_GetRendererInfo(renderer, &info) != 0 ||
        std::strcmp(info.name, way.driver) != 0) {
        std::fprintf(stderr, "no %s renderer here: %s\n", way.driver, SDL_GetError());
        std::exit(1);
    }
    return renderer;
}

template <typename Draw> Pixels drawn(SDL_Renderer* renderer, Draw draw) {
    SDL_SetRenderDrawColor(renderer, 128, 128, 128, 255);
    SDL_RenderClear(renderer);
    draw(renderer);
    Pixels pixels(static_cast<std::size_t>(WIDTH) * HEIGHT);
    SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), WIDTH * 4);
    SDL_RenderPresent(renderer);
    return pixels;
}

long differing(const Pixels& a, const Pixels& b, bool placesOnly) {
    long count = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        count += placesOnly ? (a[i] == PAPER) != (b[i] == PAPER) : a[i] != b[i];
    }
    return count;
}

double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Median milliseconds per frame, wall and CPU, of frames drawn with draw.
template <typename Draw>
std::pair<double, double> frameTimes(SDL_Renderer* renderer, int frames, Draw draw) {
    std::vector<double> wall, cpu;
    for (int f = 0; f < frames + 5; ++f) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = cpuMilliseconds();
        SDL_SetRenderDrawColor(renderer, 20, 24, 48, 255);
        SDL_RenderClear(renderer);
        draw(renderer);
        SDL_RenderPresent(renderer);
        if (f >= 5) {
            wall.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
            cpu.push_back(cpuMilliseconds() - cpuStart);
        }
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

// The picture's four crops: 24 x 24 pixels around these points of the scene
// drawn by drawCrops.
constexpr int CROP = 24;
constexpr int ZOOM = 8;
const SDL_Point CROPS[4] = {{28, 28}, {108, 88}, {188, 28}, {268, 28}};

void drawCrops(SDL_Renderer* r) {
    filledCircleRGBA(r, 40, 40, 8, 0, 0, 0, 255);
    lineRGBA(r, 100, 80, 140, 110, 0, 0, 0, 255);
    roundedBoxRGBA(r, 192, 32, 260, 90, 10, 0, 0, 0, 255);
    thickLineRGBA(r, 250, 80, 280, 40, 6, 0, 0, 0, 255);
}

// One row of the picture per way: each crop enlarged, ink black on grey, a
// pixel the way loses against the reference red, one it adds blue.
void paintRow(SDL_Surface* picture, int row, const Pixels& pixels, const Pixels& reference) {
    for (int c = 0; c < 4; ++c) {
        for (int y = 0; y < CROP; ++y) {
            for (int x = 0; x < CROP; ++x) {
                const std::size_t i =
                    static_cast<std::size_t>(CROPS[c].y + y) * WIDTH + CROPS[c].x + x;
                const bool ink = pixels[i] != PAPER, referenceInk = reference[i] != PAPER;
                const Uint32 colour = ink && !referenceInk   ? 0xFF2060FF
                                      : !ink && referenceInk ? 0xFFFF3030
                                      : ink                  ? 0xFF000000
                                                             : 0xFFC0C0C0;
                const SDL_Rect cell = {c * (CROP * ZOOM + 8) + x * ZOOM + 1,
                                       row * (CROP * ZOOM + 8) + y * ZOOM + 1, ZOOM - 1, ZOOM - 1};
                SDL_FillRect(picture, &cell, colour);
            }
        }
    }
}

} // namespace

int main(int argc, char* argv[]) {
    std::string picturePath;
    int frames = 30;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--picture") == 0) {
            picturePath = argv[i + 1];
        } else if (std::strcmp(argv[i], "--frames") == 0) {
            frames = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    // The software renderer shows its frames through X11 itself, as a
    // teacher's SDL_FRAMEBUFFER_ACCELERATION=0 has it, not through OpenGL.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    Way ways[] = {{"software renderer (the reference)", "software", nullptr, nullptr},
                  {"OpenGL, SDL's default: points", "opengl", nullptr, nullptr},
                  {"OpenGL, 2: the driver's lines", "opengl", "2", nullptr},
                  {"OpenGL, 3: triangles", "opengl", "3", nullptr},
                  {"software, 2: its own lines", "software", "2", nullptr},
                  {"software, 3: triangles", "software", "3", nullptr}};
    constexpr int WAYS = 6;
    for (Way& way : ways) {
        way.renderer = open(way);
    }

    std::printf("Pixels drawn otherwise than by the same renderer's default:\n\n"
                "| Shape family | OpenGL, 2 | OpenGL, 3 | software, 2 | software, 3 | OpenGL's "
                "default against the software renderer (places) |\n|---|---|---|---|---|---|\n");
    for (const auto& [name, family] : shape_families::families()) {
        for (const shape_families::Ink& ink :
             {shape_families::OPAQUE, shape_families::SEE_THROUGH}) {
            Pixels pixels[WAYS];
            for (int w = 0; w < WAYS; ++w) {
                pixels[w] = drawn(ways[w].renderer, [&](SDL_Renderer* r) { family(r, ink); });
            }
            std::printf(
                "| %s%s | %ld | %ld | %ld | %ld | %ld |\n", name,
                ink.a == 255 ? "" : ", see-through", differing(pixels[1], pixels[2], false),
                differing(pixels[1], pixels[3], false), differing(pixels[0], pixels[4], false),
                differing(pixels[0], pixels[5], false), differing(pixels[0], pixels[1], true));
        }
    }

    const auto lines = peers::lines();
    const auto discs = peers::discs();
    std::printf("\n| Renderer and way | 2,000 lines, ms per frame (wall / CPU) | 1,000 discs, ms "
                "per frame (wall / CPU) |\n|---|---|---|\n");
    for (int w = 0; w < WAYS; ++w) {
        const auto lineTimes = frameTimes(ways[w].renderer, frames, [&](SDL_Renderer* r) {
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const peers::Rgb c = peers::PALETTE[i % 8];
                lineRGBA(r, static_cast<Sint16>(lines[i].x1), static_cast<Sint16>(lines[i].y1),
                         static_cast<Sint16>(lines[i].x2), static_cast<Sint16>(lines[i].y2), c.r,
                         c.g, c.b, 255);
            }
        });
        const auto discTimes = frameTimes(ways[w].renderer, frames, [&](SDL_Renderer* r) {
            for (std::size_t i = 0; i < discs.size(); ++i) {
                const peers::Rgb c = peers::PALETTE[i % 8];
                filledCircleRGBA(r, static_cast<Sint16>(discs[i].x),
                                 static_cast<Sint16>(discs[i].y), peers::DISC_RADIUS, c.r, c.g, c.b,
                                 255);
            }
        });
        std::printf("| %s | %.2f / %.2f | %.2f / %.2f |\n", ways[w].label, lineTimes.first,
                    lineTimes.second, discTimes.first, discTimes.second);
    }

    if (!picturePath.empty()) {
        SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormat(
            0, 4 * (CROP * ZOOM + 8), 4 * (CROP * ZOOM + 8), 32, SDL_PIXELFORMAT_ARGB8888);
        SDL_FillRect(picture, nullptr, 0xFFFFFFFF);
        const Pixels reference = drawn(ways[1].renderer, drawCrops);
        for (int w = 0; w < 4; ++w) {
            paintRow(picture, w, drawn(ways[w].renderer, drawCrops), reference);
        }
        if (IMG_SavePNG(picture, picturePath.c_str()) != 0) {
            std::fprintf(stderr, "cannot write %s: %s\n", picturePath.c_str(), SDL_GetError());
            return 1;
        }
        SDL_FreeSurface(picture);
        std::printf("\nPicture: %s (rows: %s; %s; %s; %s)\n", picturePath.c_str(), ways[0].label,
                    ways[1].label, ways[2].label, ways[3].label);
    }
    SDL_Quit();
    return 0;
}
