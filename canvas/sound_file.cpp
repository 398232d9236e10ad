// Sound files for effects and music: read, checked (canvas/sound_header.cpp),
// then decoded whole or opened for streaming by SDL_mixer.

#include "canvas/sound_file.h"

#include "canvas/canvas.h"

namespace vantrel {
namespace detail {

namespace {

// Larger files are refused before they are read into memory: MAX_SOUND_SECONDS
// of sound takes far less in any format a sound file comes in.
constexpr std::size_t MAX_EFFECT_FILE_BYTES = 512u * 1024u * 1024u;
const char* const TOO_BIG = "the file is larger than 512 MB, far more than MAX_SOUND_SECONDS of "
                            "sound takes. Play long sounds with playMusic, which streams them";

const char* formatName(SoundFormat format) {
    switch (format) {
    case SoundFormat::Wav:
        return "WAV";
    case SoundFormat::Ogg:
        return "OGG";
    case SoundFormat::Mp3:
        return "MP3";
    case SoundFormat::Flac:
        return "FLAC";
    }
    return "sound";
}

std::string damaged(SoundFormat format, const char* reason) {
    std::string message =
        std::string("its ") + formatName(format) + " data is damaged or cut short";
    if (reason != nullptr && reason[0] != '\0') {
        message += std::string(" (") + reason + ")";
    }
    return message;
}

// Bytes a second of sound takes in the mixer's format; 0 when it is not open.
double mixerBytesPerSecond() {
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    if (Mix_QuerySpec(&frequency, &format, &channels) == 0) {
        return 0.0;
    }
    return static_cast<double>(frequency) * channels * (SDL_AUDIO_BITSIZE(format) / 8);
}

// What can be checked of the file at the start of the stream before a
// decoder reads it (see checkWav and checkFlac).
bool checkBeforeDecoding(SDL_RWops* stream, SoundFormat format, bool limitLength,
                         std::string* error) {
    if (format == SoundFormat::Wav) {
        return checkWav(stream, limitLength, error);
    }
    if (format == SoundFormat::Flac) {
        return checkFlac(stream, error);
    }
    return true;
}

} // namespace

bool readSoundFile(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error) {
    SDL_RWops* stream = SDL_RWFromFile(path.c_str(), "rb");
    if (stream == nullptr) {
        *error = std::string("the file cannot be opened (") + SDL_GetError() + ")";
        return false;
    }
    const Sint64 size = SDL_RWsize(stream);
    bool read = false;
    if (size < 0) {
        *error = std::string("its size cannot be told (") + SDL_GetError() + ")";
    } else if (static_cast<std::uint64_t>(size) > MAX_EFFECT_FILE_BYTES) {
        *error = TOO_BIG;
    } else {
        bytes->resize(static_cast<std::size_t>(size));
        read = size == 0 || SDL_RWread(stream, bytes->data(), 1, bytes->size()) == bytes->size();
        if (!read) {
            *error = std::string("the file cannot be read (") + SDL_GetError() + ")";
        }
    }
    SDL_RWclose(stream);
    return read;
}

bool checkSoundFile(const std::vector<std::uint8_t>& bytes, std::string* error) {
    SoundFormat format = SoundFormat::Wav;
    if (!identifySound(bytes.data(), bytes.size(), &format, error)) {
        return false;
    }
    if (format != SoundFormat::Wav) {
        return true;
    }
    SDL_ClearError();
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (stream == nullptr) {
        *error = SDL_GetError();
        return false;
    }
    if (!checkWav(stream, true, error)) {
        SDL_RWclose(stream);
        return false;
    }
    // SDL's WAV reader needs no audio device: it reads the file through.
    SDL_AudioSpec layout;
    Uint8* samples = nullptr;
    Uint32 length = 0;
    const bool read = SDL_LoadWAV_RW(stream, 0, &layout, &samples, &length) != nullptr;
    SDL_RWclose(stream);
    if (!read) {
        *error = damaged(format, SDL_GetError());
        return false;
    }
    SDL_FreeWAV(samples);
    if (length == 0) {
        *error = "it holds no sound: " + damaged(format, nullptr);
        return false;
    }
    return true;
}

Mix_Chunk* decodeEffect(const std::vector<std::uint8_t>& bytes, std::string* error) {
    SoundFormat format = SoundFormat::Wav;
    if (!identifySound(bytes.data(), bytes.size(), &format, error)) {
        return nullptr;
    }
    if (bytes.size() > MAX_EFFECT_FILE_BYTES) {
        *error = TOO_BIG;
        return nullptr;
    }
    SDL_ClearError();
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (stream == nullptr) {
        *error = SDL_GetError();
        return nullptr;
    }
    if (!checkBeforeDecoding(stream, format, true, error)) {
        SDL_RWclose(stream);
        return nullptr;
    }
    // The stream is closed here rather than by the loader: SDL_mixer forgets
    // to close it when a file is too short to tell its kind.
    Mix_Chunk* chunk = Mix_LoadWAV_RW(stream, 0);
    SDL_RWclose(stream);
    if (chunk == nullptr) {
        *error = damaged(format, Mix_GetError());
        return nullptr;
    }
    const double bytesPerSecond = mixerBytesPerSecond();
    if (chunk->alen == 0) {
        Mix_FreeChunk(chunk);
        *error = "it holds no sound: " + damaged(format, nullptr);
        return nullptr;
    }
    if (bytesPerSecond > 0.0 && chunk->alen / bytesPerSecond > MAX_SOUND_SECONDS) {
        const double seconds = chunk->alen / bytesPerSecond;
        Mix_FreeChunk(chunk);
        *error = tooLongMessage(seconds);
        return nullptr;
    }
    return chunk;
}

Mix_Music* openMusic(SDL_RWops* stream, std::string* error) {
    std::uint8_t head[SOUND_SIGNATURE_BYTES];
    const std::size_t got = SDL_RWread(stream, head, 1, sizeof head);
    SoundFormat format = SoundFormat::Wav;
    if (SDL_RWseek(stream, 0, RW_SEEK_SET) != 0) {
        SDL_RWclose(stream);
        *error = std::string("the file cannot be read from its start (") + SDL_GetError() + ")";
        return nullptr;
    }
    if (!identifySound(head, got, &format, error) ||
        !checkBeforeDecoding(stream, format, false, error)) {
        SDL_RWclose(stream);
        return nullptr;
    }
    Mix_MusicType type = MUS_WAV;
    switch (format) {
    case SoundFormat::Wav:
        type = MUS_WAV;
        break;
    case SoundFormat::Ogg:
        type = MUS_OGG;
        break;
    case SoundFormat::Mp3:
        type = MUS_MP3;
        break;
    case SoundFormat::Flac:
        type = MUS_FLAC;
        break;
    }
    SDL_ClearError();
    // With freesrc the loader closes the stream when it fails, and the music
    // closes it when freed.
    Mix_Music* opened = Mix_LoadMUSType_RW(stream, type, 1);
    if (opened == nullptr) {
        *error = damaged(format, Mix_GetError());
    }
    return opened;
}

} // namespace detail
} // namespace vantrel
