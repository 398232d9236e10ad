// Comparing a submission's frame with the reference's.

#include "compare.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "canvas/file_write.h"
#include "text.h"

namespace grading {

namespace {

using Surface = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

// The width and height a PNG file declares, read from its header before the
// decoder sees it, so that a file claiming a huge size is refused, not
// decoded into gigabytes.
bool pngSize(const std::string& path, long& width, long& height, std::string& problem) {
    const std::string head = readStart(path, 24);
    const std::string name = path.substr(path.find_last_of('/') + 1);
    if (head.size() < 24 || head.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0 ||
        head.compare(12, 4, "IHDR") != 0) {
        problem = name + " is not a PNG image";
        return false;
    }
    auto number = [&](std::size_t at) {
        long value = 0;
        for (std::size_t i = at; i < at + 4; ++i) {
            value = value * 256 + static_cast<unsigned char>(head[i]);
        }
        return value;
    };
    width = number(16);
    height = number(20);
    if (width < 1 || height < 1 || width > MAX_FRAME_SIDE || height > MAX_FRAME_SIDE) {
        problem = name + " claims a size of " + std::to_string(width) + " x " +
                  std::to_string(height) + " pixels, past the " + std::to_string(MAX_FRAME_SIDE) +
                  " this comparison reads";
        return false;
    }
    return true;
}

// The PNG at `path` as 32-bit RGBA, or none with `problem` set.
Surface load(const std::string& path, std::string& problem) {
    long width = 0;
    long height = 0;
    if (!pngSize(path, width, height, problem)) {
        return Surface(nullptr, SDL_FreeSurface);
    }
    SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
    Surface loaded(file != nullptr ? IMG_LoadPNG_RW(file) : nullptr, SDL_FreeSurface);
    if (file != nullptr) {
        SDL_RWclose(file);
    }
    if (!loaded) {
        problem = path.substr(path.find_last_of('/') + 1) +
                  " could not be read as a PNG image: " + SDL_GetError();
        return loaded;
    }
    Surface rgba(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0),
                 SDL_FreeSurface);
    if (!rgba) {
        problem = std::string("out of memory converting a frame: ") + SDL_GetError();
    }
    return rgba;
}

const Uint8* pixelAt(const SDL_Surface* surface, int x, int y) {
    return static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * 4;
}

} // namespace

Comparison compareFrames(const std::string& reference, const std::string& submission,
                         double fuzzPercent, const std::string& difference) {
    Comparison result;
    Surface expected = load(reference, result.problem);
    if (!expected) {
        result.problem = "the reference's " + result.problem;
        return result;
    }
    Surface actual = load(submission, result.problem);
    if (!actual) {
        return result;
    }
    result.referenceWidth = expected->w;
    result.referenceHeight = expected->h;
    result.width = actual->w;
    result.height = actual->h;
    const int width = std::max(expected->w, actual->w);
    const int height = std::max(expected->h, actual->h);
    result.total = static_cast<long>(width) * height;

    Surface picture(difference.empty() ? nullptr
                                       : SDL_CreateRGBSurfaceWithFormat(0, width, height, 32,
                                                                        SDL_PIXELFORMAT_RGBA32),
                    SDL_FreeSurface);
    // Compared as squares: sum of squared differences against 4 * limit^2.
    const double limit = fuzzPercent / 100.0 * 255.0;
    const double threshold = 4.0 * limit * limit;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool inExpected = x < expected->w && y < expected->h;
            const bool inActual = x < actual->w && y < actual->h;
            bool differs = !inExpected || !inActual;
            if (!differs) {
                const Uint8* a = pixelAt(expected.get(), x, y);
                const Uint8* b = pixelAt(actual.get(), x, y);
                double sum = 0;
                for (int c = 0; c < 4; ++c) {
                    const double d = static_cast<double>(a[c]) - b[c];
                    sum += d * d;
                }
                differs = sum > threshold;
            }
            if (differs) {
                ++result.differing;
            }
            if (picture) {
                Uint8* out = static_cast<Uint8*>(picture->pixels) + y * picture->pitch + x * 4;
                if (differs) {
                    out[0] = 255;
                    out[1] = 0;
                    out[2] = 0;
                } else {
                    // Faded: the reference's brightness mapped to 192-255.
                    const Uint8* a = pixelAt(expected.get(), x, y);
                    const int grey = (a[0] * 30 + a[1] * 59 + a[2] * 11) / 100;
                    out[0] = out[1] = out[2] = static_cast<Uint8>(192 + grey / 4);
                }
                out[3] = 255;
            }
        }
    }
    result.compared = true;
    // Whole or not at all: a failed write leaves no broken picture behind.
    std::string cause;
    if (picture && !vantrel::detail::savePng(picture.get(), difference, &cause)) {
        std::fprintf(stderr, "cannot write %s: %s\n", difference.c_str(), cause.c_str());
    }
    return result;
}

} // namespace grading
