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
#include "canvas/targets.h"

#include <stdexcept>

namespace {

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

// ---- Making images to draw into -----------------------------------------------

ImageId Canvas::createImage(int width, int height) {
    const std::string refused = "Couldn't create a " + sizeText(width, height) + " image: ";
    if (width < 1 || height < 1) {
        imageError = refused + "an image needs a width and a height of at least 1 pixel";
        return -1;
    }
    if (width > MAX_IMAGE_SIZE || height > MAX_IMAGE_SIZE) {
        imageError = refused + "an image may be at most " + std::to_string(MAX_IMAGE_SIZE) +
                     " pixels wide and " + std::to_string(MAX_IMAGE_SIZE) + " high";
        return -1;
    }
    if (renderer == nullptr) {
        imageError = refused + "images to draw into can be made only after initWorld";
        return -1;
    }
    std::string reason;
    SDL_Texture* texture = makeTarget(renderer, width, height, &reason);
    if (texture == nullptr || !pointRendererAt(texture)) {
        imageError = refused + (texture == nullptr ? reason : SDL_GetError());
        SDL_DestroyTexture(texture);
        return -1;
    }
    fillTarget(renderer, 0, 0, 0, 0);
    pointRendererAt(targetNow());
    images.push_back(Image{texture, nullptr, width, height, 255, true, nullptr});
    imageError.clear();
    if (!watchingTargets) {
        SDL_AddEventWatch(watchTargets, this);
        watchingTargets = true;
    }
    return static_cast<ImageId>(images.size());
}

// Turns a loaded image into one that can be drawn into: the same pixels in
// a texture with target access, which takes the old texture's place.
bool Canvas::makeDrawable(ImageId id) {
    if (imageFor(id).drawable) {
        return true;
    }
    SDL_Texture* loaded = textureFor(id);
    Image& image = images[static_cast<std::size_t>(id) - 1];
    std::string reason;
    SDL_Texture* texture = nullptr;
    if (loaded == nullptr) {
        reason = std::string("the graphics driver cannot hold it (") + SDL_GetError() + ")";
    } else {
        texture = makeTarget(renderer, image.width, image.height, &reason);
    }
    if (texture == nullptr || !pointRendererAt(texture)) {
        imageError = "Couldn't draw into image " + std::to_string(id) + ": " +
                     (texture == nullptr ? reason : SDL_GetError());
        SDL_DestroyTexture(texture);
        return false;
    }
    copyOver(renderer, loaded);
    pointRendererAt(targetNow());
    SDL_DestroyTexture(loaded);
    image.texture = texture;
    image.drawable = true;
    SDL_SetTextureAlphaMod(texture, image.alpha);
    keepCopy(image); // the loaded picture, should the driver lose it
    if (!watchingTargets) {
        SDL_AddEventWatch(watchTargets, this);
        watchingTargets = true;
    }
    return true;
}

bool Canvas::pointRendererAt(SDL_Texture* texture) {
    return SDL_SetRenderTarget(renderer, texture) == 0;
}

SDL_Texture* Canvas::targetNow() {
    return drawingInto == 0 ? nullptr : images[static_cast<std::size_t>(drawingInto) - 1].texture;
}

// ---- Choosing where drawing goes ------------------------------------------------

bool Canvas::drawInto(ImageId id) {
    imageFor(id);
    if (renderer == nullptr) {
        imageError = "Couldn't draw into image " + std::to_string(id) +
                     ": there is nothing to draw with before initWorld";
        return false;
    }
    restoreLostImages();
    if (id == drawingInto) {
        imageError.clear();
        return true;
    }
    if (!makeDrawable(id)) {
        return false;
    }
    Image& image = images[static_cast<std::size_t>(id) - 1];
    if (drawingInto != 0) {
        keepCopy(images[static_cast<std::size_t>(drawingInto) - 1]);
    }
    if (!pointRendererAt(image.texture)) {
        imageError =
            "Couldn't draw into image " + std::to_string(id) + ": " + std::string(SDL_GetError());
        drawIntoWindow();
        return false;
    }
    drawingInto = id;
    view = Offset{0, 0};
    imageError.clear();
    return true;
}

void Canvas::drawIntoWindow() {
    if (drawingInto == 0) {
        return;
    }
    restoreLostImages();
    keepCopy(images[static_cast<std::size_t>(drawingInto) - 1]);
    pointRendererAt(nullptr);
    drawingInto = 0;
    view = camera;
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
    Image& image = images[static_cast<std::size_t>(id) - 1];
    if (id == drawingInto) {
        fillTarget(renderer, r, g, b, a);
        return;
    }
    if (pointRendererAt(image.texture)) {
        fillTarget(renderer, r, g, b, a);
        keepCopy(image);
    }
    pointRendererAt(targetNow());
}

bool Canvas::saveImage(ImageId id, const std::string& path) {
    imageFor(id);
    const std::string refused =
        "Couldn't save image " + std::to_string(id) + " to \"" + path + "\": ";
    if (renderer == nullptr) {
        imageError = refused + "there is nothing to save before initWorld";
        return false;
    }
    restoreLostImages();
    if (!makeDrawable(id)) {
        imageError = refused + imageError;
        return false;
    }
    std::string reason;
    SDL_Surface* pixels = nullptr;
    if (pointRendererAt(images[static_cast<std::size_t>(id) - 1].texture)) {
        pixels = vantrel::detail::readTarget(renderer, &reason);
    } else {
        reason = SDL_GetError();
    }
    pointRendererAt(targetNow());
    if (pixels == nullptr) {
        imageError = refused + reason;
        return false;
    }
    // Whole or not at all: an earlier file at path stays if this one fails.
    const bool saved = vantrel::detail::savePng(pixels, path, &reason);
    SDL_FreeSurface(pixels);
    if (!saved) {
        imageError = refused + reason;
        return false;
    }
    imageError.clear();
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
        self.targetsLost = true;
    } else if (event->type == SDL_RENDER_DEVICE_RESET) {
        self.targetsLost = true;
        self.texturesLost = true;
    }
    return 0;
}

void Canvas::keepCopy(Image& image) {
    if (!vantrel::detail::rendererLosesTargets(renderer)) {
        return;
    }
    SDL_Texture* current = SDL_GetRenderTarget(renderer);
    std::string reason;
    SDL_Surface* copy = nullptr;
    if (pointRendererAt(image.texture)) {
        copy = vantrel::detail::readTarget(renderer, &reason);
    }
    pointRendererAt(current);
    if (copy != nullptr) {
        SDL_FreeSurface(image.kept);
        image.kept = copy;
    }
}

void Canvas::restoreLostImages() {
    if (!targetsLost || renderer == nullptr) {
        return;
    }
    const bool recreate = texturesLost;
    targetsLost = false;
    texturesLost = false;
    for (Image& image : images) {
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
        if (!pointRendererAt(image.texture)) {
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
    pointRendererAt(targetNow());
}
