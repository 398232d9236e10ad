#ifndef VANTREL_TESTS_PIXELS_H
#define VANTREL_TESTS_PIXELS_H

// Reading the current frame back from the canvas's renderer, so that tests
// check what a drawing call really put into the frame. Read before update():
// presenting may leave the back buffer undefined.

#include <SDL.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "types/color.h"

namespace pixels {

/// The renderer of the canvas's window (the only window the process opens),
/// or nullptr before initWorld.
inline SDL_Renderer* canvasRenderer() {
    // Window ids start at 1 and grow by one per created object; the canvas's
    // window is the first one that still exists.
    for (Uint32 id = 1; id < 64; ++id) {
        if (SDL_Window* window = SDL_GetWindowFromID(id)) {
            return SDL_GetRenderer(window);
        }
    }
    return nullptr;
}

/// A copy of the whole frame, one RGBA colour per pixel.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    Color at(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
        return Color(rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]);
    }
};

/// Reads the whole frame drawn so far. An empty frame means the read failed.
inline Frame readFrame() {
    Frame frame;
    SDL_Renderer* renderer = canvasRenderer();
    if (renderer == nullptr || SDL_GetRendererOutputSize(renderer, &frame.width, &frame.height)) {
        return Frame();
    }
    frame.rgba.resize(static_cast<std::size_t>(frame.width) * frame.height * 4);
    if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGBA32, frame.rgba.data(),
                             frame.width * 4) != 0) {
        return Frame();
    }
    return frame;
}

/// The colour of one pixel of the frame drawn so far.
inline Color readPixel(int x, int y) { return readFrame().at(x, y); }

/// Empty when both frames hold the same pixels, otherwise where and how the
/// first difference shows, for assertion messages.
inline std::string firstDifference(const Frame& expected, const Frame& actual) {
    std::ostringstream out;
    if (expected.width != actual.width || expected.height != actual.height) {
        out << "sizes differ: " << expected.width << "x" << expected.height << " vs "
            << actual.width << "x" << actual.height;
        return out.str();
    }
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            if (expected.at(x, y) != actual.at(x, y)) {
                out << "at (" << x << ", " << y << "): expected " << expected.at(x, y)
                    << ", actual " << actual.at(x, y);
                return out.str();
            }
        }
    }
    return out.str();
}

/// Number of pixels inside rect (clipped to the frame) for which test holds.
template <typename Test> int countInside(const Frame& frame, SDL_Rect rect, Test test) {
    int count = 0;
    for (int y = rect.y; y < rect.y + rect.h; ++y) {
        for (int x = rect.x; x < rect.x + rect.w; ++x) {
            if (x >= 0 && y >= 0 && x < frame.width && y < frame.height && test(frame.at(x, y))) {
                ++count;
            }
        }
    }
    return count;
}

/// Number of pixels outside rect for which test holds.
template <typename Test> int countOutside(const Frame& frame, SDL_Rect rect, Test test) {
    const SDL_Rect all = {0, 0, frame.width, frame.height};
    return countInside(frame, all, test) - countInside(frame, rect, test);
}

/// Smallest rectangle holding every pixel that differs from background;
/// empty (w = h = 0) when there is none.
inline SDL_Rect inkBox(const Frame& frame, const Color& background) {
    int left = frame.width, top = frame.height, right = -1, bottom = -1;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            if (frame.at(x, y) != background) {
                left = x < left ? x : left;
                right = x > right ? x : right;
                top = y < top ? y : top;
                bottom = y > bottom ? y : bottom;
            }
        }
    }
    if (right < 0) {
        return SDL_Rect{0, 0, 0, 0};
    }
    return SDL_Rect{left, top, right - left + 1, bottom - top + 1};
}

/// A rectangle as "{x, y, w x h}", for assertion messages.
inline std::string str(const SDL_Rect& r) {
    return "{" + std::to_string(r.x) + ", " + std::to_string(r.y) + ", " + std::to_string(r.w) +
           " x " + std::to_string(r.h) + "}";
}

} // namespace pixels

#endif
