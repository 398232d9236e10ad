// Images you draw into: made transparent by createImage (or a loaded image
// turned into one), chosen with drawInto until drawIntoWindow, cleared,
// saved as PNG, and mended when the graphics driver loses what they hold.
//
// Each is an SDL texture with target access. Whatever the program draws into
// one goes through the same renderer calls as drawing into the window; only
// SDL's render target changes.

#include "canvas/canvas.h"

#include "canvas/failure.h"
#include "canvas/file_write.h"
#include "canvas/state.h"
#include "canvas/targets.h"

#include <stdexcept>

namespace {

using vantrel::detail::Image;
using vantrel::detail::Offset;
using vantrel::detail::State;

// Pixels of every image made to be drawn into: 8-bit alpha, red, green,
// blue, which every SDL renderer can draw into.
constexpr Uint32 TARGET_FORMAT = SDL_PIXELFORMAT_ARGB8888;

bool copiesAlways = false;

std::string sizeText(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// A texture to draw into, transparent, or nullptr with the reason in *error.
SDL_Texture* makeTarget(SDL_Renderer* renderer, int width, int height, std::string* error) {
    if (!SDL_RenderTargetSupported(renderer)) {
        *error = "this graphics driver cannot draw into images";
        return nullptr;
    }
    SDL_Texture* texture =
        SDL_CreateTexture(renderer, TARGET_FORMAT, SDL_TEXTUREACCESS_TARGET, width, height);
    if (texture == nullptr) {
        *error = std::string("the graphics driver cannot hold it (") + SDL_GetError() + ")";
        return nullptr;
    }
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    return texture;
}

// Fills what the renderer draws into now, leaving its draw colour as it was.
void fillTarget(SDL_Renderer* renderer, Uint8 r, Uint8 g, Uint8 b, Uint8 a) {
    Uint8 old[4] = {0, 0, 0, 0};
    SDL_GetRenderDrawColor(renderer, &old[0], &old[1], &old[2], &old[3]);
    SDL_SetRenderDrawColor(renderer, r, g, b, a);
    SDL_RenderClear(renderer);
    SDL_SetRenderDrawColor(renderer, old[0], old[1], old[2], old[3]);
}

// Copies source over the whole of what the renderer draws into now, pixel
// for pixel, alpha included (no blending).
void copyOver(SDL_Renderer* renderer, SDL_Texture* source) {
    SDL_BlendMode blend = SDL_BLENDMODE_NONE;
    Uint8 alpha = 255;
    SDL_GetTextureBlendMode(source, &blend);
    SDL_GetTextureAlphaMod(source, &alpha);
    SDL_SetTextureBlendMode(source, SDL_BLENDMODE_NONE);
    SDL_SetTextureAlphaMod(source, 255);
    SDL_RenderCopy(renderer, source, nullptr, nullptr);
    SDL_SetTextureBlendMode(source, blend);
    SDL_SetTextureAlphaMod(source, alpha);
}

} // namespace

namespace vantrel {
namespace detail {

bool rendererLosesTargets(SDL_Renderer* renderer) {
    if (copiesAlways) {
        return true;
    }
    SDL_RendererInfo info;
    return SDL_GetRendererInfo(renderer, &info) == 0 && info.name != nullptr &&
           SDL_strncmp(info.name, "direct3d", 8) == 0;
}

void keepImageCopies(bool always) { copiesAlways = always; }

SDL_Surface* readTarget(SDL_Renderer* renderer, std::string* error) {
    int width = 0;
    int height = 0;
    SDL_Texture* target = SDL_GetRenderTarget(renderer);
    if (target != nullptr ? SDL_QueryTexture(target, nullptr, nullptr, &width, &height) != 0
                          : SDL_GetRendererOutputSize(renderer, &width, &height) != 0) {
        *error = std::string("cannot read its size: ") + SDL_GetError();
        return nullptr;
    }
    SDL_Surface* pixels =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
    if (pixels == nullptr) {
        *error = std::string("out of memory for its pixels: ") + SDL_GetError();
        return nullptr;
    }
    const SDL_Rect whole = {0, 0, width, height};
    if (SDL_RenderReadPixels(renderer, &whole, SDL_PIXELFORMAT_RGBA32, pixels->pixels,
                             pixels->pitch) != 0) {
        *error = std::string("cannot read its pixels back: ") + SDL_GetError();
        SDL_FreeSurface(pixels);
        return nullptr;
    }
    return pixels;
}

} // namespace detail
} // namespace vantrel

namespace {

// Points the renderer at the texture to draw into (nullptr: the window).
bool pointRendererAt(SDL_Renderer* renderer, SDL_Texture* texture) {
    return SDL_SetRenderTarget(renderer, texture) == 0;
}

// What drawing goes into now: the image drawn into, or nullptr for the window.
SDL_Texture* targetNow(const State& state) {
    const ImageId id = state.drawingInto;
    return id == 0 ? nullptr : state.images[static_cast<std::size_t>(id) - 1].texture;
}

// Keeps a copy of what the image holds, where the renderer can lose it.
void keepCopy(SDL_Renderer* renderer, Image& image) {
    if (!vantrel::detail::rendererLosesTargets(renderer)) {
        return;
    }
    SDL_Texture* current = SDL_GetRenderTarget(renderer);
    std::string reason;
    SDL_Surface* copy = nullptr;
    if (pointRendererAt(renderer, image.texture)) {
        copy = vantrel::detail::readTarget(renderer, &reason);
    }
    pointRendererAt(renderer, current);
    if (copy != nullptr) {
        SDL_FreeSurface(image.kept);
        image.kept = copy;
    }
}

} // namespace

// ---- Making images to draw into -----------------------------------------------

ImageId Canvas::createImage(int width, int height) {
    const std::string refused = "Couldn't create a " + sizeText(width, height) + " image: ";
    if (width < 1 || height < 1) {
        state->imageError = refused + "an image needs a width and a height of at least 1 pixel";
        return -1;
    }
    if (width > MAX_IMAGE_SIZE || height > MAX_IMAGE_SIZE) {
        state->imageError = refused + "an image may be at most " + std::to_string(MAX_IMAGE_SIZE) +
                            " pixels wide and " + std::to_string(MAX_IMAGE_SIZE) + " high";
        return -1;
    }
    if (renderer == nullptr) {
        state->imageError = refused + "images to draw into can be made only after initWorld";
        return -1;
    }
    std::string reason;
    SDL_Texture* texture = makeTarget(renderer, width, height, &reason);
    if (texture == nullptr || !pointRendererAt(renderer, texture)) {
        state->imageError = refused + (texture == nullptr ? reason : SDL_GetError());
        SDL_DestroyTexture(texture);
        return -1;
    }
    fillTarget(renderer, 0, 0, 0, 0);
    pointRendererAt(renderer, targetNow(*state));
    state->images.push_back(Image{texture, nullptr, width, height, 255, true, nullptr});
    state->imageError.clear();
    if (!state->watchingTargets) {
        SDL_AddEventWatch(watchTargets, this);
        state->watchingTargets = true;
    }
    return static_cast<ImageId>(state->images.size());
}

// Turns a loaded image into one that can be drawn into: the same pixels in
// a texture with target access, which takes the old texture's place.
bool Canvas::makeDrawable(ImageId id) {
    if (imageFor(id).drawable) {
        return true;
    }
    SDL_Texture* loaded = textureFor(id);
    Image& image = state->images[static_cast<std::size_t>(id) - 1];
    std::string reason;
    SDL_Texture* texture = nullptr;
    if (loaded == nullptr) {
        reason = std::string("the graphics driver cannot hold it (") + SDL_GetError() + ")";
    } else {
        texture = makeTarget(renderer, image.width, image.height, &reason);
    }
    if (texture == nullptr || !pointRendererAt(renderer, texture)) {
        state->imageError = "Couldn't draw into image " + std::to_string(id) + ": " +
                            (texture == nullptr ? reason : SDL_GetError());
        SDL_DestroyTexture(texture);
        return false;
    }
    copyOver(renderer, loaded);
    pointRendererAt(renderer, targetNow(*state));
    SDL_DestroyTexture(loaded);
    image.texture = texture;
    image.drawable = true;
    SDL_SetTextureAlphaMod(texture, image.alpha);
    keepCopy(renderer, image); // the loaded picture, should the driver lose it
    if (!state->watchingTargets) {
        SDL_AddEventWatch(watchTargets, this);
        state->watchingTargets = true;
    }
    return true;
}

// ---- Choosing where drawing goes ------------------------------------------------

bool Canvas::drawInto(ImageId id) {
    imageFor(id);
    if (renderer == nullptr) {
        state->imageError = "Couldn't draw into image " + std::to_string(id) +
                            ": there is nothing to draw with before initWorld";
        return false;
    }
    restoreLostImages();
    if (id == state->drawingInto) {
        state->imageError.clear();
        return true;
    }
    if (!makeDrawable(id)) {
        return false;
    }
    Image& image = state->images[static_cast<std::size_t>(id) - 1];
    if (state->drawingInto != 0) {
        keepCopy(renderer, state->images[static_cast<std::size_t>(state->drawingInto) - 1]);
    }
    if (!pointRendererAt(renderer, image.texture)) {
        state->imageError =
            "Couldn't draw into image " + std::to_string(id) + ": " + std::string(SDL_GetError());
        drawIntoWindow();
        return false;
    }
    state->drawingInto = id;
    state->view = Offset{0, 0};
    state->imageError.clear();
    return true;
}

void Canvas::drawIntoWindow() {
    if (state->drawingInto == 0) {
        return;
    }
    restoreLostImages();
    keepCopy(renderer, state->images[static_cast<std::size_t>(state->drawingInto) - 1]);
    pointRendererAt(renderer, nullptr);
    state->drawingInto = 0;
    state->view = state->camera;
    if (state->input.mouseZoom != state->zoom) {
        applyZoom(state->zoom); // changed while drawing into the image
    }
}

// ---- Clearing and saving ------------------------------------------------------------

void Canvas::clearImage(ImageId image) { fillImage(image, 0, 0, 0, 0); }

void Canvas::clearImage(ImageId image, const Color& color) {
    fillImage(image, color.getRed(), color.getGreen(), color.getBlue(), color.getAlpha());
}

void Canvas::clearImage(ImageId image, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                        std::uint8_t a) {
    fillImage(image, r, g, b, a);
}

void Canvas::fillImage(ImageId id, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    imageFor(id);
    if (renderer == nullptr) {
        return;
    }
    restoreLostImages();
    if (!makeDrawable(id)) {
        return;
    }
    Image& image = state->images[static_cast<std::size_t>(id) - 1];
    if (id == state->drawingInto) {
        fillTarget(renderer, r, g, b, a);
        return;
    }
    if (pointRendererAt(renderer, image.texture)) {
        fillTarget(renderer, r, g, b, a);
        keepCopy(renderer, image);
    }
    pointRendererAt(renderer, targetNow(*state));
}

bool Canvas::saveImage(ImageId id, const std::string& path) {
    imageFor(id);
    const std::string refused =
        "Couldn't save image " + std::to_string(id) + " to \"" + path + "\": ";
    if (renderer == nullptr) {
        state->imageError = refused + "there is nothing to save before initWorld";
        return false;
    }
    restoreLostImages();
    if (!makeDrawable(id)) {
        state->imageError = refused + state->imageError;
        return false;
    }
    std::string reason;
    SDL_Surface* pixels = nullptr;
    if (pointRendererAt(renderer, state->images[static_cast<std::size_t>(id) - 1].texture)) {
        pixels = vantrel::detail::readTarget(renderer, &reason);
    } else {
        reason = SDL_GetError();
    }
    pointRendererAt(renderer, targetNow(*state));
    if (pixels == nullptr) {
        state->imageError = refused + reason;
        return false;
    }
    // Whole or not at all: an earlier file at path stays if this one fails.
    const bool saved = vantrel::detail::savePng(pixels, path, &reason);
    SDL_FreeSurface(pixels);
    if (!saved) {
        state->imageError = refused + reason;
        return false;
    }
    state->imageError.clear();
    return true;
}

// ---- When the graphics driver loses them ----------------------------------------------
// Direct3D's device can be reset (the screen mode changes, the screen is
// locked, the driver restarts). SDL then announces that every render target
// lost its pixels (SDL_RENDER_TARGETS_RESET), or that every texture is gone
// (SDL_RENDER_DEVICE_RESET). On such renderers each image keeps a copy of
// what it held when drawing into it last ended, and the next image call puts
// it back; an image with no copy comes back transparent.

int SDLCALL Canvas::watchTargets(void* canvas, SDL_Event* event) {
    Canvas& self = *static_cast<Canvas*>(canvas);
    if (event->type == SDL_RENDER_TARGETS_RESET) {
        self.state->targetsLost = true;
    } else if (event->type == SDL_RENDER_DEVICE_RESET) {
        self.state->targetsLost = true;
        self.state->texturesLost = true;
    }
    return 0;
}

void Canvas::restoreLostImages() {
    if (!state->targetsLost || renderer == nullptr) {
        return;
    }
    const bool recreate = state->texturesLost;
    state->targetsLost = false;
    state->texturesLost = false;
    for (Image& image : state->images) {
        if (!image.drawable) {
            continue;
        }
        if (recreate) {
            std::string reason;
            SDL_DestroyTexture(image.texture);
            image.texture = makeTarget(renderer, image.width, image.height, &reason);
            if (image.texture == nullptr) {
                continue; // draws nothing from now on
            }
            SDL_SetTextureAlphaMod(image.texture, image.alpha);
        }
        if (!pointRendererAt(renderer, image.texture)) {
            continue;
        }
        SDL_Texture* copy =
            image.kept != nullptr ? SDL_CreateTextureFromSurface(renderer, image.kept) : nullptr;
        if (copy != nullptr) {
            copyOver(renderer, copy);
            SDL_DestroyTexture(copy);
        } else {
            fillTarget(renderer, 0, 0, 0, 0);
        }
    }
    pointRendererAt(renderer, targetNow(*state));
}
