// Sound effects: sounds loaded once and played on channels of their own,
// several at once, each at its own volume times the effects volume.

#include "canvas/canvas.h"

#include "canvas/assets.h"
#include "canvas/failure.h"
#include "canvas/sound_file.h"
#include "canvas/state.h"

#include <algorithm>
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

// The first effect channel free, else the one whose effect began longest ago.
int effectChannel() {
    const int channel = Mix_GroupAvailable(EFFECT_GROUP);
    return channel != -1 ? channel : Mix_GroupOldest(EFFECT_GROUP);
}

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
    // Every effect channel busy: the oldest effect makes room.
    const int channel = effectChannel();
    const int index = channel - FIRST_EFFECT_CHANNEL;
    if (index < 0 || index >= MAX_EFFECTS_AT_ONCE) {
        return;
    }
    state->effectVolumes[index] = fraction(volume);
    Mix_Volume(channel, effectChannelVolume(*state, state->effectVolumes[index]));
    Mix_PlayChannel(channel, effect.chunk, 0);
}

namespace {

// Frees the tones whose channel is done with them.
void releaseTones(State& state, bool all) {
    std::vector<vantrel::detail::Tone> kept;
    for (vantrel::detail::Tone& tone : state.tones) {
        if (!all && Mix_Playing(tone.channel) && Mix_GetChunk(tone.channel) == tone.chunk) {
            kept.push_back(std::move(tone));
        } else {
            Mix_FreeChunk(tone.chunk); // the samples are the tone's own
        }
    }
    state.tones.swap(kept);
}

constexpr double TONE_FADE_SECONDS = 0.005;
constexpr double PI = 3.14159265358979323846;

} // namespace

void Canvas::playTone(double frequency, double seconds, double volume) {
    if (!state->effectsOpen || !(seconds > 0) || std::isnan(frequency)) {
        return;
    }
    const double hz = std::min(std::max(frequency, 20.0), 20000.0);
    const double length = std::min(seconds, 10.0);
    if ((hz != frequency || length != seconds) && !state->toldToneClamped) {
        state->toldToneClamped = true;
        std::fprintf(stderr,
                     "Vantrel: playTone(%g, %g): a tone is 20-20,000 Hz and at most 10 s long; "
                     "played as %g Hz for %g s (said once)\n",
                     frequency, seconds, hz, length);
    }
    releaseTones(*state, false);
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    if (Mix_QuerySpec(&rate, &format, &channels) == 0) {
        return;
    }
    // Half of full scale, so that two tones together do not clip; the
    // first and last 5 ms rise from and fall to silence.
    const std::size_t count = static_cast<std::size_t>(std::lround(length * rate));
    const double fade = std::max(1.0, std::min(TONE_FADE_SECONDS * rate, count / 2.0));
    std::vector<Sint16> mono(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double edge = std::min(static_cast<double>(i), static_cast<double>(count - 1 - i));
        const double envelope = std::min(1.0, edge / fade);
        mono[i] =
            static_cast<Sint16>(std::lround(16383.0 * envelope * std::sin(2 * PI * hz * i / rate)));
    }
    SDL_AudioCVT convert;
    if (SDL_BuildAudioCVT(&convert, AUDIO_S16SYS, 1, rate, format, static_cast<Uint8>(channels),
                          rate) < 0) {
        return;
    }
    vantrel::detail::Tone tone = {nullptr, {}, -1};
    tone.samples.resize(count * sizeof(Sint16) * static_cast<std::size_t>(convert.len_mult));
    std::copy(reinterpret_cast<const std::uint8_t*>(mono.data()),
              reinterpret_cast<const std::uint8_t*>(mono.data() + count), tone.samples.begin());
    convert.buf = tone.samples.data();
    convert.len = static_cast<int>(count * sizeof(Sint16));
    if (convert.needed && SDL_ConvertAudio(&convert) != 0) {
        return;
    }
    tone.samples.resize(static_cast<std::size_t>(convert.needed ? convert.len_cvt : convert.len));
    tone.chunk = Mix_QuickLoad_RAW(tone.samples.data(), static_cast<Uint32>(tone.samples.size()));
    tone.channel = effectChannel();
    const int index = tone.channel - FIRST_EFFECT_CHANNEL;
    if (tone.chunk == nullptr || index < 0 || index >= MAX_EFFECTS_AT_ONCE) {
        Mix_FreeChunk(tone.chunk);
        return;
    }
    state->effectVolumes[index] = fraction(volume);
    Mix_Volume(tone.channel, effectChannelVolume(*state, state->effectVolumes[index]));
    Mix_PlayChannel(tone.channel, tone.chunk, 0);
    state->tones.push_back(std::move(tone));
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
    releaseTones(*state, true);
    state->effects.clear();
    state->effectsOpen = false;
}
