// Image files: the header is read by hand to learn the format and the size,
// then SDL2_image's decoder for exactly that format does the work.

#include "canvas/image_file.h"

#include "canvas/canvas.h"

#include <SDL_image.h>

#include <cstring>

namespace vantrel {
namespace detail {

namespace {

const std::uint8_t PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

std::uint32_t littleEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

// Reads exactly count bytes; false at the end of the stream.
bool readBytes(SDL_RWops* stream, std::uint8_t* into, std::size_t count) {
    return SDL_RWread(stream, into, 1, count) == count;
}

// PNG: the signature, then the IHDR chunk, which must come first; then every
// chunk up to IEND must lie wholly inside the file. SDL2_image's reader
// ignores reads that come up short, so libpng, handed a chunk that claims
// to run past the end, would go on reading stale bytes (checksumming up to
// two gigabytes for one damaged length) instead of failing.
bool readPng(SDL_RWops* stream, ImageHeader* header, std::string* error) {
    std::uint8_t chunk[16];
    if (!readBytes(stream, chunk, sizeof chunk) || bigEndian32(chunk) != 13 ||
        std::memcmp(chunk + 4, "IHDR", 4) != 0) {
        *error = "its PNG header is cut short or damaged";
        return false;
    }
    header->width = bigEndian32(chunk + 8);
    header->height = bigEndian32(chunk + 12);

    const Sint64 end = SDL_RWsize(stream);
    Sint64 at = SDL_RWtell(stream) - 16; // the start of the IHDR chunk
    for (;;) {
        if (end < 0 || at < 0 || SDL_RWseek(stream, at, RW_SEEK_SET) != at ||
            !readBytes(stream, chunk, 8)) {
            *error = "its PNG data is damaged or cut short (it has no end chunk)";
            return false;
        }
        const std::uint32_t length = bigEndian32(chunk);
        // Length, type, data and checksum.
        if (length > 0x7FFFFFFFu || at + 12 + static_cast<Sint64>(length) > end) {
            *error = "its PNG data is damaged or cut short (a chunk runs past the end of the file)";
            return false;
        }
        if (std::memcmp(chunk + 4, "IEND", 4) == 0) {
            return true;
        }
        at += 12 + static_cast<Sint64>(length);
    }
}

// BMP: the 14-byte file header, then the size of the information header and
// the width and height: 16-bit in the old 12-byte header, else signed 32-bit
// (a negative height means the rows are stored top-down).
bool readBmp(SDL_RWops* stream, ImageHeader* header, std::string* error) {
    std::uint8_t info[24];
    if (!readBytes(stream, info, sizeof info)) {
        *error = "its BMP header is cut short";
        return false;
    }
    const std::uint8_t* core = info + 12; // after the 14-byte file header
    if (littleEndian32(core) == 12) {
        header->width = core[4] | (core[5] << 8);
        header->height = core[6] | (core[7] << 8);
    } else {
        header->width = static_cast<std::int32_t>(littleEndian32(core + 4));
        const std::int64_t height = static_cast<std::int32_t>(littleEndian32(core + 8));
        header->height = height < 0 ? -height : height;
    }
    return true;
}

// JPEG: the segments after the start-of-image marker, up to the first frame
// header (SOF0-SOF15 but for DHT, JPG and DAC), which holds the size. The
// markers are found the way libjpeg finds them: stray bytes before a 0xFF
// are skipped, and so are 0xFF fill bytes.
bool readJpeg(SDL_RWops* stream, ImageHeader* header, std::string* error) {
    for (;;) {
        std::uint8_t byte = 0;
        do {
            if (!readBytes(stream, &byte, 1)) {
                *error = "its JPEG header is cut short (no frame header)";
                return false;
            }
        } while (byte != 0xFF);
        do {
            if (!readBytes(stream, &byte, 1)) {
                *error = "its JPEG header is cut short (no frame header)";
                return false;
            }
        } while (byte == 0xFF);
        const std::uint8_t marker = byte;
        if (marker == 0x00 || marker == 0x01 || marker == 0xD8 ||
            (marker >= 0xD0 && marker <= 0xD7)) {
            continue; // no length follows these
        }
        if (marker == 0xD9 || marker == 0xDA) {
            *error = "its JPEG data has no frame header before the picture";
            return false;
        }
        std::uint8_t length[2];
        if (!readBytes(stream, length, 2)) {
            *error = "its JPEG header is cut short";
            return false;
        }
        const int segment = (length[0] << 8) | length[1];
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            std::uint8_t size[5]; // precision, height, width
            if (segment < 7 || !readBytes(stream, size, sizeof size)) {
                *error = "its JPEG frame header is cut short";
                return false;
            }
            header->height = (size[1] << 8) | size[2];
            header->width = (size[3] << 8) | size[4];
            return true;
        }
        if (segment < 2 || SDL_RWseek(stream, segment - 2, RW_SEEK_CUR) < 0) {
            *error = "its JPEG header is damaged";
            return false;
        }
    }
}

} // namespace

bool readImageHeader(SDL_RWops* stream, ImageHeader* header, std::string* error) {
    *header = ImageHeader();
    const Sint64 start = SDL_RWtell(stream);
    std::uint8_t magic[8];
    const std::size_t got = SDL_RWread(stream, magic, 1, sizeof magic);
    bool read = false;
    if (got == 0) {
        *error = "the file is empty";
    } else if (got == sizeof magic && std::memcmp(magic, PNG_SIGNATURE, sizeof magic) == 0) {
        header->format = ImageFormat::Png;
        read = readPng(stream, header, error);
    } else if (got >= 2 && magic[0] == 0xFF && magic[1] == 0xD8) {
        header->format = ImageFormat::Jpeg;
        SDL_RWseek(stream, start + 2, RW_SEEK_SET);
        read = readJpeg(stream, header, error);
    } else if (got >= 2 && magic[0] == 'B' && magic[1] == 'M') {
        header->format = ImageFormat::Bmp;
        SDL_RWseek(stream, start + 2, RW_SEEK_SET);
        read = readBmp(stream, header, error);
    } else {
        *error = "it is not a PNG, JPEG or BMP image";
    }
    SDL_RWseek(stream, start, RW_SEEK_SET);
    return read;
}

SDL_Surface* decodeImage(SDL_RWops* stream, std::string* error) {
    ImageHeader header;
    if (!readImageHeader(stream, &header, error)) {
        return nullptr;
    }
    const std::string size = std::to_string(header.width) + " x " + std::to_string(header.height);
    if (header.width <= 0 || header.height <= 0) {
        *error = "its header says it is " + size + " pixels: it has no pixels";
        return nullptr;
    }
    if (header.width > MAX_IMAGE_SIZE || header.height > MAX_IMAGE_SIZE) {
        *error = "its header says it is " + size + " pixels; an image may be at most " +
                 std::to_string(MAX_IMAGE_SIZE) + " pixels wide and " +
                 std::to_string(MAX_IMAGE_SIZE) + " high";
        return nullptr;
    }
    // The decoder of exactly the format the header showed, so that the size
    // checked above is the size it decodes.
    SDL_Surface* surface = nullptr;
    const char* format = "";
    switch (header.format) {
    case ImageFormat::Png:
        format = "PNG";
        surface = IMG_LoadPNG_RW(stream);
        break;
    case ImageFormat::Jpeg:
        format = "JPEG";
        surface = IMG_LoadJPG_RW(stream);
        break;
    case ImageFormat::Bmp:
        format = "BMP";
        surface = IMG_LoadBMP_RW(stream);
        break;
    case ImageFormat::Unknown:
        break;
    }
    if (surface == nullptr) {
        const char* reason = IMG_GetError();
        *error = std::string("its ") + format + " data is damaged or cut short (" +
                 (reason != nullptr && reason[0] != '\0' ? reason : "the decoder gave no reason") +
                 ")";
        return nullptr;
    }
    if (surface->w != header.width || surface->h != header.height) {
        SDL_FreeSurface(surface);
        *error = std::string("its ") + format + " data does not match its header";
        return nullptr;
    }
    return surface;
}

} // namespace detail
} // namespace vantrel
