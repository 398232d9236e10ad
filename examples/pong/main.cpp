// vantrel-pong: two players, one ball, sound effects and music.
//
//   W / S        move the left paddle while held
//   Up / Down    move the right paddle while held
//   Space        serves the ball
//   M            turns the music off and on
//   Escape       ends the program (so does closing the window)
//
// Every hit of a paddle plays hit.wav and every point plays point.ogg, as
// effects: loaded once, played as often as needed, overlapping one another
// (a hit just before a point is heard under it). music.ogg plays all the
// while, streamed from its file and looped, under the effects. On exit the
// program prints the score, the hits and whether the music was on.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "canvas/canvas.h"

namespace {

const int WIDTH = 640;
const int HEIGHT = 480;
const int PADDLE_WIDTH = 12;
const int PADDLE_HEIGHT = 80;
const int LEFT_X = 24;                         // left edge of the left paddle
const int RIGHT_X = WIDTH - 24 - PADDLE_WIDTH; // left edge of the right paddle
const double PADDLE_SPEED = 360.0;             // pixels per second
const int BALL_RADIUS = 8;
const double SERVE_SPEED = 300.0; // pixels per second
const double SPEED_UP = 1.06;     // each hit makes the ball this much faster

struct Ball {
    double x = WIDTH / 2;
    double y = HEIGHT / 2;
    double dx = 0; // pixels per second
    double dy = 0;
    bool moving = false;
};

// Loads a sound effect, or ends the program saying why.
SoundId load(Canvas& canvas, const std::string& file) {
    const SoundId sound = canvas.loadSound(file);
    if (sound == -1) {
        std::fprintf(stderr, "%s\n", canvas.getSoundError().c_str());
        std::exit(1);
    }
    return sound;
}

// The ball leaves the middle towards the given side (-1 left, 1 right) at a
// random angle.
Ball serve(int towards) {
    Ball ball;
    const double angle = randomInt(-30, 30) * 3.14159265 / 180.0;
    ball.dx = towards * SERVE_SPEED * std::cos(angle);
    ball.dy = SERVE_SPEED * std::sin(angle);
    ball.moving = true;
    return ball;
}

// Moves a paddle's top by the keys held, and keeps it in the window.
double movePaddle(Canvas& canvas, double top, SDL_Keycode up, SDL_Keycode down, double seconds) {
    if (canvas.isKeyDown(up)) {
        top -= PADDLE_SPEED * seconds;
    }
    if (canvas.isKeyDown(down)) {
        top += PADDLE_SPEED * seconds;
    }
    return top < 0 ? 0 : (top > HEIGHT - PADDLE_HEIGHT ? HEIGHT - PADDLE_HEIGHT : top);
}

// Whether the ball touches the paddle whose left edge is x and top is top.
bool touches(const Ball& ball, int x, double top) {
    const int bx = static_cast<int>(ball.x);
    const int by = static_cast<int>(ball.y);
    return rectanglesOverlap(bx - BALL_RADIUS, by - BALL_RADIUS, bx + BALL_RADIUS, by + BALL_RADIUS,
                             x, static_cast<int>(top), x + PADDLE_WIDTH - 1,
                             static_cast<int>(top) + PADDLE_HEIGHT - 1);
}

// Sends the ball back from a paddle: faster, and steeper the further from
// the paddle's middle it was hit.
void bounce(Ball& ball, double top, int direction) {
    const double offset = (ball.y - (top + PADDLE_HEIGHT / 2.0)) / (PADDLE_HEIGHT / 2.0);
    const double speed = std::sqrt(ball.dx * ball.dx + ball.dy * ball.dy) * SPEED_UP;
    const double angle = offset * 50.0 * 3.14159265 / 180.0;
    ball.dx = direction * speed * std::cos(angle);
    ball.dy = speed * std::sin(angle);
}

} // namespace

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;

    Canvas& canvas = Canvas::getInstance();
    // Effects may be loaded before initWorld, like images.
    const SoundId hit = load(canvas, "hit.wav");
    const SoundId point = load(canvas, "point.ogg");
    canvas.initWorld(100, 100, WIDTH, HEIGHT, "Vantrel pong", DEFAULT_FONT, 24);
    canvas.setBackgroundColor(Color(0, 40, 0, 255));

    // The music goes on under the effects, a little quieter. A program
    // without its music still plays.
    canvas.setMusicVolume(0.6);
    bool musicOn = canvas.playMusic("music.ogg", true);
    if (!musicOn) {
        std::fprintf(stderr, "%s\n", canvas.getSoundError().c_str());
    }

    double leftTop = (HEIGHT - PADDLE_HEIGHT) / 2.0;
    double rightTop = leftTop;
    Ball ball;
    int nextServe = 1; // the side the next serve goes to
    int leftScore = 0;
    int rightScore = 0;
    int hits = 0;

    SDL_Event event;
    canvas.start();
    while (canvas.isRunning()) {
        const double seconds = canvas.getFrameTime();
        if (canvas.wasKeyPressed(SDLK_ESCAPE)) {
            canvas.quit();
        }
        if (canvas.wasKeyPressed(SDLK_m)) {
            musicOn = !musicOn;
            canvas.pauseMusic(!musicOn);
        }
        if (canvas.wasKeyPressed(SDLK_SPACE) && !ball.moving) {
            ball = serve(nextServe);
        }
        leftTop = movePaddle(canvas, leftTop, SDLK_w, SDLK_s, seconds);
        rightTop = movePaddle(canvas, rightTop, SDLK_UP, SDLK_DOWN, seconds);

        if (ball.moving) {
            ball.x += ball.dx * seconds;
            ball.y += ball.dy * seconds;
            if ((ball.y < BALL_RADIUS && ball.dy < 0) ||
                (ball.y > HEIGHT - 1 - BALL_RADIUS && ball.dy > 0)) {
                ball.dy = -ball.dy; // off the top or the bottom edge
            }
            if (ball.dx < 0 && touches(ball, LEFT_X, leftTop)) {
                bounce(ball, leftTop, 1);
                canvas.playEffect(hit);
                ++hits;
            } else if (ball.dx > 0 && touches(ball, RIGHT_X, rightTop)) {
                bounce(ball, rightTop, -1);
                canvas.playEffect(hit);
                ++hits;
            }
            if (ball.x < -BALL_RADIUS || ball.x > WIDTH + BALL_RADIUS) {
                // A point: the sound of the last hit, if any, goes on under it.
                if (ball.x < 0) {
                    ++rightScore;
                    nextServe = -1;
                } else {
                    ++leftScore;
                    nextServe = 1;
                }
                canvas.playEffect(point, 0.8);
                ball = Ball(); // waits in the middle for the next serve
            }
        }

        canvas.clear();
        for (int y = 0; y < HEIGHT; y += 24) {
            canvas.drawFilledRectangle(WIDTH / 2 - 2, y, WIDTH / 2 + 1, y + 11, GREEN);
        }
        canvas.drawFilledRectangle(LEFT_X, static_cast<int>(leftTop), LEFT_X + PADDLE_WIDTH - 1,
                                   static_cast<int>(leftTop) + PADDLE_HEIGHT - 1, WHITE);
        canvas.drawFilledRectangle(RIGHT_X, static_cast<int>(rightTop), RIGHT_X + PADDLE_WIDTH - 1,
                                   static_cast<int>(rightTop) + PADDLE_HEIGHT - 1, WHITE);
        canvas.drawFilledCircle(static_cast<int>(ball.x), static_cast<int>(ball.y), BALL_RADIUS,
                                YELLOW);
        canvas.drawTextCentered(WIDTH / 4, 30, std::to_string(leftScore), WHITE);
        canvas.drawTextCentered(3 * WIDTH / 4, 30, std::to_string(rightScore), WHITE);
        canvas.drawTextCentered(WIDTH / 2, HEIGHT - 20,
                                std::string(ball.moving ? "" : "Space: serve   ") + "M: music " +
                                    (musicOn ? "on" : "off"),
                                SILVER);

        while (canvas.pollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                canvas.quit();
            }
        }
        canvas.update();
    }
    std::printf("vantrel-pong: %d-%d, %d hits, music %s\n", leftScore, rightScore, hits,
                musicOn ? "on" : "off");
    return 0;
}
