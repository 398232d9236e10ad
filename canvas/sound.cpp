// The sound slot: one sample at a time, played on the first free channel.

#include "canvas/canvas.h"

#include "canvas/assets.h"
#include "canvas/failure.h"

bool Canvas::hasSound() { return sound != nullptr; }

void Canvas::playSound(const std::string& path, bool loop) {
    if (hasSound()) {
        stopSound();
    }
    // A relative path not found in the working directory is looked for
    // beside the program too; the message then names every place looked.
    const vantrel::detail::AssetPath file = vantrel::detail::findAsset(path);
    if (!file.found) {
        vantrel::detail::fail(std::string("Unable to open audio with error") +
                              vantrel::detail::notFoundMessage(path, file));
    }
    // The reason reported must be this file's, not an earlier call's.
    SDL_ClearError();
    SDL_RWops* stream = SDL_RWFromFile(file.path.c_str(), "rb");
    // The loader takes the stream over and closes it. When the file cannot
    // even be opened, the loader is not asked: it would replace the reason
    // ("Couldn't open ...") with a complaint about a missing stream.
    if (stream != nullptr) {
        sound = Mix_LoadWAV_RW(stream, 1);
    }
    if (sound == nullptr) {
        std::string reason = SDL_GetError();
        // Some decoders refuse a file without saying why.
        if (reason.empty()) {
            reason = "Couldn't decode " + file.path +
                     ": not a sound format this system can play (WAV always works)";
        }
        vantrel::detail::fail(std::string("Unable to open audio with error") + reason);
    }
    Mix_VolumeChunk(sound, MIX_MAX_VOLUME);
    Mix_PlayChannelTimed(-1, sound, loop ? -1 : 0, -1);
}

void Canvas::pauseSound(bool pause) {
    if (!hasSound()) {
        return;
    }
    if (pause) {
        Mix_Pause(-1);
    } else {
        Mix_Resume(-1);
    }
}

void Canvas::stopSound() {
    Mix_HaltChannel(-1);
    Mix_FreeChunk(sound);
    sound = nullptr;
}
