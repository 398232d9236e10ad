// Reports every key press and mouse button press on standard output, so the
// browser tests can see what reaches a program's events.
#include "canvas/canvas.h"

#include <iostream>

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 320, 240, "events");
    canvas.setBackgroundColor(Color(TEAL));
    SDL_Event event;
    canvas.start();
    while (canvas.isRunning()) {
        canvas.clear();
        while (canvas.pollEvent(&event)) {
            if (event.type == SDL_KEYDOWN && event.key.repeat == 0) {
                std::cout << "key down: " << SDL_GetKeyName(event.key.keysym.sym) << std::endl;
            } else if (event.type == SDL_MOUSEBUTTONDOWN) {
                int x = 0;
                int y = 0;
                canvas.getMouseState(&x, &y);
                std::cout << "mouse button " << static_cast<int>(event.button.button) << " down at "
                          << event.button.x << ", " << event.button.y << " (mouse state " << x
                          << ", " << y << ")" << std::endl;
            } else if (event.type == SDL_QUIT) {
                canvas.quit();
            }
        }
        canvas.update();
    }
    return 0;
}
