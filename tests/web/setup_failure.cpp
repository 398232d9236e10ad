// A program whose set-up fails: a frame rate of 0 is refused by initWorld.
#include "canvas/canvas.h"

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 320, 240, "set-up failure", DEFAULT_FONT, DEFAULT_FONT_SIZE,
                     Color(BLACK), Color(WHITE), 0);
    canvas.start();
    while (canvas.isRunning()) {
        canvas.update();
    }
    return 0;
}
