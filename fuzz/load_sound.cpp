// Fuzz target: sound files from memory, as loadSound and playMusic take them:
// the format is told from the first bytes and a WAV header is checked, then
// the file is checked as before initWorld, decoded whole by SDL_mixer into a
// sample (an effect) and opened for streaming (music).
//
// Every input must give either a sample holding some sound and at most
// MAX_SOUND_SECONDS of it, or nullptr with a reason; and music, or nullptr
// with a reason; without a crash, a sanitizer report or an allocation beyond
// libFuzzer's limit (a header that claims hours of sound, or gigabytes of
// it, must be refused before decoding).

#include "canvas/canvas.h"
#include "canvas/sound_file.h"

#include <cstdint>
#include <string>
#include <vector>

#include "check.h"

namespace {

// Bytes a second of sound takes in the mixer's format.
double bytesPerSecond = 0;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The mixer as initWorld opens it (run with SDL_AUDIODRIVER=dummy).
    FUZZ_CHECK(Mix_OpenAudio(22050, AUDIO_S16LSB, 1, 1024) == 0);
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    FUZZ_CHECK(Mix_QuerySpec(&frequency, &format, &channels) == 1);
    bytesPerSecond = static_cast<double>(frequency) * channels * SDL_AUDIO_BITSIZE(format) / 8;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);

    std::string checkError;
    const bool checked = vantrel::detail::checkSoundFile(bytes, &checkError);
    FUZZ_CHECK(checked || !checkError.empty());

    std::string error;
    Mix_Chunk* chunk = vantrel::detail::decodeEffect(bytes, &error);
    if (chunk == nullptr) {
        FUZZ_CHECK(!error.empty());
    } else {
        FUZZ_CHECK(chunk->alen > 0);
        FUZZ_CHECK(chunk->alen <= MAX_SOUND_SECONDS * bytesPerSecond);
        Mix_FreeChunk(chunk);
    }

    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    FUZZ_CHECK(stream != nullptr || size == 0);
    if (stream == nullptr) {
        return 0;
    }
    std::string musicError;
    Mix_Music* music = vantrel::detail::openMusic(stream, &musicError); // takes the stream
    if (music == nullptr) {
        FUZZ_CHECK(!musicError.empty());
    } else {
        Mix_FreeMusic(music);
    }
    return 0;
}
