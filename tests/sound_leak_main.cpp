// A short program for the leak check: it loads, replaces, stops and reloads
// samples, then returns from main with a sample still in the slot, so that
// the canvas's exit-time tear-down has to free it.
//
// Memcheck cannot see that tear-down fail: a sample the destructor forgets is
// still pointed to by the canvas, which lives until the process ends, so it
// counts as "still reachable" among the blocks SDL keeps for itself. The
// program therefore also keeps its own account: every block SDL allocates
// while playSound runs on this thread is recorded until it is freed, and
// after the canvas is gone any block left over fails the program.

#include "canvas/canvas.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <unordered_map>

#include "wav.h"

namespace {

std::mutex blocksLock;
// Addresses of the blocks allocated during playSound and not yet freed, with
// their sizes.
std::unordered_map<std::uintptr_t, std::size_t> sampleBlocks;
// False once the account is closed; later frees pass straight through.
bool accounting = true;
// Set by main around each playSound call; other threads never record.
thread_local bool recording = false;

std::uintptr_t address(void* block) { return reinterpret_cast<std::uintptr_t>(block); }

void record(std::uintptr_t block, std::size_t size) {
    std::lock_guard<std::mutex> guard(blocksLock);
    if (accounting && block != 0) {
        sampleBlocks[block] = size;
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
    auto found = sampleBlocks.find(block);
    if (!accounting || found == sampleBlocks.end()) {
        return false;
    }
    if (size != nullptr) {
        *size = found->second;
    }
    sampleBlocks.erase(found);
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
void checkSampleBlocks() {
    std::size_t count = 0;
    std::size_t bytes = 0;
    {
        std::lock_guard<std::mutex> guard(blocksLock);
        accounting = false;
        count = sampleBlocks.size();
        for (const auto& block : sampleBlocks) {
            bytes += block.second;
        }
    }
    if (count != 0) {
        std::fprintf(stderr, "%zu blocks (%zu bytes) loaded by playSound were never freed\n", count,
                     bytes);
        std::fflush(stderr);
        std::_Exit(1);
    }
}

void play(Canvas& canvas, const std::string& path, bool loop) {
    recording = true;
    canvas.playSound(path, loop);
    recording = false;
}

} // namespace

int main() {
    if (SDL_SetMemoryFunctions(countedMalloc, countedCalloc, countedRealloc, countedFree) != 0 ||
        std::atexit(checkSampleBlocks) != 0) {
        std::fprintf(stderr, "cannot set up the allocation account\n");
        return 1;
    }
    // SDL keeps one error buffer per thread for good; make it now, outside
    // the account.
    SDL_ClearError();

    const std::string dir = VANTREL_TEST_BINARY_DIR;
    const std::string first = dir + "/sound_leak_first.wav";
    const std::string second = dir + "/sound_leak_second.wav";
    if (!writeWav(first, 200) || !writeWav(second, 300, 22050, Waveform::Square)) {
        std::fprintf(stderr, "cannot write the sample files in %s\n", dir.c_str());
        return 1;
    }

    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 64, 64);
    play(canvas, first, false);
    play(canvas, second, true); // replaces the first
    canvas.stopSound();
    play(canvas, first, true);
    SDL_Delay(50); // let the mixer take some of it
    if (!canvas.hasSound() || Mix_Playing(-1) != 1) {
        std::fprintf(stderr, "the last sample is not playing\n");
        return 1;
    }
    return 0;
}
