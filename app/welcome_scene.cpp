#include "welcome_scene.h"

void setUpWelcomeCanvas(Canvas& canvas, std::uint8_t fps) {
    int x = 100;
    int y = 100;
    int width = 640;
    int height = 640;
    canvas.initWorld(x, y, width, height, DEFAULT_TITLE, DEFAULT_FONT, DEFAULT_FONT_SIZE,
                     DEFAULT_BACKGROUND, DEFAULT_FOREGROUND, fps);
    canvas.setBackgroundColor(Color(GRAY));
    canvas.setForegroundColor(Color(BLACK));
}

void drawWelcomeScene(Canvas& canvas) {
    canvas.drawText(150, 50, "Welcome to Korvel", Color(BLUE));
    canvas.drawLine(0, 0, 639, 639);
    canvas.drawLine(639, 0, 0, 639);
    canvas.drawFilledCircle(320, 320, 50, Color(AQUA));
}
