// vantrel-scroller: a side-scroller whose level is five windows wide. The
// camera follows the runner (setCamera), so the level is drawn in its own
// coordinates; the hills behind move at half the speed; the score is drawn
// after setCamera(0, 0), fixed to the window. Left and Right (or A and D)
// run, Space or Up jumps, a click plants a flag where the mouse points in
// the level (getMouseWorldX), + and - zoom in and out (setCameraZoom),
// Escape (or closing the window) ends it.

#include <SDL.h>

#include <cstdio>
#include <string>
#include <vector>

#include "canvas/canvas.h"

namespace {

const int WIDTH = 640;
const int HEIGHT = 360;
const int LEVEL_WIDTH = WIDTH * 5;
const int GROUND = 300;  // the top of the ground
const int RUNNER_W = 24; // the runner's size
const int RUNNER_H = 32;
const double SPEED = 240;    // pixels a second
const double JUMP = 620;     // upward speed when a jump starts, pixels a second
const double GRAVITY = 1500; // pixels a second, every second
const int POST_SPACING = 400;

struct Platform {
    int left, right, top;
};

struct Coin {
    int x, y;
    bool taken;
};

const std::vector<Platform> PLATFORMS = {{420, 560, 230},   {700, 820, 180},   {1000, 1160, 220},
                                         {1400, 1480, 160}, {1700, 1900, 210}, {2150, 2260, 170},
                                         {2500, 2700, 220}, {2900, 3020, 190}};

// Keeps value between low and high.
int clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

// The highest floor (a platform's top, or the ground) at or below feet for
// a runner whose left edge is at left.
int floorBelow(int left, int feet) {
    int floor = GROUND;
    for (const Platform& p : PLATFORMS) {
        if (left + RUNNER_W > p.left && left < p.right && feet <= p.top && p.top < floor) {
            floor = p.top;
        }
    }
    return floor;
}

void drawLevel(Canvas& canvas) {
    // Ground, a post every 400 pixels with its distance, the platforms.
    canvas.drawFilledRectangle(0, GROUND, LEVEL_WIDTH - 1, HEIGHT - 1, Color(GREEN));
    canvas.drawFilledRectangle(0, GROUND, LEVEL_WIDTH - 1, GROUND + 5, Color(OLIVE));
    for (int x = 0; x <= LEVEL_WIDTH; x += POST_SPACING) {
        canvas.drawFilledRectangle(x, GROUND - 60, x + 5, GROUND - 1, Color(MAROON));
        canvas.drawText(x + 10, GROUND - 60, std::to_string(x), Color(MAROON));
    }
    for (const Platform& p : PLATFORMS) {
        canvas.drawRoundedBox(p.left, p.top, p.right, p.top + 14, 4, Color(TEAL));
    }
    // The finish line.
    for (int y = GROUND - 120; y < GROUND; y += 20) {
        canvas.drawFilledRectangle(LEVEL_WIDTH - 40, y, LEVEL_WIDTH - 31, y + 9, Color(BLACK));
        canvas.drawFilledRectangle(LEVEL_WIDTH - 30, y + 10, LEVEL_WIDTH - 21, y + 19,
                                   Color(BLACK));
    }
}

} // namespace

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;

    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, WIDTH, HEIGHT, "Vantrel scroller", DEFAULT_FONT, 18);
    canvas.setBackgroundColor(Color(135, 200, 250, 255)); // sky

    std::vector<Coin> coins;
    for (const Platform& p : PLATFORMS) {
        coins.push_back(Coin{(p.left + p.right) / 2, p.top - 20, false});
    }
    for (int x = 300; x < LEVEL_WIDTH - 100; x += 450) {
        coins.push_back(Coin{x, GROUND - 20, false});
    }
    std::vector<SDL_Point> flags;

    double x = 200, y = GROUND - RUNNER_H; // the runner's top-left corner, in the level
    double fall = 0;                       // downward speed, pixels a second
    bool onFloor = true;
    int taken = 0;
    int cameraX = 0;
    int cameraY = 0;
    double zoom = 1; // or 2

    SDL_Event event;
    canvas.start();
    while (canvas.isRunning()) {
        const double seconds = canvas.getFrameTime();
        // ---- Run, jump, fall.
        if (canvas.isKeyDown(SDLK_LEFT) || canvas.isKeyDown(SDLK_a)) {
            x -= SPEED * seconds;
        }
        if (canvas.isKeyDown(SDLK_RIGHT) || canvas.isKeyDown(SDLK_d)) {
            x += SPEED * seconds;
        }
        if (x < 0) {
            x = 0;
        } else if (x > LEVEL_WIDTH - RUNNER_W) {
            x = LEVEL_WIDTH - RUNNER_W;
        }
        if (onFloor && (canvas.wasKeyPressed(SDLK_SPACE) || canvas.wasKeyPressed(SDLK_UP))) {
            fall = -JUMP;
        }
        // Falling stops on the highest floor the feet were above.
        const int floor = floorBelow(static_cast<int>(x), static_cast<int>(y) + RUNNER_H);
        fall += GRAVITY * seconds;
        y += fall * seconds;
        onFloor = fall >= 0 && y + RUNNER_H >= floor;
        if (onFloor) {
            y = floor - RUNNER_H;
            fall = 0;
        }
        for (Coin& coin : coins) {
            if (!coin.taken &&
                rectanglesOverlap(static_cast<int>(x), static_cast<int>(y),
                                  static_cast<int>(x) + RUNNER_W, static_cast<int>(y) + RUNNER_H,
                                  coin.x - 8, coin.y - 8, coin.x + 8, coin.y + 8)) {
                coin.taken = true;
                ++taken;
            }
        }
        // The camera keeps the runner a third of the way across the window,
        // and stops at the level's ends.
        // Zoomed in, the window shows less of the level: the camera keeps the
        // ground at the window's bottom edge.
        // Whole-number zooms keep every pixel square on every renderer.
        if (canvas.wasKeyPressed(SDLK_PLUS) || canvas.wasKeyPressed(SDLK_EQUALS) ||
            canvas.wasKeyPressed(SDLK_KP_PLUS)) {
            zoom = 2;
        }
        if (canvas.wasKeyPressed(SDLK_MINUS) || canvas.wasKeyPressed(SDLK_KP_MINUS)) {
            zoom = 1;
        }
        const int shownWidth = static_cast<int>(WIDTH / zoom);
        cameraX = clamp(static_cast<int>(x) - shownWidth / 3, 0, LEVEL_WIDTH - shownWidth);
        cameraY = HEIGHT - static_cast<int>(HEIGHT / zoom);
        canvas.setCameraZoom(zoom);

        // ---- A click plants a flag where the mouse points in the level.
        canvas.setCamera(cameraX, cameraY);
        if (canvas.wasMouseButtonPressed(SDL_BUTTON_LEFT)) {
            flags.push_back(SDL_Point{canvas.getMouseWorldX(), canvas.getMouseWorldY()});
        }
        if (canvas.wasKeyPressed(SDLK_ESCAPE)) {
            canvas.quit();
        }

        canvas.clear();
        // Far hills move at half the camera's speed, which makes them look
        // further away.
        canvas.setCamera(cameraX / 2, cameraY);
        for (int hill = 0; hill < LEVEL_WIDTH; hill += 300) {
            canvas.drawFilledEllipse(hill + 150, GROUND, 190, 90 + hill % 70,
                                     Color(160, 210, 160, 255));
        }
        // The level, in its own coordinates.
        canvas.setCamera(cameraX, cameraY);
        drawLevel(canvas);
        for (const Coin& coin : coins) {
            if (!coin.taken) {
                canvas.drawFilledCircle(coin.x, coin.y, 8, Color(YELLOW));
                canvas.drawCircle(coin.x, coin.y, 8, Color(OLIVE));
            }
        }
        for (const SDL_Point& flag : flags) {
            canvas.drawLine(flag.x, flag.y, flag.x, flag.y + 30, Color(BLACK));
            canvas.drawFilledTriangle(flag.x + 1, flag.y, flag.x + 16, flag.y + 6, flag.x + 1,
                                      flag.y + 12, Color(FUCHSIA));
        }
        canvas.drawRoundedBox(static_cast<int>(x), static_cast<int>(y),
                              static_cast<int>(x) + RUNNER_W - 1,
                              static_cast<int>(y) + RUNNER_H - 1, 5, Color(RED));
        // The score, fixed to the window.
        canvas.setCamera(0, 0);
        canvas.setCameraZoom(1);
        canvas.drawRoundedBox(8, 8, 200, 40, 6, Color(NAVY));
        canvas.drawText(18, 13,
                        "Coins " + std::to_string(taken) + "/" + std::to_string(coins.size()),
                        Color(WHITE));
        canvas.drawTextRight(WIDTH - 12, 13, "x " + std::to_string(static_cast<int>(x)),
                             Color(NAVY));
        if (x >= LEVEL_WIDTH - 60) {
            canvas.drawTextCentered(WIDTH / 2, HEIGHT / 2 - 40, "You made it!", Color(NAVY));
        }

        while (canvas.pollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                canvas.quit();
            }
        }
        canvas.update();
    }
    std::printf("vantrel-scroller: %d coins, camera at %d, %zu flags\n", taken, cameraX,
                flags.size());
    return 0;
}
