// Music: one file at a time, streamed from the disk as it plays, with its
// own volume.

#include "canvas/canvas.h"

#include "canvas/assets.h"
#include "canvas/sound_file.h"
#include "canvas/state.h"

#include <cmath>

bool Canvas::playMusic(const std::string& path, bool loop) {
    stopMusic();
    // Found as every other file is: the working directory, then beside the
    // program.
    const vantrel::detail::AssetPath file = vantrel::detail::findAsset(path);
    if (!file.found) {
        state->soundError = vantrel::detail::notFoundMessage(path, file);
        return false;
    }
    if (!state->effectsOpen) {
        state->soundError =
            "Couldn't play " + path + ": music can start only after initWorld has opened the audio";
        return false;
    }
    SDL_ClearError();
    SDL_RWops* stream = SDL_RWFromFile(file.path.c_str(), "rb");
    if (stream == nullptr) {
        state->soundError = "Couldn't play " + path + ": the file cannot be opened (" +
                            std::string(SDL_GetError()) + ")";
        return false;
    }
    std::string reason;
    Mix_Music* opened = vantrel::detail::openMusic(stream, &reason);
    if (opened == nullptr) {
        state->soundError = "Couldn't play " + path + ": " + reason;
        return false;
    }
    SDL_ClearError();
    Mix_VolumeMusic(static_cast<int>(std::lround(MIX_MAX_VOLUME * state->musicVolume)));
    // -1 repeats until stopped; 1 plays it through once.
    if (Mix_PlayMusic(opened, loop ? -1 : 1) != 0) {
        std::string why = Mix_GetError();
        state->soundError = "Couldn't play " + path + ": its sound cannot be decoded" +
                            (why.empty() ? std::string() : " (" + why + ")");
        Mix_FreeMusic(opened);
        return false;
    }
    state->music = opened;
    state->soundError.clear();
    return true;
}

void Canvas::pauseMusic(bool pause) {
    if (state->music == nullptr) {
        return;
    }
    if (pause) {
        Mix_PauseMusic();
    } else {
        Mix_ResumeMusic();
    }
}

void Canvas::stopMusic() {
    if (state->music == nullptr) {
        return;
    }
    Mix_HaltMusic();
    Mix_FreeMusic(state->music);
    state->music = nullptr;
}

bool Canvas::isMusicPlaying() {
    return state->music != nullptr && Mix_PlayingMusic() == 1 && Mix_PausedMusic() == 0;
}

void Canvas::setMusicVolume(double volume) {
    state->musicVolume = volume > 0.0 ? (volume < 1.0 ? volume : 1.0) : 0.0;
    if (state->effectsOpen) {
        Mix_VolumeMusic(static_cast<int>(std::lround(MIX_MAX_VOLUME * state->musicVolume)));
    }
}
