// Sound file headers: the format told from the first bytes, and the claims
// of WAV and FLAC headers checked by hand before SDL_mixer acts on them.

#include "canvas/sound_file.h"

#include "canvas/canvas.h"

#include <algorithm>
#include <cstring>
#include <vector>

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

namespace {

// The CRC-8 of a FLAC frame header (polynomial x^8 + x^2 + x + 1).
std::uint8_t flacCrc8(const std::uint8_t* data, std::size_t size) {
    std::uint8_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<std::uint8_t>((crc & 0x80) ? (crc << 1) ^ 0x07 : crc << 1);
        }
    }
    return crc;
}

// The longest FLAC frame header: sync and codes (4 bytes), a frame number of
// up to 7, a block size of up to 2, a rate of up to 2 and the CRC-8.
constexpr std::size_t LONGEST_FRAME_HEADER = 16;

// How many channels the frame header at `p` (with `size` bytes after it)
// declares, or 0 when no frame header starts there: a decoder that has lost
// its place takes whatever passes these checks as a frame.
unsigned flacFrameChannels(const std::uint8_t* p, std::size_t size) {
    if (size < 6 || p[0] != 0xFF || (p[1] & 0xFE) != 0xF8) {
        return 0;
    }
    const unsigned blockCode = p[2] >> 4, rateCode = p[2] & 0x0F, assignment = p[3] >> 4;
    if (blockCode == 0 || rateCode == 15 || assignment > 10 || ((p[3] >> 1) & 7) == 3) {
        return 0;
    }
    std::size_t at = 4;
    unsigned extra = 0; // continuation bytes of the UTF-8-like frame number
    if (p[at] >= 0xFE) {
        extra = p[at] == 0xFE ? 6 : 99;
    } else {
        for (std::uint8_t lead = p[at]; lead & 0x80; lead = static_cast<std::uint8_t>(lead << 1)) {
            ++extra;
        }
        extra = extra == 0 ? 0 : extra == 1 ? 99 : extra - 1;
    }
    if (extra > 6) {
        return 0;
    }
    for (++at; extra > 0; --extra, ++at) {
        if (at >= size || (p[at] & 0xC0) != 0x80) {
            return 0;
        }
    }
    at += blockCode == 6 ? 1 : blockCode == 7 ? 2 : 0;
    at += rateCode == 12 ? 1 : (rateCode == 13 || rateCode == 14) ? 2 : 0;
    if (at >= size || flacCrc8(p, at) != p[at]) {
        return 0;
    }
    return assignment < 8 ? assignment + 1 : 2;
}

// SDL_mixer's FLAC decoder takes the number of channels from the stream
// information and reads that many from every frame: a frame with fewer has
// it read memory that is not there. Every place a decoder could take for a
// frame is looked at, from `at` to the end.
bool flacFramesHaveTheirChannels(SDL_RWops* stream, Sint64 at, unsigned channels,
                                 std::string* error) {
    std::uint8_t buffer[65536];
    std::size_t held = 0;
    if (SDL_RWseek(stream, at, RW_SEEK_SET) != at) {
        return true;
    }
    for (;;) {
        const std::size_t got = SDL_RWread(stream, buffer + held, 1, sizeof buffer - held);
        held += got;
        const bool last = got == 0;
        // Near the end of the buffer a header may go on in the next read.
        const std::size_t scan = last ? held : held - std::min(held, LONGEST_FRAME_HEADER);
        for (std::size_t i = 0; i < scan; ++i) {
            if (buffer[i] != 0xFF) {
                continue;
            }
            const unsigned found = flacFrameChannels(buffer + i, held - i);
            if (found != 0 && found < channels) {
                *error = "its FLAC data is damaged: a frame holds " + std::to_string(found) +
                         " channels of the " + std::to_string(channels) + " the file announces";
                return false;
            }
        }
        if (last) {
            return true;
        }
        std::memmove(buffer, buffer + scan, held - scan);
        held -= scan;
    }
}

// A Vorbis comment block of `length` bytes, read from where `stream` is: a
// vendor string, then a count of comments, each a length and its text. Every
// comment must hold text and lie within the block.
bool flacCommentsHaveText(SDL_RWops* stream, Sint64 length) {
    std::vector<std::uint8_t> block(static_cast<std::size_t>(length));
    if (length < 8 || SDL_RWread(stream, block.data(), 1, block.size()) != block.size()) {
        return false;
    }
    const std::size_t end = block.size();
    const std::size_t vendor = littleEndian32(block.data());
    if (vendor > end - 8) {
        return false;
    }
    std::size_t at = 4 + vendor;
    const std::uint32_t count = littleEndian32(block.data() + at);
    at += 4;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (end - at < 4) {
            return false;
        }
        const std::size_t size = littleEndian32(block.data() + at);
        at += 4;
        if (size == 0 || size > end - at) {
            return false;
        }
        at += size;
    }
    return true;
}

} // namespace

bool checkFlac(SDL_RWops* stream, std::string* error) {
    const Sint64 size = SDL_RWsize(stream);
    // After "fLaC", the metadata blocks: each a byte (the last one's top bit
    // set, then its type) and a 24-bit length. The stream information, of 34
    // bytes, comes first and once only, and every block lies within the
    // file: SDL_mixer's FLAC decoder loses what it has set up for the
    // stream information when a later block cannot be read.
    Sint64 at = 4;
    bool first = true;
    unsigned channels = 1;
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
        if (type == 0) {
            std::uint8_t info[34];
            if (SDL_RWread(stream, info, 1, sizeof info) != sizeof info) {
                *error = "its FLAC data is cut short in its header";
                break;
            }
            channels = ((info[12] >> 1) & 7u) + 1;
        } else if (type == 4 && !flacCommentsHaveText(stream, length)) {
            // SDL_mixer copies every comment as a C string, and an empty one
            // reaches it as no string at all.
            *error = "its FLAC data is damaged: a comment in its header is empty or cut short";
            break;
        }
        if ((header[0] & 0x80) != 0) {
            const bool sound =
                flacFramesHaveTheirChannels(stream, at + 4 + length, channels, error);
            SDL_RWseek(stream, 0, RW_SEEK_SET);
            return sound;
        }
        first = false;
        at += 4 + length;
    }
    SDL_RWseek(stream, 0, RW_SEEK_SET);
    return false;
}

} // namespace detail
} // namespace vantrel
