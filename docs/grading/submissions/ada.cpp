// Ada: the same house, drawn in another order and with a helper of her own.
#include "canvas/canvas.h"

void window(Canvas& canvas, int x, bool lit) {
    canvas.drawFilledRectangle(x, 160, x + 40, 195, lit ? Color(YELLOW) : Color(GRAY));
}

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, 400, 300, "Ada's house");
    canvas.setBackgroundColor(Color(SILVER));
    bool lit = false;
    SDL_Event event;
    canvas.start();
    while (canvas.isRunning()) {
        while (canvas.pollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                canvas.quit();
            }
            if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_SPACE) {
                lit = true;
            }
        }
        canvas.clear();
        canvas.drawFilledTriangle(320, 140, 80, 140, 200, 60, Color(RED));
        canvas.drawFilledRectangle(300, 280, 100, 140, Color(WHITE));
        canvas.drawFilledRectangle(180, 210, 220, 280, Color(MAROON));
        window(canvas, 120, lit);
        window(canvas, 240, lit);
        canvas.drawTextCentered(200, 25, "My house", Color(NAVY));
        canvas.update();
    }
    return 0;
}
