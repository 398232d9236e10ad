// Fuzz target: the image decoder from memory, as loadImage uses it on a
// file: the header is read and checked, then SDL2_image decodes a PNG, JPEG
// or BMP.
//
// Every input must give either a surface whose size matches its header and
// lies within MAX_IMAGE_SIZE, or nullptr with a reason, without a crash,
// a sanitizer report or an allocation beyond libFuzzer's limit (a header
// that claims an enormous size must be refused before decoding).

#include "canvas/canvas.h"
#include "canvas/image_file.h"

#include <cstdint>
#include <string>

#include "check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    FUZZ_CHECK(stream != nullptr || size == 0);
    if (stream == nullptr) {
        return 0;
    }
    vantrel::detail::ImageHeader header;
    std::string headerError;
    const bool headerRead = vantrel::detail::readImageHeader(stream, &header, &headerError);
    FUZZ_CHECK(SDL_RWtell(stream) == 0); // the stream is put back
    FUZZ_CHECK(headerRead || !headerError.empty());

    std::string error;
    SDL_Surface* surface = vantrel::detail::decodeImage(stream, &error);
    if (surface == nullptr) {
        FUZZ_CHECK(!error.empty());
    } else {
        FUZZ_CHECK(headerRead);
        FUZZ_CHECK(surface->w == header.width && surface->h == header.height);
        FUZZ_CHECK(surface->w >= 1 && surface->w <= MAX_IMAGE_SIZE);
        FUZZ_CHECK(surface->h >= 1 && surface->h <= MAX_IMAGE_SIZE);
        SDL_FreeSurface(surface);
    }
    SDL_RWclose(stream);
    return 0;
}
