// The camera: a world bigger than the window. Drawing calls subtract the
// offset of what they draw into (viewX and viewY in canvas/state.h): the camera's
// while drawing into the window, none while drawing into an image. Moving
// the coordinates in the canvas, rather than SDL's viewport, keeps every
// renderer exact: a viewport would need a negative origin, which Direct3D 9
// refuses and OpenGL limits to its largest viewport, and SDL would move the
// mouse positions it reports with it.

#include "canvas/canvas.h"

#include "canvas/state.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

using vantrel::detail::Offset;

// a + b, kept within int.
int sum(int a, int b) {
    const long long total = static_cast<long long>(a) + b;
    return total < INT_MIN ? INT_MIN : total > INT_MAX ? INT_MAX : static_cast<int>(total);
}

} // namespace

void Canvas::setCamera(int x, int y) {
    state->camera = Offset{x, y};
    if (state->drawingInto == 0) {
        state->view = state->camera;
    }
}

int Canvas::getCameraX() { return state->camera.x; }

int Canvas::getCameraY() { return state->camera.y; }

// A window coordinate as a world distance from the camera's corner.
int unzoom(int value, double zoom) {
    const double world = std::floor(value / zoom);
    return world < INT_MIN ? INT_MIN : world > INT_MAX ? INT_MAX : static_cast<int>(world);
}

int Canvas::getMouseWorldX() { return sum(unzoom(getMouseX(), state->zoom), state->camera.x); }

int Canvas::getMouseWorldY() { return sum(unzoom(getMouseY(), state->zoom), state->camera.y); }

void Canvas::setCameraZoom(double zoom) {
    // Beyond 1/100 and 100 nothing useful is left on the screen.
    const double kept = std::isnan(zoom) ? 1.0 : std::min(100.0, std::max(0.01, zoom));
    if (kept != zoom) {
        std::fprintf(stderr,
                     "Vantrel: setCameraZoom(%g) takes a zoom from 0.01 to 100 (1: none); "
                     "using %g\n",
                     zoom, kept);
    }
    state->zoom = kept;
    applyZoom(kept);
}

double Canvas::getCameraZoom() { return state->zoom; }

void Canvas::applyZoom(double zoom) {
    if (renderer == nullptr || state->drawingInto != 0) {
        return; // the window's scale comes back, zoomed, with drawIntoWindow
    }
    if (zoom == state->input.mouseZoom && zoom == 1.0) {
        return; // SDL's own fitting scale is there: the usual case, at no cost
    }
    // The scale SDL gives the logical size to fit the window's output, as it
    // works it out: the smaller of the two ratios (bars on the other sides).
    int logicalWidth = 0;
    int logicalHeight = 0;
    int width = 0;
    int height = 0;
    SDL_RenderGetLogicalSize(renderer, &logicalWidth, &logicalHeight);
    double fit = 1.0;
    if (logicalWidth > 0 && logicalHeight > 0 &&
        SDL_GetRendererOutputSize(renderer, &width, &height) == 0) {
        fit = std::min(static_cast<double>(width) / logicalWidth,
                       static_cast<double>(height) / logicalHeight);
    }
    SDL_RenderSetScale(renderer, static_cast<float>(fit * zoom), static_cast<float>(fit * zoom));
    state->input.mouseZoom = zoom;
}
