#ifndef VANTREL_TESTS_BLOCK_ACCOUNT_H
#define VANTREL_TESTS_BLOCK_ACCOUNT_H

// An account of the blocks SDL (and the libraries that allocate through it)
// hands out while chosen calls run, for the leak checks. Memcheck alone
// cannot see a resource the canvas's exit-time tear-down forgets: the canvas
// still points to it when the process ends, so it counts as "still
// reachable". With the account open, every block allocated inside
// accounted(...) on this thread is recorded until it is freed; after the
// canvas is gone, a block left over ends the program with status 1.
//
// One program includes this once, and calls openBlockAccount first thing in
// main, before the canvas exists.

#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <unordered_map>

namespace {

std::mutex blocksLock;
// Addresses of the blocks allocated inside the account and not yet freed,
// with their sizes.
std::unordered_map<std::uintptr_t, std::size_t> accountedBlocks;
// False once the account is closed; later frees pass straight through.
bool accounting = true;
// Set around each accounted call; other threads never record.
thread_local bool recording = false;

std::uintptr_t address(void* block) { return reinterpret_cast<std::uintptr_t>(block); }

void record(std::uintptr_t block, std::size_t size) {
    std::lock_guard<std::mutex> guard(blocksLock);
    if (accounting && block != 0) {
        accountedBlocks[block] = size;
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
    auto found = accountedBlocks.find(block);
    if (!accounting || found == accountedBlocks.end()) {
        return false;
    }
    if (size != nullptr) {
        *size = found->second;
    }
    accountedBlocks.erase(found);
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

// What the leftover blocks were made by, for the message.
const char* accountedWhat = "";

// Registered before the canvas exists, so it runs after the canvas's
// destructor.
void checkBlockAccount() {
    std::size_t count = 0;
    std::size_t bytes = 0;
    {
        std::lock_guard<std::mutex> guard(blocksLock);
        accounting = false;
        count = accountedBlocks.size();
        for (const auto& block : accountedBlocks) {
            bytes += block.second;
        }
    }
    if (count != 0) {
        std::fprintf(stderr, "%zu blocks (%zu bytes) made by %s outlived the canvas\n", count,
                     bytes, accountedWhat);
        std::fflush(stderr);
        std::_Exit(1);
    }
}

// Routes SDL's allocations through the account and checks it at exit; what
// names the accounted calls in the message. False when that cannot be done.
bool openBlockAccount(const char* what) {
    accountedWhat = what;
    if (SDL_SetMemoryFunctions(countedMalloc, countedCalloc, countedRealloc, countedFree) != 0 ||
        std::atexit(checkBlockAccount) != 0) {
        std::fprintf(stderr, "cannot set up the allocation account\n");
        return false;
    }
    // SDL keeps one error buffer per thread for good; make it now, outside
    // the account.
    SDL_ClearError();
    return true;
}

// A file the leak check writes or reads: NAME in the tests' build folder.
std::string leakCheckFile(const std::string& name) {
    return std::string(VANTREL_TEST_BINARY_DIR) + "/" + name;
}

// Runs call inside the account and returns what it returns.
template <typename Call> auto accounted(Call call) {
    recording = true;
    auto result = call();
    recording = false;
    return result;
}

} // namespace

#endif
