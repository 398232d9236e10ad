// Memory over time: resident set size while the welcome scene is drawn for
// 18,000 frames at the highest frame rate the canvas allows (255 fps, a 3 ms
// period). A framework that leaks per frame (a text surface or texture not
// freed, a growing list) shows it here as growth between frame 600 and the end.
//
//   vantrel-bench-memory [FRAMES]     (default 18000)
//
// Run it headless: SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software
// SDL_AUDIODRIVER=dummy.

#include "canvas/canvas.h"
#include "welcome_scene.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

// VmRSS of this process in KiB, from /proc/self/status.
long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(1 << 16, '\n');
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    const long frames = argc > 1 ? std::atol(argv[1]) : 18000;
    if (frames < 600) {
        std::fprintf(stderr, "usage: %s [FRAMES >= 600]\n", argv[0]);
        return 2;
    }
    Canvas& canvas = Canvas::getInstance();
    setUpWelcomeCanvas(canvas, 255);

    // Where to read the resident set size: after 600 frames, at each further
    // quarter of the run, and at the end.
    std::vector<long> checkpoints = {600};
    for (int quarter = 1; quarter <= 4; ++quarter) {
        const long at = 600 + (frames - 600) * quarter / 4;
        if (at > checkpoints.back()) {
            checkpoints.push_back(at);
        }
    }
    std::vector<long> rss;

    long frame = 0;
    std::size_t next = 0;
    SDL_Event event;
    canvas.start();
    canvas.clear();
    while (canvas.isRunning()) {
        canvas.clear();
        drawWelcomeScene(canvas);
        while (canvas.pollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                canvas.quit();
            }
        }
        canvas.update();
        ++frame;
        if (next < checkpoints.size() && frame == checkpoints[next]) {
            rss.push_back(residentKiB());
            if (++next == checkpoints.size()) {
                canvas.quit();
            }
        }
    }

    std::printf("\n| Frames drawn | Resident set size | Growth since frame 600 |\n");
    std::printf("|---|---|---|\n");
    for (std::size_t i = 0; i < rss.size(); ++i) {
        std::printf("| %ld | %ld KiB | %+ld KiB |\n", checkpoints[i], rss[i], rss[i] - rss[0]);
    }
    const long growth = rss.back() - rss.front();
    std::printf("\nGrowth from frame 600 to frame %ld: %ld KiB (goal: at most 1024 KiB): %s\n",
                checkpoints.back(), growth, growth <= 1024 ? "met" : "NOT met");
    return 0;
}
