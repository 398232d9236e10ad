// Sound effects: sounds loaded once and played on channels of their own,
// several at once, each at its own volume times the effects volume.

#include "canvas/canvas.h"

#include "canvas/assets.h"
#include "canvas/failure.h"
#include "canvas/sound_file.h"
#include "canvas/state.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <utility>

namespace {

using vantrel::detail::Effect;
using vantrel::detail::State;

// The mixer's usual channels come first, as before effects existed: the
// slot's "first free channel" is channel 0 unless a program plays on them
// itself. The effect channels follow them, as a group of their own.
constexpr int FIRST_EFFECT_CHANNEL = MIX_CHANNELS;
constexpr int EFFECT_GROUP = 1;

// A fraction from 0 to 1; below (or not a number) is 0, above is 1.
double fraction(double value) {
    if (!(value > 0.0)) {
        return 0.0;
    }
    return value < 1.0 ? value : 1.0;
}

} // namespace

SoundId Canvas::loadSound(const std::string& path) {
    // A relative path not found in the working directory is looked for
    // beside the program too; the message then names every place looked.
    const vantrel::detail::AssetPath file = vantrel::detail::findAsset(path);
    if (!file.found) {
        state->soundError = state->effectLoadError = vantrel::detail::notFoundMessage(path, file);
        return -1;
    }
    Effect effect = {nullptr, {}, path};
    std::string reason;
    bool loaded = vantrel::detail::readSoundFile(file.path, &effect.pending, &reason);
    if (loaded && state->effectsOpen) {
        effect.chunk = vantrel::detail::decodeEffect(effect.pending, &reason);
        loaded = effect.chunk != nullptr;
        std::vector<std::uint8_t>().swap(effect.pending);
    } else if (loaded) {
        // Before initWorld there is no mixer to decode for: what can be
        // checked is checked now, and the file is decoded when it opens.
        loaded = vantrel::detail::checkSoundFile(effect.pending, &reason);
    }
    if (!loaded) {
        state->soundError = state->effectLoadError = "Couldn't load " + path + ": " + reason;
        return -1;
    }
    state->effects.push_back(std::move(effect));
    state->soundError.clear();
    return static_cast<SoundId>(state->effects.size());
}

std::string Canvas::getSoundError() { return state->soundError; }

namespace {

// The loaded sound the id names; an id that names none throws.
const Effect& effectFor(const State& state, SoundId sound) {
    if (sound < 1 || static_cast<std::size_t>(sound) > state.effects.size()) {
        std::string message =
            "Sound id " + std::to_string(sound) +
            " names no loaded sound (loaded sounds: " + std::to_string(state.effects.size()) + ").";
        if (sound == -1) {
            message += " An id of -1 means loadSound failed";
            message += state.effectLoadError.empty()
                           ? "."
                           : "; the last failure: " + state.effectLoadError;
        }
        vantrel::detail::failWith(std::out_of_range(message));
    }
    return state.effects[static_cast<std::size_t>(sound) - 1];
}

int effectChannelVolume(const State& state, double volume) {
    return static_cast<int>(std::lround(MIX_MAX_VOLUME * state.effectsVolume * volume));
}

} // namespace

void Canvas::playEffect(SoundId sound) { playEffect(sound, 1.0); }

void Canvas::playEffect(SoundId sound, double volume) {
    const Effect& effect = effectFor(*state, sound);
    if (!state->effectsOpen || effect.chunk == nullptr) {
        return;
    }
    int channel = Mix_GroupAvailable(EFFECT_GROUP);
    if (channel == -1) {
        // Every effect channel is busy: the oldest effect makes room.
        channel = Mix_GroupOldest(EFFECT_GROUP);
    }
    const int index = channel - FIRST_EFFECT_CHANNEL;
    if (index < 0 || index >= MAX_EFFECTS_AT_ONCE) {
        return;
    }
    state->effectVolumes[index] = fraction(volume);
    Mix_Volume(channel, effectChannelVolume(*state, state->effectVolumes[index]));
    Mix_PlayChannel(channel, effect.chunk, 0);
}

void Canvas::stopEffects() {
    if (state->effectsOpen) {
        Mix_HaltGroup(EFFECT_GROUP);
    }
}

void Canvas::setEffectsVolume(double volume) {
    state->effectsVolume = fraction(volume);
    if (state->effectsOpen) {
        for (int index = 0; index < MAX_EFFECTS_AT_ONCE; ++index) {
            Mix_Volume(FIRST_EFFECT_CHANNEL + index,
                       effectChannelVolume(*state, state->effectVolumes[index]));
        }
    }
}

void Canvas::openEffects() {
    Mix_AllocateChannels(FIRST_EFFECT_CHANNEL + MAX_EFFECTS_AT_ONCE);
    Mix_GroupChannels(FIRST_EFFECT_CHANNEL, FIRST_EFFECT_CHANNEL + MAX_EFFECTS_AT_ONCE - 1,
                      EFFECT_GROUP);
    Mix_VolumeMusic(static_cast<int>(std::lround(MIX_MAX_VOLUME * state->musicVolume)));
    state->effectsOpen = true;
    // Sounds loaded before initWorld are decoded now.
    for (std::size_t i = 0; i < state->effects.size(); ++i) {
        Effect& effect = state->effects[i];
        if (effect.chunk != nullptr || effect.pending.empty()) {
            continue;
        }
        std::string reason;
        effect.chunk = vantrel::detail::decodeEffect(effect.pending, &reason);
        std::vector<std::uint8_t>().swap(effect.pending);
        if (effect.chunk == nullptr) {
            state->soundError = state->effectLoadError =
                "Couldn't load " + effect.path + ": " + reason;
            std::fprintf(stderr, "Vantrel: sound %zu will not play. %s\n", i + 1,
                         state->soundError.c_str());
            std::fflush(stderr);
        }
    }
}

void Canvas::closeEffectsAndMusic() {
    stopMusic();
    if (state->effectsOpen) {
        Mix_HaltGroup(EFFECT_GROUP);
    }
    for (Effect& effect : state->effects) {
        Mix_FreeChunk(effect.chunk);
    }
    state->effects.clear();
    state->effectsOpen = false;
}
