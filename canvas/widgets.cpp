// Buttons, sliders and check boxes, immediate-mode: each call draws the
// widget and answers the left mouse button in the same frame, and the
// program keeps the values. A widget is known by its kind, place and size;
// the one a press began on is held (State::widgetHeld) until the button
// goes up. Widgets are drawn in window pixels, whatever the camera and its
// zoom, with a dark face, a light inner edge and a black outer edge, so they
// read on any background.

#include "canvas/canvas.h"

#include "canvas/state.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int WIDGET_FONT_SIZE = 18;
constexpr int SLIDER_HEIGHT = 20;
constexpr int BOX_SIZE = 20;
constexpr Color FACE(48, 54, 70, 255);
constexpr Color FACE_HOVER(74, 86, 116, 255);
constexpr Color FACE_PRESSED(26, 30, 40, 255);
constexpr Color EDGE(235, 238, 245, 255);
constexpr Color OUTLINE(0, 0, 0, 255);
constexpr Color FILL(90, 160, 255, 255);
constexpr Color LABEL(255, 255, 255, 255);

enum Kind : long long { BUTTON = 1, SLIDER = 2, CHECK_BOX = 3 };

// One widget's name: its kind, place and size folded into a number.
long long widgetKey(Kind kind, int x, int y, int width, int height) {
    // Unsigned, where wrapping around is defined.
    unsigned long long key = static_cast<unsigned long long>(kind);
    for (const int part : {x, y, width, height}) {
        key = key * 1000003ULL + static_cast<unsigned int>(part);
    }
    const long long folded = static_cast<long long>(key >> 1);
    return folded == 0 ? 1 : folded;
}

} // namespace

void Canvas::useWindowPixels(bool on) {
    if (state->drawingInto != 0) {
        return; // an image has neither camera nor zoom
    }
    state->view = on ? vantrel::detail::Offset{0, 0} : state->camera;
    if (state->zoom != 1.0) {
        applyZoom(on ? 1.0 : state->zoom);
    }
}

bool Canvas::widgetInput(long long key, int x, int y, int width, int height, bool* held) {
    const int mx = getMouseX();
    const int my = getMouseY();
    const bool over = mx >= x && my >= y && mx < static_cast<long long>(x) + width &&
                      my < static_cast<long long>(y) + height;
    const bool down = isMouseButtonDown(SDL_BUTTON_LEFT);
    const bool released = wasMouseButtonReleased(SDL_BUTTON_LEFT);
    if (wasMouseButtonPressed(SDL_BUTTON_LEFT)) {
        if (over) {
            state->widgetHeld = key;
        } else if (state->widgetHeld == key) {
            state->widgetHeld = 0; // a new press, elsewhere
        }
    } else if (!down && !released && state->widgetHeld == key) {
        state->widgetHeld = 0; // let go in an earlier frame
    }
    *held = state->widgetHeld == key && (down || released);
    return over;
}

void Canvas::drawWidgetFace(int x, int y, int width, int height, const Color& face) {
    drawFilledRectangle(x, y, x + width - 1, y + height - 1, face);
    drawRectangle(x, y, x + width - 1, y + height - 1, OUTLINE);
    drawRectangle(x + 1, y + 1, x + width - 2, y + height - 2, EDGE);
}

void Canvas::drawWidgetLabel(int x, int y, const std::string& label) {
    if (state->widgetFont == 0) {
        state->widgetFont = loadFont(DEFAULT_FONT, WIDGET_FONT_SIZE);
    }
    if (state->widgetFont > 0 && !label.empty()) {
        drawTextCentered(x, y, label, LABEL, state->widgetFont);
    }
}

bool Canvas::drawButton(int x, int y, int width, int height, const std::string& label) {
    width = std::max(width, 4);
    height = std::max(height, 4);
    const long long key = widgetKey(BUTTON, x, y, width, height);
    bool held = false;
    const bool over = widgetInput(key, x, y, width, height, &held);
    useWindowPixels(true);
    drawWidgetFace(x, y, width, height, held && over ? FACE_PRESSED : over ? FACE_HOVER : FACE);
    drawWidgetLabel(x + width / 2, y + height / 2, label);
    useWindowPixels(false);
    return held && over && wasMouseButtonReleased(SDL_BUTTON_LEFT);
}

double Canvas::drawSlider(int x, int y, int width, double value, double low, double high) {
    width = std::max(width, 2);
    const double smallest = std::min(low, high);
    const double largest = std::max(low, high);
    value = std::isnan(value) ? low : std::min(largest, std::max(smallest, value));
    const long long key = widgetKey(SLIDER, x, y, width, SLIDER_HEIGHT);
    bool held = false;
    const bool over = widgetInput(key, x, y, width, SLIDER_HEIGHT, &held);
    if (held && high != low) {
        const double along = std::min(1.0, std::max(0.0, (getMouseX() - x) / double(width - 1)));
        value = low + along * (high - low);
    }
    const double along = high == low ? 0.0 : (value - low) / (high - low);
    const int knobX = x + static_cast<int>(std::lround(along * (width - 1)));
    const int middle = y + SLIDER_HEIGHT / 2;
    useWindowPixels(true);
    drawWidgetFace(x, middle - 4, width, 9, FACE);
    if (knobX > x + 2) {
        drawFilledRectangle(x + 2, middle - 2, knobX, middle + 2, FILL);
    }
    drawFilledCircle(knobX, middle, SLIDER_HEIGHT / 2 - 1, held ? FILL : over ? EDGE : LABEL);
    drawCircle(knobX, middle, SLIDER_HEIGHT / 2 - 1, OUTLINE);
    useWindowPixels(false);
    return value;
}

bool Canvas::drawCheckBox(int x, int y, const std::string& label, bool checked) {
    if (state->widgetFont == 0) {
        state->widgetFont = loadFont(DEFAULT_FONT, WIDGET_FONT_SIZE);
    }
    const int labelWidth =
        state->widgetFont > 0 && !label.empty() ? getTextWidth(label, state->widgetFont) : 0;
    // The box and its label on one plate, so the label reads on any background.
    const int width = labelWidth == 0 ? BOX_SIZE + 8 : BOX_SIZE + labelWidth + 20;
    const int height = BOX_SIZE + 8;
    const long long key = widgetKey(CHECK_BOX, x, y, width, height);
    bool held = false;
    const bool over = widgetInput(key, x, y, width, height, &held);
    if (held && over && wasMouseButtonReleased(SDL_BUTTON_LEFT)) {
        checked = !checked;
    }
    useWindowPixels(true);
    drawWidgetFace(x, y, width, height, held && over ? FACE_PRESSED : over ? FACE_HOVER : FACE);
    drawFilledRectangle(x + 4, y + 4, x + 3 + BOX_SIZE, y + 3 + BOX_SIZE, OUTLINE);
    drawRectangle(x + 5, y + 5, x + 2 + BOX_SIZE, y + 2 + BOX_SIZE, EDGE);
    if (checked) {
        drawThickLine(x + 8, y + 14, x + 12, y + 19, 3, FILL);
        drawThickLine(x + 12, y + 19, x + 19, y + 8, 3, FILL);
    }
    if (labelWidth > 0) {
        drawWidgetLabel(x + BOX_SIZE + 12 + labelWidth / 2, y + height / 2, label);
    }
    useWindowPixels(false);
    return checked;
}
