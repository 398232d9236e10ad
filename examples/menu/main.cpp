// A game with a menu: a title screen with buttons, settings with a volume
// slider and a fullscreen check box, a short game of catching dots, pause
// with Escape, and the best score kept between runs. A gamepad works too:
// up and down on its pad choose a button, A presses it.

#include "canvas/canvas.h"

#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;
constexpr double GAME_SECONDS = 20;

enum Screen { TITLE, SETTINGS, PLAYING, PAUSED };

// The menu's buttons, one under the other, and which one the gamepad chose.
struct Menu {
    std::vector<std::string> labels;
    int chosen = 0;
};

// Draws the menu's buttons; returns the index of the one clicked (or
// pressed with the gamepad's A), or -1.
int drawMenu(Canvas& canvas, Menu& menu, int top) {
    if (canvas.getGamepadCount() > 0) {
        const int count = static_cast<int>(menu.labels.size());
        if (canvas.wasGamepadButtonPressed(0, SDL_CONTROLLER_BUTTON_DPAD_DOWN)) {
            menu.chosen = (menu.chosen + 1) % count;
        }
        if (canvas.wasGamepadButtonPressed(0, SDL_CONTROLLER_BUTTON_DPAD_UP)) {
            menu.chosen = (menu.chosen + count - 1) % count;
        }
    }
    int clicked = -1;
    for (int i = 0; i < static_cast<int>(menu.labels.size()); ++i) {
        const int y = top + i * 60;
        if (canvas.drawButton(WIDTH / 2 - 100, y, 200, 44, menu.labels[i])) {
            clicked = i;
        }
        if (i == menu.chosen && canvas.getGamepadCount() > 0) {
            canvas.drawRectangle(WIDTH / 2 - 104, y - 4, WIDTH / 2 + 103, y + 47, Color(GOLD));
        }
    }
    if (canvas.getGamepadCount() > 0 &&
        canvas.wasGamepadButtonPressed(0, SDL_CONTROLLER_BUTTON_A)) {
        clicked = menu.chosen;
    }
    return clicked;
}

} // namespace

int main(int, char**) {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, WIDTH, HEIGHT, "Vantrel menu");
    setRandomSeed(7);
    Screen screen = TITLE;
    Menu title{{"Play", "Settings", "Quit"}};
    Menu settings{{"Back"}};
    double volume = canvas.loadNumber("volume", 0.8);
    int best = static_cast<int>(canvas.loadNumber("best", 0));
    int score = 0;
    double timeLeft = 0;
    int dotX = 0;
    int dotY = 0;
    canvas.setEffectsVolume(volume);

    canvas.start();
    while (canvas.isRunning()) {
        SDL_Event event;
        while (canvas.pollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                canvas.quit();
            }
        }
        const bool escape = canvas.wasKeyPressed(SDLK_ESCAPE) ||
                            canvas.wasGamepadButtonPressed(0, SDL_CONTROLLER_BUTTON_START);
        canvas.setBackgroundColor(Color::fromHSV(230, 0.45, 0.35));
        canvas.clear();

        if (screen == TITLE) {
            canvas.drawTextCentered(WIDTH / 2, 80, "Catch the dots", Color(GOLD));
            canvas.drawTextCentered(WIDTH / 2, 130, "Best: " + std::to_string(best), Color(WHITE));
            const int choice = drawMenu(canvas, title, 190);
            if (choice == 0) {
                screen = PLAYING;
                score = 0;
                timeLeft = GAME_SECONDS;
                dotX = randomInt(40, WIDTH - 40);
                dotY = randomInt(80, HEIGHT - 40);
            } else if (choice == 1) {
                screen = SETTINGS;
            } else if (choice == 2) {
                canvas.quit();
            }
        } else if (screen == SETTINGS) {
            canvas.drawTextCentered(WIDTH / 2, 80, "Settings", Color(GOLD));
            canvas.drawText(120, 160, "Volume", Color(WHITE));
            const double before = volume;
            volume = canvas.drawSlider(300, 172, 220, volume, 0, 1);
            if (volume != before) {
                canvas.setEffectsVolume(volume);
            }
            // The box shows the window as it is: Escape in a browser, or the
            // desktop's own key, may have left fullscreen meanwhile.
            const bool fullscreen =
                canvas.drawCheckBox(120, 230, "Fullscreen", canvas.isFullscreen());
            if (fullscreen != canvas.isFullscreen()) {
                canvas.setFullscreen(fullscreen);
            }
            if (drawMenu(canvas, settings, 320) == 0 || escape) {
                canvas.saveNumber("volume", volume);
                screen = TITLE;
            }
        } else if (screen == PLAYING || screen == PAUSED) {
            if (escape) {
                screen = screen == PLAYING ? PAUSED : PLAYING;
            }
            if (screen == PLAYING) {
                timeLeft -= canvas.getFrameTime();
                const int dx = canvas.getMouseX() - dotX;
                const int dy = canvas.getMouseY() - dotY;
                if (canvas.wasMouseButtonPressed(SDL_BUTTON_LEFT) && dx * dx + dy * dy <= 24 * 24) {
                    ++score;
                    canvas.playTone(440 + 40 * score, 0.1);
                    dotX = randomInt(40, WIDTH - 40);
                    dotY = randomInt(80, HEIGHT - 40);
                }
            }
            canvas.drawFilledCircle(dotX, dotY, 24, Color(ORANGE));
            canvas.drawText(10, 10, "Score " + std::to_string(score), Color(WHITE));
            canvas.drawTextRight(WIDTH - 10, 10, std::to_string(static_cast<int>(timeLeft + 0.99)),
                                 Color(WHITE));
            if (screen == PAUSED) {
                canvas.drawTextCentered(WIDTH / 2, 200, "Paused", Color(GOLD));
                if (canvas.drawButton(WIDTH / 2 - 100, 260, 200, 44, "Menu")) {
                    screen = TITLE;
                }
            }
            if (timeLeft <= 0) {
                if (score > best) {
                    best = score;
                    canvas.saveNumber("best", best);
                }
                screen = TITLE;
            }
        }
        canvas.update();
    }
    return 0;
}
