// vantrel-paint: a painting program. Drag with the left mouse button to
// paint; the strokes go into an image (createImage, drawInto), which is drawn
// every frame, so they stay however many there are. Keys 1 to 8 choose a
// colour, E the eraser, the wheel the brush size, C clears the painting, S
// saves it as painting.png in the folder the program was started from, and
// Escape (or closing the window) ends it.

#include <SDL.h>

#include <cstdio>
#include <string>

#include "canvas/canvas.h"

namespace {

const int WIDTH = 640;
const int HEIGHT = 480;
const int BAR = 40; // the tool bar along the top, drawn over the painting
const Color PAPER(WHITE);

// Keys 1-8 choose these.
const Color COLOURS[] = {Color(BLACK),  Color(RED),  Color(LIME),    Color(BLUE),
                         Color(YELLOW), Color(AQUA), Color(FUCHSIA), Color(GRAY)};
const int COLOUR_COUNT = 8;

// One step of a stroke, from (x1, y1) to (x2, y2): a thick line with a
// round end, so that the steps of a curve join without gaps.
void paintStep(Canvas& canvas, int x1, int y1, int x2, int y2, int size, const Color& colour) {
    canvas.drawThickLine(x1, y1, x2, y2, size, colour);
    canvas.drawFilledCircle(x2, y2, size / 2, colour);
}

} // namespace

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;

    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, WIDTH, HEIGHT, "Vantrel paint", DEFAULT_FONT, 16);
    canvas.setBackgroundColor(Color(SILVER));

    // The painting: drawn into, never cleared by clear().
    const ImageId painting = canvas.createImage(WIDTH, HEIGHT);
    if (painting == -1) {
        std::fprintf(stderr, "%s\n", canvas.getImageError().c_str());
        return 1;
    }
    canvas.clearImage(painting, PAPER);

    Color colour = COLOURS[0];
    bool erasing = false;
    int size = 7;             // brush width in pixels, always odd
    bool stroking = false;    // the left button went down on the painting
    int lastX = 0, lastY = 0; // where the stroke was at the last frame
    int strokes = 0;
    int saves = 0;
    std::string message; // shown in the bar for a while
    double messageUntil = 0;

    SDL_Event event;
    canvas.start();
    while (canvas.isRunning()) {
        // ---- Keys and the wheel choose the tool.
        for (int i = 0; i < COLOUR_COUNT; ++i) {
            if (canvas.wasKeyPressed(SDLK_1 + i)) {
                colour = COLOURS[i];
                erasing = false;
            }
        }
        if (canvas.wasKeyPressed(SDLK_e)) {
            erasing = true;
        }
        // Two pixels a wheel step: an odd width has a middle pixel, so the
        // round ends (discs of radius size / 2) are exactly as wide as the
        // lines between them.
        size += 2 * canvas.getMouseWheel();
        size = size < 1 ? 1 : size > 59 ? 59 : size;
        if (canvas.wasKeyPressed(SDLK_c)) {
            canvas.clearImage(painting, PAPER);
        }
        if (canvas.wasKeyPressed(SDLK_s)) {
            if (canvas.saveImage(painting, "painting.png")) {
                message = "Saved painting.png";
                ++saves;
            } else {
                message = canvas.getImageError();
            }
            messageUntil = canvas.getTime() + 3;
        }
        if (canvas.wasKeyPressed(SDLK_ESCAPE)) {
            canvas.quit();
        }

        // ---- The mouse paints: each frame adds one step to the stroke.
        const int x = canvas.getMouseX(), y = canvas.getMouseY();
        const Color ink = erasing ? PAPER : colour;
        if (canvas.wasMouseButtonPressed(SDL_BUTTON_LEFT) && y >= BAR) {
            stroking = true;
            ++strokes;
            lastX = x, lastY = y;
            canvas.drawInto(painting);
            canvas.drawFilledCircle(x, y, size / 2, ink);
            canvas.drawIntoWindow();
        } else if (stroking && (x != lastX || y != lastY)) {
            canvas.drawInto(painting);
            paintStep(canvas, lastX, lastY, x, y, size, ink);
            canvas.drawIntoWindow();
            lastX = x, lastY = y;
        }
        if (!canvas.isMouseButtonDown(SDL_BUTTON_LEFT)) {
            stroking = false;
        }

        // ---- The frame: the painting, the bar over it, the brush's outline.
        canvas.clear();
        canvas.drawImage(painting, 0, 0);
        canvas.drawFilledRectangle(0, 0, WIDTH - 1, BAR - 1, Color(SILVER));
        for (int i = 0; i < COLOUR_COUNT; ++i) {
            const int left = 8 + i * 30;
            canvas.drawFilledRectangle(left, 8, left + 23, 31, COLOURS[i]);
            if (!erasing && COLOURS[i] == colour) {
                canvas.drawRectangle(left - 3, 5, left + 26, 34, Color(BLACK));
            }
            canvas.drawText(left + 2, 9, std::to_string(i + 1),
                            COLOURS[i] == Color(BLACK) || COLOURS[i] == Color(BLUE) ? Color(WHITE)
                                                                                    : Color(BLACK));
        }
        canvas.drawText(260, 11, (erasing ? "Eraser, " : "Brush, ") + std::to_string(size) + " px",
                        Color(BLACK));
        canvas.drawTextRight(
            WIDTH - 10, 11, canvas.getTime() < messageUntil ? message : "E eraser  C clear  S save",
            Color(NAVY));
        if (y >= BAR) {
            canvas.drawCircle(x, y, size / 2 + 1, Color(GRAY));
        }

        while (canvas.pollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                canvas.quit();
            }
        }
        canvas.update();
    }
    std::printf("vantrel-paint: %d strokes, %d saves\n", strokes, saves);
    return 0;
}
