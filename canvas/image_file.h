#ifndef VANTREL_CANVAS_IMAGE_FILE_H
#define VANTREL_CANVAS_IMAGE_FILE_H

// Decoding image files safely: the size an image's header claims is read and
// checked before any decoder runs, so a small file cannot make the decoder
// ask for gigabytes. Internal to the canvas; not installed.

#include <SDL.h>

#include <cstdint>
#include <string>

namespace vantrel {
namespace detail {

enum class ImageFormat { Unknown, Png, Jpeg, Bmp };

/// What an image file's header says, read without decoding the picture.
struct ImageHeader {
    ImageFormat format = ImageFormat::Unknown;
    std::int64_t width = 0;
    std::int64_t height = 0;
};

/// Reads the header of the image at the stream's current position and puts
/// the stream back there. Returns false, with a reason in *error, when the
/// stream is empty, is no PNG, JPEG or BMP, or its header is cut short.
bool readImageHeader(SDL_RWops* stream, ImageHeader* header, std::string* error);

/// Decodes the PNG, JPEG or BMP image at the stream's current position
/// (the stream stays open). Refuses, before decoding, an image with no
/// pixels or one wider or higher than MAX_IMAGE_SIZE. Returns the surface,
/// or nullptr with a reason a learner can read in *error.
SDL_Surface* decodeImage(SDL_RWops* stream, std::string* error);

} // namespace detail
} // namespace vantrel

#endif
