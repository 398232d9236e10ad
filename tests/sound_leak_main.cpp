// A short program for the leak check: it loads, replaces, stops and reloads
// samples, then returns from main with a sample still in the slot, so that
// the canvas's exit-time tear-down has to free it.
//
// Memcheck cannot see that tear-down fail, so the program also keeps its own
// account of what playSound allocates (block_account.h).

#include "canvas/canvas.h"

#include <cstdio>
#include <string>

#include "block_account.h"
#include "wav.h"

namespace {

void play(Canvas& canvas, const std::string& path, bool loop) {
    accounted([&] {
        canvas.playSound(path, loop);
        return 0;
    });
}

} // namespace

int main(int, char*[]) {
    if (!openBlockAccount("playSound")) {
        return 1;
    }

    const std::string first = leakCheckFile("sound_leak_first.wav");
    const std::string second = leakCheckFile("sound_leak_second.wav");
    if (!writeWav(first, 200) || !writeWav(second, 300, 22050, Waveform::Square)) {
        std::fprintf(stderr, "cannot write the sample files in %s\n", VANTREL_TEST_BINARY_DIR);
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
