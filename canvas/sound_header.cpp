// Sound file headers: the format told from the first bytes, and the claims
// of WAV and FLAC headers checked by hand before SDL_mixer acts on them.

#include "canvas/sound_file.h"

#include "canvas/canvas.h"

#include <cstring>

namespace vantrel {
namespace detail {

namespace {

// Most samples a second a sound file may claim: beyond any real recording.
// SDL's converter fails to size its buffers for rates near 2^31.
constexpr std::uint32_t MAX_FREQUENCY = 768000;
// Most channels SDL converts from (7.1 surround).
constexpr std::uint32_t MAX_CHANNELS = 8;
// Fewer bytes than this hold no sound in any format played here.
constexpr std::size_t SHORTEST_SOUND_FILE = 12;

bool startsWith(const std::uint8_t* head, std::size_t size, std::size_t at, const char* text) {
    const std::size_t length = std::strlen(text);
    return size >= at + length && std::memcmp(head + at, text, length) == 0;
}

std::uint32_t littleEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

std::uint16_t littleEndian16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool unsupported(const char* what, std::string* error) {
    *error = std::string("it is ") + what +
             ", a format this system does not play: use WAV, OGG, MP3 or FLAC";
    return false;
}

// Printable ASCII and the usual white space only.
bool looksLikeText(const std::uint8_t* head, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t c = head[i];
        if (!((c >= 0x20 && c < 0x7F) || c == '\t' || c == '\n' || c == '\r')) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string tooLongMessage(double seconds) {
    return "it is longer than MAX_SOUND_SECONDS (" + std::to_string(MAX_SOUND_SECONDS) +
           " s): about " + std::to_string(static_cast<long long>(seconds)) +
           " s. Play long sounds with playMusic, which streams them";
}

bool identifySound(const std::uint8_t* head, std::size_t size, SoundFormat* format,
                   std::string* error) {
    if (size > SOUND_SIGNATURE_BYTES) {
        size = SOUND_SIGNATURE_BYTES;
    }
    if (size == 0) {
        *error = "the file is empty";
        return false;
    }
    if (size < SHORTEST_SOUND_FILE) {
        *error = "it is too short to hold any sound (" + std::to_string(size) + " bytes)";
        return false;
    }
    if (startsWith(head, size, 0, "RIFF") && startsWith(head, size, 8, "WAVE")) {
        *format = SoundFormat::Wav;
        return true;
    }
    if (startsWith(head, size, 0, "OggS")) {
        // The first page holds the first packet of the one stream, which
        // names the codec.
        if (size < SOUND_SIGNATURE_BYTES) {
            *error = "its OGG data is cut short";
            return false;
        }
        if (startsWith(head, size, 28, "\x01vorbis")) {
            // The identification header: version, channels, samples a second.
            const std::uint32_t frequency = littleEndian32(head + 40);
            if (head[39] == 0 || head[39] > MAX_CHANNELS || frequency == 0 ||
                frequency > MAX_FREQUENCY) {
                *error = "its OGG header is damaged (" + std::to_string(head[39]) + " channels, " +
                         std::to_string(frequency) + " samples a second)";
                return false;
            }
            *format = SoundFormat::Ogg;
            return true;
        }
        if (startsWith(head, size, 28, "OpusHead")) {
            return unsupported("an Ogg Opus file", error);
        }
        if (startsWith(head, size, 28,
                       "\x7F"
                       "FLAC")) {
            return unsupported("an Ogg FLAC file", error);
        }
        if (startsWith(head, size, 28, "Speex")) {
            return unsupported("an Ogg Speex file", error);
        }
        *error = "it is an Ogg file without Vorbis sound in it (a video?)";
        return false;
    }
    if (startsWith(head, size, 0, "fLaC")) {
        *format = SoundFormat::Flac;
        return true;
    }
    // An ID3 tag, or straight away an MPEG audio layer III frame header.
    if (startsWith(head, size, 0, "ID3") ||
        (size >= 2 && head[0] == 0xFF && (head[1] & 0xE6) == 0xE2)) {
        *format = SoundFormat::Mp3;
        return true;
    }
    if (startsWith(head, size, 0, "MThd")) {
        return unsupported("a MIDI file", error);
    }
    if (startsWith(head, size, 0, "FORM") &&
        (startsWith(head, size, 8, "AIFF") || startsWith(head, size, 8, "AIFC"))) {
        return unsupported("an AIFF file", error);
    }
    if (startsWith(head, size, 0, "Creative Voice File")) {
        return unsupported("a VOC file", error);
    }
    if (looksLikeText(head, size)) {
        *error = "it holds text, not sound";
        return false;
    }
    *error = "it is not a sound file (WAV, OGG, MP3 or FLAC)";
    return false;
}

bool checkWav(SDL_RWops* stream, bool limitLength, std::string* error) {
    const Sint64 size = SDL_RWsize(stream);
    std::uint32_t channels = 0;
    std::uint32_t frequency = 0;
    std::uint32_t bits = 0;
    bool sound = false;
    *error = "its WAV header is cut short or damaged (no format and data blocks)";
    // The blocks after "RIFF", the length and "WAVE": each a type, a length
    // and the data, padded to an even length. A format block that makes
    // sense must come before the data block: SDL_mixer's streaming reader
    // divides by what it says.
    Sint64 at = 12;
    std::uint8_t block[24];
    while (size >= 0 && at + 8 <= size && SDL_RWseek(stream, at, RW_SEEK_SET) == at &&
           SDL_RWread(stream, block, 1, 8) == 8) {
        const std::uint32_t length = littleEndian32(block + 4);
        const Sint64 body = at + 8;
        const Sint64 available = size - body;
        if (std::memcmp(block, "fmt ", 4) == 0) {
            if (length < 16 || available < 16 || SDL_RWread(stream, block + 8, 1, 16) != 16) {
                break;
            }
            channels = littleEndian16(block + 10);
            frequency = littleEndian32(block + 12);
            bits = littleEndian16(block + 22);
            if (channels == 0 || channels > MAX_CHANNELS || frequency == 0 ||
                frequency > MAX_FREQUENCY) {
                *error = "its WAV header is damaged: it claims " + std::to_string(channels) +
                         " channels and " + std::to_string(frequency) + " samples a second";
                break;
            }
        } else if (std::memcmp(block, "data", 4) == 0) {
            if (channels == 0) {
                break; // no format block before the data
            }
            if (length > available) {
                // SDL would set the whole claimed length aside first.
                *error = "its WAV data is cut short or its header damaged: the header promises " +
                         std::to_string(length) + " bytes of sound, the file holds " +
                         std::to_string(available);
                break;
            }
            const double frames = bits == 0 ? 0.0 : length * 8.0 / (channels * bits);
            if (limitLength && frames / frequency > MAX_SOUND_SECONDS) {
                *error = tooLongMessage(frames / frequency);
                break;
            }
            sound = true;
            error->clear();
            break;
        }
        if (length > available) {
            break;
        }
        at = body + length + (length & 1u);
    }
    SDL_RWseek(stream, 0, RW_SEEK_SET);
    return sound;
}

bool checkFlac(SDL_RWops* stream, std::string* error) {
    const Sint64 size = SDL_RWsize(stream);
    // After "fLaC", the metadata blocks: each a byte (the last one's top bit
    // set, then its type) and a 24-bit length. The stream information, of 34
    // bytes, comes first and once only, and every block lies within the
    // file: SDL_mixer's FLAC decoder loses what it has set up for the
    // stream information when a later block cannot be read.
    Sint64 at = 4;
    bool first = true;
    std::uint8_t header[4];
    for (;;) {
        if (size < 0 || SDL_RWseek(stream, at, RW_SEEK_SET) != at ||
            SDL_RWread(stream, header, 1, 4) != 4) {
            *error = "its FLAC data is cut short in its header";
            break;
        }
        const int type = header[0] & 0x7F;
        const Sint64 length = (Sint64(header[1]) << 16) | (Sint64(header[2]) << 8) | header[3];
        if (first != (type == 0) || (type == 0 && length != 34) || type == 127) {
            *error = "its FLAC data is damaged: its stream information is missing, of the "
                     "wrong size, or given twice";
            break;
        }
        if (at + 4 + length > size) {
            *error = "its FLAC data is cut short in its header";
            break;
        }
        if ((header[0] & 0x80) != 0) {
            SDL_RWseek(stream, 0, RW_SEEK_SET);
            return true;
        }
        first = false;
        at += 4 + length;
    }
    SDL_RWseek(stream, 0, RW_SEEK_SET);
    return false;
}

} // namespace detail
} // namespace vantrel
