// The six comparison scenes (and two learners' programs) drawn with Vantrel, as a learner would
// write them: one canvas call per item, every frame cleared, drawn, its events taken and shown. The
// frame loop's pacing (isRunning's sleep) is left out, as the other frameworks' programs do not
// limit their frame rate either.
//
//   vantrel-peer-scenes --sprite bench/peers/sprite.png --font DejaVuSans.ttf [--frames N]
//
// prints the renderer it drew with, the set-up's milliseconds (initWorld,
// which chooses the renderer), then one line a scene: its name, the
// mean wall time and the mean CPU time (every thread of the process) per
// frame, in milliseconds.

#include "canvas/canvas.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <functional>

#include "scenes.h"

namespace {

Color colour(int i) {
    const peers::Rgb c = peers::PALETTE[i % 8];
    return Color(c.r, c.g, c.b, 255);
}

double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The renderer SDL gave the canvas's window, and the OpenGL renderer under
// it when there is one (llvmpipe, for example).
std::string rendererName() {
    std::string name = Canvas::getInstance().getRendererName();
    using GetString = const unsigned char* (*)(unsigned int);
    if (SDL_GL_GetCurrentContext() != nullptr) {
        auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
        const unsigned char* gl = getString != nullptr ? getString(0x1F01) : nullptr; // GL_RENDERER
        if (gl != nullptr) {
            name += std::string(" (") + reinterpret_cast<const char*>(gl) + ")";
        }
    }
    const char* method = SDL_GetHint(SDL_HINT_RENDER_LINE_METHOD);
    name += std::string(", line method ") + (method != nullptr ? method : "SDL's default");
    return name;
}

} // namespace

int main(int argc, char* argv[]) {
    const peers::Options options = peers::readOptions(argc, argv);
    Canvas& canvas = Canvas::getInstance();
    const auto setUpStart = std::chrono::steady_clock::now();
    canvas.initWorld(0, 0, peers::WIDTH, peers::HEIGHT, "Vantrel scenes");
    const double setUp =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - setUpStart)
            .count();
    canvas.setBackgroundColor(
        Color(peers::BACKGROUND.r, peers::BACKGROUND.g, peers::BACKGROUND.b, 255));
    const FontId font = canvas.loadFont(options.font, peers::LABEL_SIZE);
    const ImageId sprite = canvas.loadImage(options.sprite);
    if (font == -1 || sprite == -1) {
        std::fprintf(stderr, "cannot open %s or %s\n", options.font.c_str(),
                     options.sprite.c_str());
        return 1;
    }
    std::printf("renderer %s\n", rendererName().c_str());
    std::printf("setup %.3f\n", setUp);

    const auto lines = peers::lines();
    const auto discs = peers::discs();
    const auto labels = peers::labels();
    const auto rectangles = peers::rectangles();
    const auto sprites = peers::sprites();
    std::vector<peers::Line> spirograph;
    for (int i = 0; i < 24000; ++i) {
        const auto at = [](int step, int* x, int* y) {
            const double t = step * 0.0105;
            *x = static_cast<int>(400 + 170 * std::cos(t) + 110 * std::cos(t * 4.2));
            *y = static_cast<int>(300 + 170 * std::sin(t) - 110 * std::sin(t * 4.2));
        };
        peers::Line l{};
        at(i, &l.x1, &l.y1);
        at(i + 1, &l.x2, &l.y2);
        spirograph.push_back(l);
    }
    peers::Numbers alive(6);
    std::vector<bool> board(160 * 120);
    for (std::size_t i = 0; i < board.size(); ++i) {
        board[i] = alive.below(3) == 0;
    }

    const std::function<void()> scenes[] = {
        [&] {
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const peers::Line& l = lines[i];
                canvas.drawLine(l.x1, l.y1, l.x2, l.y2, colour(static_cast<int>(i)));
            }
        },
        [&] {
            for (std::size_t i = 0; i < discs.size(); ++i) {
                canvas.drawFilledCircle(discs[i].x, discs[i].y, peers::DISC_RADIUS,
                                        colour(static_cast<int>(i)));
            }
        },
        [&] {
            for (std::size_t i = 0; i < labels.size(); ++i) {
                const int n = static_cast<int>(i);
                canvas.drawText(labels[i].x, labels[i].y, peers::labelText(n), colour(n), font);
            }
        },
        [&] {
            for (std::size_t i = 0; i < rectangles.size(); ++i) {
                const peers::Spot& r = rectangles[i];
                canvas.drawFilledRectangle(r.x, r.y, r.x + peers::RECTANGLE_SIZE - 1,
                                           r.y + peers::RECTANGLE_SIZE - 1,
                                           colour(static_cast<int>(i)));
            }
        },
        [&] {
            for (const peers::Sprite& s : sprites) {
                canvas.drawImage(sprite, s.x, s.y, 1.0, s.angle);
            }
        },
        [] {},
        // Two learners' programs, Vantrel only: a spirograph of 24,000
        // segments and Game of Life's 160 x 120 board of 5 x 5 squares.
        [&] {
            for (std::size_t i = 0; i < spirograph.size(); ++i) {
                const peers::Line& l = spirograph[i];
                canvas.drawLine(l.x1, l.y1, l.x2, l.y2, colour(static_cast<int>(i / 3000)));
            }
        },
        [&] {
            for (int cell = 0; cell < 160 * 120; ++cell) {
                const int x = cell % 160 * 5, y = cell / 160 * 5;
                canvas.drawFilledRectangle(x, y, x + 4, y + 4, colour(board[cell] ? 6 : 2));
            }
        },
    };
    const char* const NAMES[] = {"lines",   "discs", "text",       "rectangles",
                                 "sprites", "empty", "spirograph", "life"};

    SDL_Event event;
    for (int scene = 0; scene < 8; ++scene) {
        const auto frame = [&] {
            canvas.clear();
            scenes[scene]();
            while (canvas.pollEvent(&event)) {
            }
            canvas.update();
        };
        for (int i = 0; i < peers::WARM_UP_FRAMES; ++i) {
            frame();
        }
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = cpuMilliseconds();
        for (int i = 0; i < options.frames; ++i) {
            frame();
        }
        const double wall =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        std::printf("scene %s %.3f %.3f\n", NAMES[scene], wall / options.frames,
                    (cpuMilliseconds() - cpuStart) / options.frames);
        std::fflush(stdout);
    }
    return 0;
}
