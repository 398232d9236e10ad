// The window itself: its size, title, cursor and fullscreen. Fullscreen
// covers the screen at the desktop's resolution; the renderer's logical
// size (set in initWorld) scales the picture to fit with its shape kept and
// turns mouse positions back into window pixels, so a program sees the same
// width, height and mouse coordinates in both.

#include "canvas/canvas.h"

#include "canvas/state.h"

#include <cstdio>

namespace {

// The picture's size: the logical size the renderer keeps, which stays the
// window's size from initWorld in fullscreen too; the window's own without one.
void pictureSize(SDL_Window* window, SDL_Renderer* renderer, int* width, int* height) {
    *width = 0;
    *height = 0;
    if (renderer != nullptr) {
        SDL_RenderGetLogicalSize(renderer, width, height);
    }
    if (*width == 0 || *height == 0) {
        SDL_GetWindowSize(window, width, height);
    }
}

} // namespace

int Canvas::getWidth() {
    int width;
    int height;
    pictureSize(window, renderer, &width, &height);
    return width;
}

int Canvas::getHeight() {
    int width;
    int height;
    pictureSize(window, renderer, &width, &height);
    return height;
}

void Canvas::getMouseState(int* x, int* y) { SDL_GetMouseState(x, y); }

void Canvas::raiseWindow() { SDL_RaiseWindow(window); }

void Canvas::setTitle(const std::string& title) {
    if (window != nullptr) {
        SDL_SetWindowTitle(window, title.c_str());
    }
}

void Canvas::showCursor(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

void Canvas::setFullscreen(bool on) {
    state->fullscreen = on;
    // The recording mode keeps its window, so that a run's frames stay the
    // same size on every machine; before initWorld, initWorld applies it.
    if (window == nullptr || state->recorder != nullptr) {
        return;
    }
    if (SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        std::fprintf(stderr, "Vantrel: setFullscreen(%s) failed: %s\n", on ? "true" : "false",
                     SDL_GetError());
        state->fullscreen = !on;
    }
}

bool Canvas::isFullscreen() {
    if (window == nullptr || state->recorder != nullptr) {
        return state->fullscreen;
    }
    // The window's own flag: the user may have left fullscreen (Escape in a
    // browser, the window manager's key) without the program asking.
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}
