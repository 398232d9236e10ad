// The demonstration program: a 640 x 640 window with the welcome scene,
// redrawn 60 times a second until the window is closed.

#include <SDL.h>

#include "canvas/canvas.h"
#include "welcome_scene.h"

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;

    Canvas& canvas = Canvas::getInstance();
    setUpWelcomeCanvas(canvas);

    SDL_Event uEvent;
    canvas.start();
    canvas.clear();
    while (canvas.isRunning()) {
        canvas.clear();
        drawWelcomeScene(canvas);
        // Every waiting event, so the close request is seen within one
        // frame however many mouse motions are queued ahead of it.
        while (canvas.pollEvent(&uEvent)) {
            if (uEvent.type == SDL_QUIT) {
                canvas.quit();
            }
        }
        canvas.update();
    }
    return 0;
}
