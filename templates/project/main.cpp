// @NAME@: a Vantrel program. It is yours: change anything.
//
// Every frame it clears the window, draws, takes every waiting event and
// shows the frame. A key press plays assets/beep.wav; closing the window ends it.

#include "canvas/canvas.h"

int main(int, char*[]) {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, 640, 480, "@NAME@"); // x, y, width, height, title
    canvas.setBackgroundColor(Color(NAVY));
    canvas.setForegroundColor(Color(YELLOW)); // until set, shapes and text are invisible

    SDL_Event event;
    canvas.start();
    while (canvas.isRunning()) { // waits for the next frame (60 a second)
        canvas.clear();
        canvas.drawText(20, 20, "Hello from @NAME@!");
        canvas.drawText(20, 420, "Press a key for a sound", Color(SILVER));

        int mouseX = 0;
        int mouseY = 0;
        canvas.getMouseState(&mouseX, &mouseY);
        canvas.drawCircle(320, 240, 100);                        // foreground colour
        canvas.drawFilledCircle(mouseX, mouseY, 20, Color(RED)); // follows the mouse
        canvas.drawLine(220, 360, 420, 360, 0, 255, 0, 255);     // red, green, blue, alpha

        while (canvas.pollEvent(&event)) { // every waiting event
            if (event.type == SDL_QUIT) {
                canvas.quit(); // the window's close button
            } else if (event.type == SDL_KEYDOWN) {
                canvas.playSound("assets/beep.wav", false); // once; true loops it
            }
        }
        canvas.update(); // shows the frame
    }
    return 0;
}
