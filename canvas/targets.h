#ifndef VANTREL_CANVAS_TARGETS_H
#define VANTREL_CANVAS_TARGETS_H

// Images you draw into, as far as the rest of the canvas and its tests need
// to see. Internal to the canvas; not installed.

#include <SDL.h>

#include <string>

namespace vantrel {
namespace detail {

/// Whether the renderer can lose what its render targets hold (Direct3D
/// does when its device is reset), so that the canvas keeps a copy of every
/// image it draws into. keepImageCopies(true) makes it keep them with any
/// renderer, so that the mending can be tried where nothing is ever lost.
bool rendererLosesTargets(SDL_Renderer* renderer);
void keepImageCopies(bool always);

/// The pixels of what the renderer draws into now (the window or an image),
/// as an RGBA32 surface, or nullptr with the reason in *error.
SDL_Surface* readTarget(SDL_Renderer* renderer, std::string* error);

/// Points the renderer at the window while it lives, then back at what it
/// drew into before.
class WindowTarget {
public:
    explicit WindowTarget(SDL_Renderer* renderer)
        : renderer(renderer), before(SDL_GetRenderTarget(renderer)) {
        if (before != nullptr) {
            SDL_SetRenderTarget(renderer, nullptr);
        }
    }
    ~WindowTarget() {
        if (before != nullptr) {
            SDL_SetRenderTarget(renderer, before);
        }
    }
    WindowTarget(const WindowTarget&) = delete;
    WindowTarget& operator=(const WindowTarget&) = delete;

private:
    SDL_Renderer* renderer;
    SDL_Texture* before;
};

} // namespace detail
} // namespace vantrel

#endif
