// vantrel-input: keyboard, mouse and time without the event union.
//
//   Left / Right (or A / D)  move the paddle while held
//   right mouse button       held, the paddle follows the mouse
//   mouse wheel              makes the paddle wider or narrower
//   left click               counts the click and marks the spot
//   Space                    pauses and resumes the ball
//   Escape                   ends the program (so does closing the window)
//
// The ball speeds up the longer it stays in play, and every movement is a
// speed in pixels per second times getFrameTime(), so it moves as fast at
// 30 frames a second as at 144. On exit the program prints how many clicks
// it counted and the frame rate it measured last.

#include <cstdio>
#include <string>

#include "canvas/canvas.h"

namespace {

const int WIDTH = 640;
const int HEIGHT = 480;
const int PADDLE_TOP = 440;
const int PADDLE_BOTTOM = 452;
const double PADDLE_SPEED = 400.0; // pixels per second
const int BALL_RADIUS = 10;
const double BALL_START_SPEED = 200.0; // pixels per second
const double BALL_SPEED_UP = 10.0;     // pixels per second, every second
const int MARKS = 8;                   // clicks marked on the window

struct Point {
    int x = 0;
    int y = 0;
};

struct Ball {
    double x = WIDTH / 2;
    double y = HEIGHT / 3;
    double dx = 1; // direction: each step is (dx, dy) times the speed
    double dy = 1;
    double speed = BALL_START_SPEED;
};

// A new ball in the middle, falling to the left or to the right.
Ball serve() {
    Ball ball;
    ball.dx = randomInt(0, 1) == 0 ? -0.6 : 0.6;
    ball.dy = 0.8;
    return ball;
}

// One decimal: "61.8".
std::string oneDecimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

} // namespace

int main(int, char*[]) {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, WIDTH, HEIGHT, "Vantrel input", DEFAULT_FONT, 18);
    canvas.setBackgroundColor(NAVY);

    double paddleX = WIDTH / 2; // centre of the paddle
    int paddleWidth = 120;
    Ball ball = serve();
    bool paused = false;
    int clicks = 0;
    Point marks[MARKS];

    SDL_Event event;
    canvas.start();
    while (canvas.isRunning()) {
        const double seconds = canvas.getFrameTime();

        // ---- Keys and mouse: one call each, no event needed ----
        if (canvas.wasKeyPressed(SDLK_ESCAPE)) {
            canvas.quit();
        }
        if (canvas.wasKeyPressed(SDLK_SPACE)) {
            paused = !paused;
        }
        if (canvas.isKeyDown(SDLK_LEFT) || canvas.isKeyDown(SDLK_a)) {
            paddleX -= PADDLE_SPEED * seconds;
        }
        if (canvas.isKeyDown(SDLK_RIGHT) || canvas.isKeyDown(SDLK_d)) {
            paddleX += PADDLE_SPEED * seconds;
        }
        if (canvas.isMouseButtonDown(SDL_BUTTON_RIGHT)) {
            paddleX = canvas.getMouseX();
        }
        paddleWidth += 10 * canvas.getMouseWheel();
        paddleWidth = paddleWidth < 40 ? 40 : (paddleWidth > 400 ? 400 : paddleWidth);
        const double half = paddleWidth / 2;
        paddleX = paddleX < half ? half : (paddleX > WIDTH - 1 - half ? WIDTH - 1 - half : paddleX);
        if (canvas.wasMouseButtonPressed(SDL_BUTTON_LEFT)) {
            marks[clicks % MARKS] = {canvas.getMouseX(), canvas.getMouseY()};
            ++clicks;
        }

        // ---- The ball: speed in pixels per second, times the frame time ----
        if (!paused) {
            ball.speed += BALL_SPEED_UP * seconds;
            ball.x += ball.dx * ball.speed * seconds;
            ball.y += ball.dy * ball.speed * seconds;
            if (ball.x < BALL_RADIUS || ball.x > WIDTH - 1 - BALL_RADIUS) {
                ball.dx = -ball.dx;
                ball.x = ball.x < BALL_RADIUS ? BALL_RADIUS : WIDTH - 1 - BALL_RADIUS;
            }
            if (ball.y < BALL_RADIUS) {
                ball.dy = -ball.dy;
                ball.y = BALL_RADIUS;
            }
            const int left = static_cast<int>(paddleX - half);
            const int right = static_cast<int>(paddleX + half);
            const int bx = static_cast<int>(ball.x);
            const int by = static_cast<int>(ball.y);
            if (ball.dy > 0 &&
                rectanglesOverlap(bx - BALL_RADIUS, by - BALL_RADIUS, bx + BALL_RADIUS,
                                  by + BALL_RADIUS, left, PADDLE_TOP, right, PADDLE_BOTTOM)) {
                ball.dy = -ball.dy;
            }
            if (ball.y > HEIGHT + BALL_RADIUS) {
                ball = serve(); // missed: a new ball, at the starting speed
            }
        }

        // ---- Drawing ----
        canvas.clear();
        for (int i = 0; i < clicks && i < MARKS; ++i) {
            canvas.drawFilledCircle(marks[i].x, marks[i].y, 6, FUCHSIA);
        }
        canvas.drawRoundedBox(static_cast<int>(paddleX - half), PADDLE_TOP,
                              static_cast<int>(paddleX + half), PADDLE_BOTTOM, 5, YELLOW);
        canvas.drawFilledCircle(static_cast<int>(ball.x), static_cast<int>(ball.y), BALL_RADIUS,
                                RED);
        canvas.drawText(10, 8,
                        "Clicks: " + std::to_string(clicks) + "   Paddle: " +
                            std::to_string(paddleWidth) + " px" + (paused ? "   Paused" : ""),
                        WHITE);
        canvas.drawText(10, 32,
                        "Ball: " + std::to_string(static_cast<int>(ball.speed)) +
                            " px/s   Time: " + oneDecimal(canvas.getTime()) +
                            " s   FPS: " + oneDecimal(canvas.getMeasuredFPS()),
                        WHITE);

        // Events are still there for whoever wants them; the close button
        // is one.
        while (canvas.pollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                canvas.quit();
            }
        }
        canvas.update();
    }
    std::printf("vantrel-input: %d clicks, %s frames per second measured\n", clicks,
                oneDecimal(canvas.getMeasuredFPS()).c_str());
    return 0;
}
