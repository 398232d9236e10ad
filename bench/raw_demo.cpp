// The demonstration program written by hand against SDL2, SDL2_gfx, SDL2_ttf
// and SDL2_mixer: the same set-up, the same welcome scene and the same frame
// pacing as app/main.cpp, with no canvas. vantrel-bench-cpu runs the two side
// by side to show what the framework costs in CPU time.

#include <cstdio>
#include <exception>

#include "raw_scene.h"

#ifndef VANTREL_BENCH_FONT
#error "VANTREL_BENCH_FONT must name the font file (set by the build)"
#endif

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;
    try {
        raw::startLibraries();
        raw::Scene scene;
        raw::open(scene, "Vantrel", 100, 100, 640, 640, VANTREL_BENCH_FONT, 35, 60);
        raw::start(scene);
        raw::clear(scene);
        while (raw::isRunning(scene)) {
            raw::clear(scene);
            raw::drawWelcome(scene);
            raw::finishFrame(scene);
        }
        raw::close(scene);
        raw::stopLibraries();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
