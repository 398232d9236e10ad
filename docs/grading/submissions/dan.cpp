// Dan: sets the canvas up twice, which Vantrel refuses.
#include "canvas/canvas.h"

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, 400, 300, "Dan's house");
    canvas.initWorld(100, 100, 400, 300, "Dan's house");
    return 0;
}
