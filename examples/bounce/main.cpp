// vantrel-bounce: a few figures fly around a 640 x 480 window and bounce
// off its edges, while a line of text counts the bounces. Close the window
// to end it.

#include <SDL.h>

#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "figures.h"

namespace {

const int WIDTH = 640;
const int HEIGHT = 480;

// Draws one figure around its centre, in its own colour.
void drawFigure(Canvas& canvas, const Figure& f) {
    switch (f.shape) {
    case Shape::Disc:
        canvas.drawFilledCircle(f.x, f.y, f.halfWidth, f.color);
        break;
    case Shape::Box:
        canvas.drawRoundedBox(f.x - f.halfWidth, f.y - f.halfHeight, f.x + f.halfWidth,
                              f.y + f.halfHeight, 8, f.color);
        break;
    case Shape::Ring:
        canvas.drawCircle(f.x, f.y, f.halfWidth, f.color);
        break;
    }
}

} // namespace

int main(int, char*[]) {
    Canvas& canvas = Canvas::getInstance();
    // A 20-point default font keeps the counter line small.
    canvas.initWorld(100, 100, WIDTH, HEIGHT, "Vantrel bounce", DEFAULT_FONT, 20);
    canvas.setBackgroundColor(Color(NAVY));
    // The border is drawn without a colour argument, so it uses the
    // foreground colour; the default one is invisible, so set it first.
    canvas.setForegroundColor(Color(SILVER));

    // Shape, centre, half width and height, speed, direction, colour.
    std::vector<Figure> figures = {
        {Shape::Disc, 120, 150, 30, 30, 4, Direction(1), Color(RED)},    // NE
        {Shape::Box, 400, 300, 45, 25, 3, Direction(7), Color(YELLOW)},  // SW
        {Shape::Ring, 320, 240, 40, 40, 5, Direction(3), Color(AQUA)},   // SE
        {Shape::Disc, 550, 400, 15, 15, 6, Direction(6), Color(LIME)},   // W
        {Shape::Box, 200, 380, 20, 35, 2, Direction(5), Color(FUCHSIA)}, // NW
        {Shape::Ring, 500, 100, 25, 25, 3, Direction(4), Color(WHITE)},  // S
    };
    int bounces = 0;

    SDL_Event event;
    canvas.start();
    while (canvas.isRunning()) {
        // Move everything, then draw the new frame.
        for (Figure& figure : figures) {
            bounces += stepFigure(figure, WIDTH, HEIGHT);
        }

        canvas.clear();
        canvas.drawRectangle(0, 0, WIDTH - 1, HEIGHT - 1);
        for (const Figure& figure : figures) {
            drawFigure(canvas, figure);
        }
        canvas.drawText(10, 8, "Bounces: " + std::to_string(bounces), Color(WHITE));

        // Handle every waiting event; closing the window ends the loop.
        while (canvas.pollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                canvas.quit();
            }
        }
        canvas.update();
    }
    return 0;
}
