// Writes through a null pointer once the house is up: a segmentation fault.
#include "canvas/canvas.h"

int main(int, char*[]) {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, 400, 300, "My house");
    canvas.start();
    int frame = 0;
    while (canvas.isRunning()) {
        canvas.clear();
        canvas.update();
        if (++frame == 10) {
            *static_cast<volatile int*>(nullptr) = 1;
        }
    }
    return 0;
}
