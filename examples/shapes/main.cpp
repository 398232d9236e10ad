// vantrel-shapes: a gallery of every shape family and the ways to place
// text, each labelled with the call that drew it. Close the window to end it.

#include <SDL.h>

#include <string>
#include <vector>

#include "canvas/canvas.h"

namespace {

const int WIDTH = 640;
const int HEIGHT = 560;
// The gallery's grid: four columns of 160 pixels; a shape sits in the middle
// of its cell, with its label above it.
const int COLUMN = 160;
const int ROW_TOP[3] = {60, 200, 340};

int middleOf(int column) { return column * COLUMN + COLUMN / 2; }

} // namespace

int main(int, char*[]) {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, WIDTH, HEIGHT, "Vantrel shapes");
    canvas.setBackgroundColor(Color(WHITE));
    canvas.setForegroundColor(Color(BLACK));
    const FontId small = canvas.loadFont(DEFAULT_FONT, 14);

    const std::vector<SDL_Point> star = {{0, -45}, {12, -12}, {45, -8},  {18, 12},  {28, 45},
                                         {0, 25},  {-28, 45}, {-18, 12}, {-45, -8}, {-12, -12}};
    std::vector<SDL_Point> filledStar, outlineStar;
    for (const SDL_Point& p : star) {
        outlineStar.push_back({middleOf(3) + p.x, ROW_TOP[0] + 75 + p.y});
        filledStar.push_back({middleOf(0) + p.x, ROW_TOP[1] + 75 + p.y});
    }
    const char* labels[3][4] = {
        {"drawFilledRectangle", "drawTriangle", "drawFilledTriangle", "drawPolygon"},
        {"drawFilledPolygon", "drawEllipse", "drawFilledEllipse", "drawArc"},
        {"drawFilledPie", "drawThickLine", "drawRectangle", "drawFilledCircle"}};

    SDL_Event event;
    canvas.start();
    while (canvas.isRunning()) {
        canvas.clear();
        canvas.drawTextCentered(WIDTH / 2, 28, "Every shape", Color(NAVY));
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 4; ++column) {
                canvas.drawTextCentered(middleOf(column), ROW_TOP[row] + 8, labels[row][column],
                                        Color(GRAY), small);
            }
        }

        // First row: rectangles, triangles, a polygon outline.
        const int y0 = ROW_TOP[0] + 75;
        canvas.drawFilledRectangle(30, y0 - 40, 130, y0 + 40, Color(RED));
        canvas.drawTriangle(190, y0 + 40, 240, y0 - 40, 290, y0 + 40, Color(BLUE));
        canvas.drawFilledTriangle(350, y0 + 40, 400, y0 - 40, 450, y0 + 40, Color(GREEN));
        canvas.drawPolygon(outlineStar, Color(PURPLE));

        // Second row: a filled polygon, ellipses, an arc.
        const int y1 = ROW_TOP[1] + 75;
        canvas.drawFilledPolygon(filledStar, Color(OLIVE));
        canvas.drawEllipse(240, y1, 65, 35, Color(TEAL));
        canvas.drawFilledEllipse(400, y1, 65, 35, Color(MAROON));
        canvas.drawArc(560, y1, 45, 180, 360, Color(NAVY)); // the top half

        // Third row: a pie, a thick line, and two of the basic shapes.
        const int y2 = ROW_TOP[2] + 75;
        canvas.drawFilledPie(80, y2, 45, 30, 330, Color(YELLOW)); // a mouth open to the right
        canvas.drawThickLine(180, y2 + 35, 300, y2 - 35, 12, Color(FUCHSIA));
        canvas.drawRectangle(350, y2 - 40, 450, y2 + 40, Color(BLACK));
        canvas.drawFilledCircle(560, y2, 40, Color(AQUA));

        // Text: by its left corner, its centre and its right edge.
        canvas.drawLine(WIDTH / 2, 470, WIDTH / 2, 550, Color(SILVER));
        canvas.drawText(10, 470, "left", Color(BLACK));
        canvas.drawTextCentered(WIDTH / 2, 528,
                                "Gr\xC3\xBC\xC3\x9F"
                                "e, caf\xC3\xA9",
                                Color(BLUE));
        canvas.drawTextRight(WIDTH - 11, 470, "right", Color(BLACK));

        while (canvas.pollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                canvas.quit();
            }
        }
        canvas.update();
    }
    return 0;
}
