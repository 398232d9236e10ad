// A short program for the leak check of effects and music: sounds loaded
// before and after set-up (one of them damaged), effects playing and music
// replaced, then a return from main with effects and music still playing, so
// that the canvas's exit-time tear-down has to free them all.
//
// A sound the tear-down forgot would be lost with the canvas's list (memcheck
// sees that); music it forgot would still be reachable through the mixer, so
// the program also keeps its own account of what loadSound and playMusic
// allocate (block_account.h).

#include "canvas/canvas.h"

#include <cstdio>
#include <string>
#include <vector>

#include "block_account.h"
#include "wav.h"

int main(int, char*[]) {
    if (!openBlockAccount("loadSound and playMusic")) {
        return 1;
    }

    const std::string tone = leakCheckFile("effects_leak_tone.wav");
    const std::string music = leakCheckFile("effects_leak_music.wav");
    const std::string damaged = leakCheckFile("effects_leak_damaged.ogg");
    std::vector<char> ogg = {'O', 'g', 'g', 'S'};
    ogg.resize(400, '\x01');
    if (!writeWav(tone, 300) || !writeWav(music, 500, 22050, Waveform::Square) ||
        !writeBytes(damaged, ogg)) {
        std::fprintf(stderr, "cannot write the sound files in %s\n", VANTREL_TEST_BINARY_DIR);
        return 1;
    }
    const std::string ogg_music = leakCheckFile("sounds/tone.ogg");

    Canvas& canvas = Canvas::getInstance();
    const SoundId early = accounted([&] { return canvas.loadSound(tone); });
    canvas.initWorld(0, 0, 64, 64);
    const SoundId late = accounted([&] { return canvas.loadSound(ogg_music); });
    const SoundId refused = accounted([&] { return canvas.loadSound(damaged); });
    if (early != 1 || late != 2 || refused != -1) {
        std::fprintf(stderr, "unexpected ids %d %d %d: %s\n", early, late, refused,
                     canvas.getSoundError().c_str());
        return 1;
    }
    accounted([&] { return canvas.playMusic(ogg_music, true); });
    accounted([&] { return canvas.playMusic(music, true); });   // replaces the OGG
    accounted([&] { return canvas.playMusic(damaged, true); }); // refused, stops it
    accounted([&] { return canvas.playMusic(ogg_music, true); });
    for (int i = 0; i < MAX_EFFECTS_AT_ONCE + 2; ++i) {
        canvas.playEffect(i % 2 == 0 ? early : late);
    }
    SDL_Delay(50); // let the mixer take some of it
    if (!canvas.isMusicPlaying() || Mix_Playing(-1) != MAX_EFFECTS_AT_ONCE) {
        std::fprintf(stderr, "the music and the effects are not playing\n");
        return 1;
    }
    return 0;
}
