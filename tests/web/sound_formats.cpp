// Plays the OGG, MP3 and FLAC tones of tests/sounds/ as music, one after the
// other, then as effects all at once, and reports each step on standard
// output, so the browser tests can see (and hear) every format decoded.
#include "canvas/canvas.h"

#include <iostream>
#include <string>

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 160, 120, "sound formats");
    const char* const files[] = {"tone.ogg", "tone.mp3", "tone.flac"};
    SoundId effects[3];
    for (int i = 0; i < 3; ++i) {
        effects[i] = canvas.loadSound(files[i]);
        std::cout << "effect " << files[i] << ": "
                  << (effects[i] == -1 ? canvas.getSoundError() : "loaded") << std::endl;
    }
    int playing = -1; // the music playing, by its index in files
    int frames = 0;   // frames it has been heard for
    int next = 0;
    SDL_Event event;
    canvas.start();
    while (canvas.isRunning()) {
        if (playing >= 0 && canvas.isMusicPlaying()) {
            ++frames;
        } else if (playing >= 0) {
            std::cout << "music " << files[playing] << ": ended after " << frames << " frames"
                      << std::endl;
            playing = -1;
        } else if (next < 3) {
            const bool started = canvas.playMusic(files[next], false);
            std::cout << "music " << files[next] << ": "
                      << (started ? "playing" : canvas.getSoundError()) << std::endl;
            playing = started ? next : -1;
            frames = 0;
            ++next;
        } else if (next == 3) {
            for (SoundId effect : effects) {
                if (effect != -1) {
                    canvas.playEffect(effect);
                }
            }
            std::cout << "effects: playing" << std::endl;
            ++next;
        }
        canvas.clear();
        while (canvas.pollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                canvas.quit();
            }
        }
        canvas.update();
    }
    return 0;
}
