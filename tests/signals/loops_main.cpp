// The loops the signal tests send Ctrl+C and SIGTERM to (signals.sh). Each
// prints "loop started" once its loop runs.
//
//   vantrel-signal-loops usual        isRunning, every event, quits on SDL_QUIT
//   vantrel-signal-loops never-polls  isRunning, draws, update; takes no event
//   vantrel-signal-loops frames-only  draws and update for ever; no isRunning
//   vantrel-signal-loops busy         spins for ever with no canvas call

#include "canvas/canvas.h"

#include <cstdio>
#include <cstring>

namespace {

void started() {
    std::puts("loop started");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    const char* loop = argc > 1 ? argv[1] : "usual";
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 64, 48, "signal loops");
    canvas.setForegroundColor(Color(WHITE));
    canvas.start();
    if (std::strcmp(loop, "busy") == 0) {
        started();
        for (volatile unsigned long spins = 0;; ++spins) {
        }
    }
    const bool paced = std::strcmp(loop, "frames-only") != 0;
    const bool polls = std::strcmp(loop, "usual") == 0;
    SDL_Event event;
    for (long frame = 0; !paced || canvas.isRunning(); ++frame) {
        if (frame == 0) {
            started();
        }
        canvas.clear();
        canvas.drawFilledCircle(32, 24, 10);
        while (polls && canvas.pollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                std::puts("close request seen");
                canvas.quit();
            }
        }
        canvas.update();
    }
    return 0;
}
