// Draws a hundred frames in a for loop, without start() and isRunning():
// the recording counts no frame, so none is saved.
#include "canvas/canvas.h"

int main(int, char*[]) {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, 400, 300, "My house");
    for (int i = 0; i < 100; ++i) {
        canvas.clear();
        canvas.drawFilledRectangle(100, 140, 300, 280, Color(WHITE));
        canvas.update();
    }
    return 0;
}
