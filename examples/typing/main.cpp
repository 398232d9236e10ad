// vantrel-typing: a quiz that asks for a name and a typed answer.
//
//   type                   the letters go into the field with the cursor,
//                          accents and capitals as your keyboard makes them
//   Backspace              deletes the last letter; held down, it goes on
//   Enter                  moves on to the answer, then checks it
//   Tab, Up, Down          switch between the two fields
//   Escape                 ends the program (so does closing the window)
//
// On exit the program prints what was typed into each field, and in how
// many frames Backspace was typed (pressed, or repeated while held) and
// pressed.

#include <cctype>
#include <cstdio>
#include <string>

#include "canvas/canvas.h"

namespace {

const int WIDTH = 640;
const int HEIGHT = 360;
const int FIELD_LEFT = 40;
const int FIELD_RIGHT = 600;
const int FIELD_HEIGHT = 40;
const std::string QUESTION = "Which planet is the largest?";
const std::string RIGHT_ANSWER = "jupiter";

// One text field: a label above a box that holds the text typed into it.
struct Field {
    std::string label;
    std::string text;
    int top;
};

// The answer in lower case, without the spaces around it (ASCII only:
// enough for "Jupiter").
std::string normalised(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != ' ') {
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

void drawField(Canvas& canvas, const Field& field, bool active, bool cursorShown) {
    canvas.drawText(FIELD_LEFT, field.top - 30, field.label, Color(SILVER));
    canvas.drawRoundedBox(FIELD_LEFT, field.top, FIELD_RIGHT, field.top + FIELD_HEIGHT, 6,
                          active ? Color(WHITE) : Color(GRAY));
    // The cursor is an underscore after the text, so that it also stands
    // after a space typed at the end.
    const std::string shown = field.text + (active && cursorShown ? "_" : "");
    if (!shown.empty()) {
        canvas.drawText(FIELD_LEFT + 10, field.top + 6, shown, Color(BLACK));
    }
}

} // namespace

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;

    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, WIDTH, HEIGHT, "Vantrel typing", DEFAULT_FONT, 24);
    canvas.setBackgroundColor(NAVY);

    Field fields[2] = {{"Your name:", "", 90}, {QUESTION, "", 190}};
    int active = 0;
    std::string verdict;
    int backspaceTyped = 0;
    int backspacePressed = 0;

    SDL_Event event;
    canvas.start();
    while (canvas.isRunning()) {
        Field& field = fields[active];

        // ---- Editing: the letters typed and Backspace (held down, it goes
        // on), in the order they were typed, whatever the frame rate ----
        canvas.typeInto(field.text);
        backspaceTyped += canvas.wasKeyTyped(SDLK_BACKSPACE);
        backspacePressed += canvas.wasKeyPressed(SDLK_BACKSPACE);
        // Whatever no longer fits in the box is taken off again.
        while (canvas.getTextWidth(field.text + "_") > FIELD_RIGHT - FIELD_LEFT - 20) {
            Canvas::removeLastCharacter(field.text);
        }

        // ---- Moving between the fields, checking the answer ----
        if (canvas.wasKeyPressed(SDLK_RETURN) || canvas.wasKeyPressed(SDLK_KP_ENTER)) {
            if (active == 0) {
                active = 1;
            } else {
                const std::string name = fields[0].text.empty() ? "stranger" : fields[0].text;
                verdict = normalised(fields[1].text) == RIGHT_ANSWER
                              ? "Right, " + name + "!"
                              : "Not quite, " + name + ": it is Jupiter.";
            }
        }
        if (canvas.wasKeyPressed(SDLK_TAB) || canvas.wasKeyPressed(SDLK_UP) ||
            canvas.wasKeyPressed(SDLK_DOWN)) {
            active = 1 - active;
        }
        if (canvas.wasKeyPressed(SDLK_ESCAPE)) {
            canvas.quit();
        }

        // ---- Drawing: the cursor blinks twice a second ----
        const bool cursorShown = static_cast<int>(canvas.getTime() * 2) % 2 == 0;
        canvas.clear();
        canvas.drawTextCentered(WIDTH / 2, 24, "A quick quiz", Color(YELLOW));
        drawField(canvas, fields[0], active == 0, cursorShown);
        drawField(canvas, fields[1], active == 1, cursorShown);
        if (!verdict.empty()) {
            canvas.drawTextCentered(WIDTH / 2, 270, verdict,
                                    verdict[0] == 'R' ? Color(LIME) : Color(FUCHSIA));
        }
        canvas.drawTextCentered(WIDTH / 2, 330, "Enter: next   Tab: other field   Esc: quit",
                                Color(SILVER));

        while (canvas.pollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                canvas.quit();
            }
        }
        canvas.update();
    }
    std::printf("vantrel-typing: name \"%s\", answer \"%s\", Backspace typed %d, pressed %d\n",
                fields[0].text.c_str(), fields[1].text.c_str(), backspaceTyped, backspacePressed);
    return 0;
}
