// The camera: a world bigger than the window. Drawing calls subtract the
// offset of what they draw into (viewX and viewY in canvas/state.h): the camera's
// while drawing into the window, none while drawing into an image. Moving
// the coordinates in the canvas, rather than SDL's viewport, keeps every
// renderer exact: a viewport would need a negative origin, which Direct3D 9
// refuses and OpenGL limits to its largest viewport, and SDL would move the
// mouse positions it reports with it.

#include "canvas/canvas.h"

#include "canvas/state.h"

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

int Canvas::getMouseWorldX() { return sum(getMouseX(), state->camera.x); }

int Canvas::getMouseWorldY() { return sum(getMouseY(), state->camera.y); }
