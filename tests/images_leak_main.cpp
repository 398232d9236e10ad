// A short program for the leak check of images: it loads images before and
// after set-up, fails to load a damaged one, draws some (which makes their
// textures) and leaves one never drawn, then returns from main, so that the
// canvas's exit-time tear-down has to free them all.
//
// Memcheck alone cannot see that tear-down fail, so the program also keeps
// its own account of what the image calls allocate (block_account.h).

#include "canvas/canvas.h"

#include <SDL_image.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "block_account.h"

namespace {

// A 16 x 16 PNG with an alpha channel, written with SDL_image.
bool writePng(const std::string& path) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 16, 16, 32, SDL_PIXELFORMAT_RGBA32);
    if (surface == nullptr) {
        return false;
    }
    SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, 200, 40, 40, 128));
    const bool written = IMG_SavePNG(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return written;
}

} // namespace

int main(int, char*[]) {
    if (!openBlockAccount("loading or drawing images")) {
        return 1;
    }

    const std::string good = leakCheckFile("images_leak.png");
    const std::string damaged = leakCheckFile("images_leak_damaged.png");
    if (!writePng(good)) {
        std::fprintf(stderr, "cannot write %s: %s\n", good.c_str(), SDL_GetError());
        return 1;
    }
    {
        std::ifstream in(good, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(damaged, std::ios::binary) << bytes.substr(0, bytes.size() - 20);
    }

    Canvas& canvas = Canvas::getInstance();
    // Before set-up: decoded, waiting for a renderer. The first is never drawn.
    const ImageId waiting = accounted([&] { return canvas.loadImage(good); });
    const ImageId drawnLater = accounted([&] { return canvas.loadImage(good); });
    canvas.initWorld(0, 0, 64, 64);
    const ImageId afterSetUp = accounted([&] { return canvas.loadImage(good); });
    const ImageId failed = accounted([&] { return canvas.loadImage(damaged); });
    if (waiting != 1 || drawnLater != 2 || afterSetUp != 3 || failed != -1) {
        std::fprintf(stderr, "unexpected ids %d %d %d %d: %s\n", waiting, drawnLater, afterSetUp,
                     failed, canvas.getImageError().c_str());
        return 1;
    }
    canvas.clear();
    accounted([&] {
        canvas.drawImage(drawnLater, 0, 0, 2.0, 30.0, FLIP_HORIZONTAL);
        canvas.drawImage(afterSetUp, 10, 10);
        return 0;
    });
    canvas.update();
    return 0;
}
