// A short program for the leak check of images: it loads images before and
// after set-up, fails to load a damaged one, draws some (which makes their
// textures) and leaves one never drawn, then returns from main, so that the
// canvas's exit-time tear-down has to free them all.
//
// Memcheck alone cannot see that tear-down fail: an image the destructor
// forgets is still pointed to by the canvas, which lives until the process
// ends, so it counts as "still reachable". The program therefore keeps its
// own account: every block SDL allocates while an image call runs on this
// thread is recorded until it is freed, and after the canvas is gone any
// block left over fails the program.

#include "canvas/canvas.h"

#include <SDL_image.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <unordered_map>

namespace {

std::mutex blocksLock;
// Addresses of the blocks allocated while an image was loaded or first
// drawn and not yet freed, with their sizes.
std::unordered_map<std::uintptr_t, std::size_t> imageBlocks;
// False once the account is closed; later frees pass straight through.
bool accounting = true;
// Set by main around each image call; other threads never record.
thread_local bool recording = false;

std::uintptr_t address(void* block) { return reinterpret_cast<std::uintptr_t>(block); }

void record(std::uintptr_t block, std::size_t size) {
    std::lock_guard<std::mutex> guard(blocksLock);
    if (accounting && block != 0) {
        imageBlocks[block] = size;
    }
}

void note(void* block, std::size_t size) {
    if (recording) {
        record(address(block), size);
    }
}

// Takes a freed or moving block out of the account; says whether it was in,
// and with what size.
bool forget(std::uintptr_t block, std::size_t* size = nullptr) {
    std::lock_guard<std::mutex> guard(blocksLock);
    auto found = imageBlocks.find(block);
    if (!accounting || found == imageBlocks.end()) {
        return false;
    }
    if (size != nullptr) {
        *size = found->second;
    }
    imageBlocks.erase(found);
    return true;
}

void* SDLCALL countedMalloc(std::size_t size) {
    void* block = std::malloc(size);
    note(block, size);
    return block;
}

void* SDLCALL countedCalloc(std::size_t count, std::size_t size) {
    void* block = std::calloc(count, size);
    note(block, count * size);
    return block;
}

void* SDLCALL countedRealloc(void* old, std::size_t size) {
    // The old block leaves the account before it moves; a recorded block is
    // recorded again where it ends up (back in place if realloc fails).
    const std::uintptr_t oldAddress = address(old);
    std::size_t oldSize = 0;
    const bool wasRecorded = oldAddress != 0 && forget(oldAddress, &oldSize);
    void* block = std::realloc(old, size);
    if (block == nullptr && size != 0) {
        if (wasRecorded) {
            record(oldAddress, oldSize);
        }
        return nullptr;
    }
    if (wasRecorded || recording) {
        record(address(block), size);
    }
    return block;
}

void SDLCALL countedFree(void* block) {
    if (block != nullptr) {
        forget(address(block));
    }
    std::free(block);
}

// Registered before the canvas exists, so it runs after the canvas's
// destructor.
void checkImageBlocks() {
    std::size_t count = 0;
    std::size_t bytes = 0;
    {
        std::lock_guard<std::mutex> guard(blocksLock);
        accounting = false;
        count = imageBlocks.size();
        for (const auto& block : imageBlocks) {
            bytes += block.second;
        }
    }
    if (count != 0) {
        std::fprintf(
            stderr,
            "%zu blocks (%zu bytes) made while loading or drawing images outlived the canvas\n",
            count, bytes);
        std::fflush(stderr);
        std::_Exit(1);
    }
}

// Runs one image call inside the account.
template <typename Call> auto recorded(Call call) {
    recording = true;
    auto result = call();
    recording = false;
    return result;
}

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

int main() {
    if (SDL_SetMemoryFunctions(countedMalloc, countedCalloc, countedRealloc, countedFree) != 0 ||
        std::atexit(checkImageBlocks) != 0) {
        std::fprintf(stderr, "cannot set up the allocation account\n");
        return 1;
    }
    // SDL keeps one error buffer per thread for good; make it now, outside
    // the account.
    SDL_ClearError();

    const std::string dir = VANTREL_TEST_BINARY_DIR;
    const std::string good = dir + "/images_leak.png";
    const std::string damaged = dir + "/images_leak_damaged.png";
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
    const ImageId waiting = recorded([&] { return canvas.loadImage(good); });
    const ImageId drawnLater = recorded([&] { return canvas.loadImage(good); });
    canvas.initWorld(0, 0, 64, 64);
    const ImageId afterSetUp = recorded([&] { return canvas.loadImage(good); });
    const ImageId failed = recorded([&] { return canvas.loadImage(damaged); });
    if (waiting != 1 || drawnLater != 2 || afterSetUp != 3 || failed != -1) {
        std::fprintf(stderr, "unexpected ids %d %d %d %d: %s\n", waiting, drawnLater, afterSetUp,
                     failed, canvas.getImageError().c_str());
        return 1;
    }
    canvas.clear();
    recorded([&] {
        canvas.drawImage(drawnLater, 0, 0, 2.0, 30.0, FLIP_HORIZONTAL);
        canvas.drawImage(afterSetUp, 10, 10);
        return 0;
    });
    canvas.update();
    return 0;
}
