// Cleo: forgot a semicolon.
#include "canvas/canvas.h"

int main(int argc, char* argv[]) {
    Canvas& canvas = Canvas::getInstance() canvas.initWorld(100, 100, 400, 300, "Cleo's house");
    return 0;
}
