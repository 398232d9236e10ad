// Soak check: the demonstration program's welcome scene drawn for a fixed
// number of frames (2,000 unless given), headless, then ended the way a user
// ends it: a quit request arrives through the event queue, the loop ends and
// main returns, so the canvas tears down at exit. Run under valgrind's
// memcheck by the test suite; any block definitely lost from the framework's
// own code fails the check.
//
//   soak [FRAMES]

#include "canvas/canvas.h"
#include "welcome_scene.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    const long frames = argc > 1 ? std::atol(argv[1]) : 2000;
    if (frames < 1) {
        std::fprintf(stderr, "usage: %s [FRAMES]\n", argv[0]);
        return 2;
    }
    Canvas& canvas = Canvas::getInstance();
    // The highest frame rate there is: the soak is about memory, not pacing.
    setUpWelcomeCanvas(canvas, 255);

    long drawn = 0;
    SDL_Event uEvent;
    canvas.start();
    canvas.clear();
    while (canvas.isRunning()) {
        canvas.clear();
        drawWelcomeScene(canvas);
        if (++drawn == frames) {
            SDL_Event quitRequest;
            quitRequest.type = SDL_QUIT;
            SDL_PushEvent(&quitRequest);
        }
        // Every waiting event, as in the demonstration program.
        while (canvas.pollEvent(&uEvent)) {
            if (uEvent.type == SDL_QUIT) {
                canvas.quit();
            }
        }
        canvas.update();
    }
    if (drawn < frames) {
        std::fprintf(stderr, "the loop ended after %ld frames of %ld\n", drawn, frames);
        return 1;
    }
    std::printf("drew %ld frames\n", drawn);
    return 0;
}
