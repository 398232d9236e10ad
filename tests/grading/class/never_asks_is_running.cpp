// A frame loop of its own, while (!done), that never calls isRunning(): the
// recording counts frames there, so it counts none and must stop the
// program itself, with a verdict that says why.
#include "canvas/canvas.h"

int main(int, char*[]) {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, 400, 300, "My house");
    canvas.setBackgroundColor(Color(SILVER));
    SDL_Event event;
    bool done = false;
    canvas.start();
    while (!done) {
        canvas.clear();
        canvas.drawFilledRectangle(100, 140, 300, 280, Color(WHITE));
        while (canvas.pollEvent(&event)) {
            done = event.type == SDL_QUIT;
        }
        canvas.update();
    }
    return 0;
}
