// Images: loading (through the checked decoder of canvas/image_file.cpp),
// the image list, and drawing whole images, scaled, turned, mirrored and in
// parts.

#include "canvas/canvas.h"

#include "canvas/assets.h"
#include "canvas/failure.h"
#include "canvas/image_file.h"
#include "canvas/state.h"

#include <SDL_image.h>

#include <cmath>
#include <stdexcept>

namespace {

using vantrel::detail::Image;

// A size scaled by a factor, to the nearest pixel; 0 for a factor that is
// not above 0 (NaN included) or a result too big for an int.
int scaled(int size, double scale) {
    if (!(scale > 0.0)) {
        return 0;
    }
    const double result = std::round(size * scale);
    return result < 2147483647.0 ? static_cast<int>(result) : 0;
}

} // namespace

ImageId Canvas::loadImage(const std::string& path) {
    // A relative path not found in the working directory is looked for
    // beside the program too; the message then names every place looked.
    const vantrel::detail::AssetPath file = vantrel::detail::findAsset(path);
    if (!file.found) {
        state->imageError = vantrel::detail::notFoundMessage(path, file);
        return -1;
    }
    SDL_RWops* stream = SDL_RWFromFile(file.path.c_str(), "rb");
    if (stream == nullptr) {
        state->imageError = "Couldn't open " + file.path + ": " + SDL_GetError();
        return -1;
    }
    std::string reason;
    SDL_Surface* surface = vantrel::detail::decodeImage(stream, &reason);
    SDL_RWclose(stream);
    if (surface == nullptr) {
        state->imageError = "Couldn't load " + path + ": " + reason;
        return -1;
    }
    Image image = {nullptr, surface, surface->w, surface->h, 255, false, nullptr};
    if (renderer != nullptr) {
        // With a renderer the texture is made at once, so that a failure
        // shows here, with a reason, rather than as an image that never draws.
        image.texture = SDL_CreateTextureFromSurface(renderer, surface);
        SDL_FreeSurface(surface);
        image.pending = nullptr;
        if (image.texture == nullptr) {
            state->imageError =
                "Couldn't load " + path + ": the renderer cannot hold it (" + SDL_GetError() + ")";
            return -1;
        }
    }
    state->images.push_back(image);
    state->imageError.clear();
    return static_cast<ImageId>(state->images.size());
}

std::string Canvas::getImageError() { return state->imageError; }

Image& Canvas::imageFor(ImageId image) {
    if (image < 1 || static_cast<std::size_t>(image) > state->images.size()) {
        std::string message =
            "Image id " + std::to_string(image) +
            " names no loaded image (loaded images: " + std::to_string(state->images.size()) + ").";
        if (image == -1) {
            message += " An id of -1 means loadImage failed";
            message += state->imageError.empty() ? "." : "; the last failure: " + state->imageError;
        }
        vantrel::detail::failWith(std::out_of_range(message));
    }
    return state->images[static_cast<std::size_t>(image) - 1];
}

SDL_Texture* Canvas::textureFor(ImageId id) {
    Image& image = imageFor(id);
    if (id == state->drawingInto) {
        // SDL leaves drawing a texture into itself undefined.
        vantrel::detail::failWith(std::logic_error(
            "Image " + std::to_string(id) + " cannot be drawn into itself: drawInto(" +
            std::to_string(id) + ") is still on. Call drawIntoWindow() (or drawInto another " +
            "image) before drawing image " + std::to_string(id) + "."));
    }
    if (state->targetsLost) {
        restoreLostImages();
    }
    if (image.texture == nullptr && renderer != nullptr && image.pending != nullptr) {
        // Decoded before initWorld: the renderer exists now.
        image.texture = SDL_CreateTextureFromSurface(renderer, image.pending);
        if (image.texture == nullptr) {
            return nullptr; // tried again at the next draw
        }
        SDL_FreeSurface(image.pending);
        image.pending = nullptr;
        if (image.alpha != 255) {
            SDL_SetTextureBlendMode(image.texture, SDL_BLENDMODE_BLEND);
            SDL_SetTextureAlphaMod(image.texture, image.alpha);
        }
    }
    return image.texture;
}

int Canvas::getImageWidth(ImageId image) { return imageFor(image).width; }

int Canvas::getImageHeight(ImageId image) { return imageFor(image).height; }

void Canvas::setImageAlpha(ImageId id, int alpha) {
    Image& image = imageFor(id);
    image.alpha = static_cast<std::uint8_t>(alpha < 0 ? 0 : alpha > 255 ? 255 : alpha);
    if (image.texture != nullptr) {
        if (image.alpha != 255) {
            // An opaque image (a JPEG, say) is copied without blending,
            // which would ignore the alpha; with blending its pixels, all
            // opaque, come out as before.
            SDL_SetTextureBlendMode(image.texture, SDL_BLENDMODE_BLEND);
        }
        SDL_SetTextureAlphaMod(image.texture, image.alpha);
    }
}

void Canvas::copyImage(SDL_Texture* texture, const SDL_Rect* source, const SDL_Rect& target,
                       double angleDegrees, ImageFlip flip) {
    if (texture == nullptr || target.w <= 0 || target.h <= 0 || !std::isfinite(angleDegrees)) {
        return;
    }
    const SDL_Rect placed = {viewX(target.x), viewY(target.y), target.w, target.h};
    const int mirror = flip & FLIP_BOTH;
    // Whole turns are no turn at all; the rest keeps its precision however
    // far a program has counted its angle up.
    const double angle = std::fmod(angleDegrees, 360.0);
    if (angle == 0.0 && mirror == NO_FLIP) {
        SDL_RenderCopy(renderer, texture, source, &placed);
        return;
    }
    // The software renderer turns and mirrors into a temporary picture of
    // the target's size; beyond the image size limit that could take
    // gigabytes, so such a draw is left out.
    if (target.w > MAX_IMAGE_SIZE || target.h > MAX_IMAGE_SIZE) {
        return;
    }
    SDL_RenderCopyEx(renderer, texture, source, &placed, angle, nullptr,
                     static_cast<SDL_RendererFlip>(mirror));
}

void Canvas::drawImage(ImageId image, int x, int y) {
    SDL_Texture* texture = textureFor(image);
    const Image& found = state->images[static_cast<std::size_t>(image) - 1];
    copyImage(texture, nullptr, SDL_Rect{x, y, found.width, found.height}, 0.0, NO_FLIP);
}

void Canvas::drawImage(ImageId image, int x, int y, double scale, double angleDegrees,
                       ImageFlip flip) {
    SDL_Texture* texture = textureFor(image);
    const Image& found = state->images[static_cast<std::size_t>(image) - 1];
    copyImage(texture, nullptr,
              SDL_Rect{x, y, scaled(found.width, scale), scaled(found.height, scale)}, angleDegrees,
              flip);
}

void Canvas::drawImageSized(ImageId image, int x, int y, int width, int height, double angleDegrees,
                            ImageFlip flip) {
    copyImage(textureFor(image), nullptr, SDL_Rect{x, y, width, height}, angleDegrees, flip);
}

void Canvas::drawImagePart(ImageId image, int srcX, int srcY, int srcWidth, int srcHeight, int x,
                           int y, int width, int height, double angleDegrees, ImageFlip flip) {
    SDL_Texture* texture = textureFor(image);
    const Image& found = state->images[static_cast<std::size_t>(image) - 1];
    const SDL_Rect asked = {srcX, srcY, srcWidth, srcHeight};
    const SDL_Rect whole = {0, 0, found.width, found.height};
    SDL_Rect source;
    if (width <= 0 || height <= 0 || !SDL_IntersectRect(&asked, &whole, &source)) {
        return;
    }
    // SDL would stretch what is left of a rectangle reaching outside the
    // image over the whole target; instead the target shrinks with it, so
    // every image pixel keeps its place and size.
    SDL_Rect target = {x, y, width, height};
    if (!SDL_RectEquals(&source, &asked)) {
        const double scaleX = static_cast<double>(width) / srcWidth;
        const double scaleY = static_cast<double>(height) / srcHeight;
        target.x = x + static_cast<int>(std::lround((source.x - srcX) * scaleX));
        target.y = y + static_cast<int>(std::lround((source.y - srcY) * scaleY));
        target.w = static_cast<int>(std::lround(source.w * scaleX));
        target.h = static_cast<int>(std::lround(source.h * scaleY));
    }
    copyImage(texture, &source, target, angleDegrees, flip);
}

void Canvas::freeImages() {
    if (state->watchingTargets) {
        SDL_DelEventWatch(watchTargets, this);
        state->watchingTargets = false;
    }
    if (renderer != nullptr) {
        SDL_SetRenderTarget(renderer, nullptr);
    }
    state->drawingInto = 0;
    for (Image& image : state->images) {
        SDL_DestroyTexture(image.texture);
        SDL_FreeSurface(image.pending);
        SDL_FreeSurface(image.kept);
    }
    state->images.clear();
    IMG_Quit();
}
