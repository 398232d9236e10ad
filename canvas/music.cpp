// Music: one file at a time, streamed from the disk as it plays, with its
// own volume.

#include "canvas/canvas.h"

#include "canvas/assets.h"
#include "canvas/sound_file.h"

#include <cmath>

bool Canvas::playMusic(const std::string& path, bool loop) {
    stopMusic();
    // Found as every other file is: the working directory, then beside the
    // program.
    const vantrel::detail::AssetPath file = vantrel::detail::findAsset(path);
    if (!file.found) {
        soundError = vantrel::detail::notFoundMessage(path, file);
        return false;
    }
    if (!effectsOpen) {
        soundError =
            "Couldn't play " + path + ": music can start only after initWorld has opened the audio";
        return false;
    }
    SDL_ClearError();
    SDL_RWops* stream = SDL_RWFromFile(file.path.c_str(), "rb");
    if (stream == nullptr) {
        soundError = "Couldn't play " + path + ": the file cannot be opened (" +
                     std::string(SDL_GetError()) + ")";
        return false;
    }
    std::string reason;
    Mix_Music* opened = vantrel::detail::openMusic(stream, &reason);
    if (opened == nullptr) {
        soundError = "Couldn't play " + path + ": " + reason;
        return false;
    }
    SDL_ClearError();
    Mix_VolumeMusic(static_cast<int>(std::lround(MIX_MAX_VOLUME * musicVolume)));
    // -1 repeats until stopped; 1 plays it through once.
    if (Mix_PlayMusic(opened, loop ? -1 : 1) != 0) {
        std::string why = Mix_GetError();
        soundError = "Couldn't play " + path + ": its sound cannot be decoded" +
                     (why.empty() ? std::string() : " (" + why + ")");
        Mix_FreeMusic(opened);
        return false;
    }
    music = opened;
    soundError.clear();
    return true;
}

void Canvas::pauseMusic(bool pause) {
    if (music == nullptr) {
        return;
    }
    if (pause) {
        Mix_PauseMusic();
    } else {
        Mix_ResumeMusic();
    }
}

void Canvas::stopMusic() {
    if (music == nullptr) {
        return;
    }
    Mix_HaltMusic();
    Mix_FreeMusic(music);
    music = nullptr;
}

bool Canvas::isMusicPlaying() {
    return music != nullptr && Mix_PlayingMusic() == 1 && Mix_PausedMusic() == 0;
}

void Canvas::setMusicVolume(double volume) {
    musicVolume = volume > 0.0 ? (volume < 1.0 ? volume : 1.0) : 0.0;
    if (effectsOpen) {
        Mix_VolumeMusic(static_cast<int>(std::lround(MIX_MAX_VOLUME * musicVolume)));
    }
}
