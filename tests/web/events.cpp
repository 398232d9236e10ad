// Reports every key press and mouse button press on standard output, both as
// the events a program polls and as the input state the canvas keeps, and
// the text typed and Backspace typed as the canvas answers them, so the
// browser tests can see what reaches a program.
#include "canvas/canvas.h"

#include <iostream>

int main(int, char*[]) {
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
        // The same presses as the input state answers them, once per frame.
        if (canvas.wasKeyPressed(SDLK_a)) {
            std::cout << "state: A pressed, held " << canvas.isKeyDown(SDLK_a) << std::endl;
        }
        if (canvas.wasMouseButtonPressed(SDL_BUTTON_LEFT)) {
            std::cout << "state: left button pressed at " << canvas.getMouseX() << ", "
                      << canvas.getMouseY() << std::endl;
        }
        // Typing: the text of each frame on a line of its own, and Backspace
        // on its press and on each repeat.
        if (!canvas.getTypedText().empty()) {
            std::cout << "typed: " << canvas.getTypedText() << std::endl;
        }
        if (canvas.wasKeyTyped(SDLK_BACKSPACE)) {
            std::cout << "state: Backspace typed, pressed " << canvas.wasKeyPressed(SDLK_BACKSPACE)
                      << std::endl;
        }
        canvas.update();
    }
    return 0;
}
