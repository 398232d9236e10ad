// A program that starts a looping sound before its first frame and fills its
// canvas with olive: the page must draw at once, yet stay silent until the
// first click or key press on it.
#include "canvas/canvas.h"

int main(int, char*[]) {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 320, 240, "sound at start");
    canvas.setBackgroundColor(Color(OLIVE));
    canvas.playSound("beep.wav", true);
    canvas.start();
    while (canvas.isRunning()) {
        canvas.clear();
        canvas.update();
    }
    return 0;
}
