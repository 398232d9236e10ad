// Hello, Vantrel: the smallest complete program. It draws a few shapes and a
// line of text, plays a sound when a key is pressed, and ends when the window
// is closed.

#include "canvas/canvas.h"

int main(int, char*[]) {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, 480, 320, "Hello, Vantrel");
    canvas.setBackgroundColor(Color(NAVY));
    canvas.setForegroundColor(Color(YELLOW)); // until set, shapes are invisible

    SDL_Event event;
    canvas.start();
    while (canvas.isRunning()) { // waits for the next frame (60 a second)
        canvas.clear();
        canvas.drawText(20, 20, "Hello, Vantrel!");
        canvas.drawText(20, 260, "Press a key for a sound", Color(SILVER));
        canvas.drawCircle(240, 170, 60);                     // foreground colour
        canvas.drawFilledCircle(240, 170, 30, Color(RED));   // a palette colour
        canvas.drawLine(180, 240, 300, 240, 0, 255, 0, 255); // red, green, blue, alpha

        while (canvas.pollEvent(&event)) { // every waiting event
            if (event.type == SDL_QUIT) {
                canvas.quit(); // the window's close button
            } else if (event.type == SDL_KEYDOWN) {
                canvas.playSound("beep.wav", false); // found beside the program
            }
        }
        canvas.update(); // shows the frame
    }
    return 0;
}
