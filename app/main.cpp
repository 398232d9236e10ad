// The demonstration program: a 640 x 640 window with the welcome scene,
// redrawn 60 times a second until the window is closed.

#include <SDL.h>

#include "canvas/canvas.h"

namespace {

// The welcome line in blue, the window's two diagonals in the foreground
// colour (black) and an aqua disc over their crossing.
void drawWelcomeScene(Canvas& canvas) {
    canvas.drawText(150, 50, "Welcome to Korvel", Color(BLUE));
    canvas.drawLine(0, 0, 639, 639);
    canvas.drawLine(639, 0, 0, 639);
    canvas.drawFilledCircle(320, 320, 50, Color(AQUA));
}

} // namespace

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;

    int x = 100;
    int y = 100;
    int width = 640;
    int height = 640;

    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(x, y, width, height, DEFAULT_TITLE, DEFAULT_FONT, DEFAULT_FONT_SIZE,
                     DEFAULT_BACKGROUND, DEFAULT_FOREGROUND, DEFAULT_FPS);
    canvas.setBackgroundColor(Color(GRAY));
    canvas.setForegroundColor(Color(BLACK));

    SDL_Event uEvent;
    canvas.start();
    canvas.clear();
    while (canvas.isRunning()) {
        canvas.clear();
        drawWelcomeScene(canvas);
        if (canvas.pollEvent(&uEvent) && uEvent.type == SDL_QUIT) {
            canvas.quit();
        }
        canvas.update();
    }
    return 0;
}
