// The playground's probe program: it only has to build.
#include "canvas/canvas.h"

int main() {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 320, 240);
    canvas.start();
    while (canvas.isRunning()) {
        canvas.clear();
        canvas.update();
    }
    return 0;
}
