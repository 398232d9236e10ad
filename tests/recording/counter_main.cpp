// A program for the recording tests: it counts its frames, reports every
// key, button and close request it is handed (with the frame it came in),
// the text typed and Backspace typed as the canvas answers them, and draws
// a white square at the last mouse position on black.

#include "canvas/canvas.h"

#include <cstdio>

int main(int, char*[]) {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 64, 48, "recording counter");
    canvas.setBackgroundColor(Color(BLACK));
    long frame = 0;
    int x = 0;
    int y = 0;
    SDL_Event event;
    canvas.start();
    while (canvas.isRunning()) {
        ++frame;
        canvas.clear();
        while (canvas.pollEvent(&event)) {
            switch (event.type) {
            case SDL_QUIT:
                std::printf("frame %ld: quit handled\n", frame);
                canvas.quit();
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                std::printf("frame %ld: key %s %s\n", frame, SDL_GetKeyName(event.key.keysym.sym),
                            event.type == SDL_KEYUP ? "up"
                            : event.key.repeat      ? "repeat"
                                                    : "down");
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                std::printf("frame %ld: button %d %s at %d %d\n", frame, event.button.button,
                            event.type == SDL_MOUSEBUTTONDOWN ? "down" : "up", event.button.x,
                            event.button.y);
                break;
            case SDL_MOUSEMOTION:
                x = event.motion.x;
                y = event.motion.y;
                std::printf("frame %ld: mouse at %d %d\n", frame, x, y);
                break;
            default:
                break;
            }
        }
        if (!canvas.getTypedText().empty()) {
            std::printf("frame %ld: typed \"%s\"\n", frame, canvas.getTypedText().c_str());
        }
        if (canvas.wasKeyTyped(SDLK_BACKSPACE)) {
            std::printf("frame %ld: Backspace typed, pressed %d\n", frame,
                        canvas.wasKeyPressed(SDLK_BACKSPACE));
        }
        canvas.drawFilledRectangle(x, y, x + 3, y + 3, Color(WHITE));
        canvas.update();
    }
    std::printf("frames: %ld\n", frame);
    return 0;
}
