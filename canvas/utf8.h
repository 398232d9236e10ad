#ifndef VANTREL_CANVAS_UTF8_H
#define VANTREL_CANVAS_UTF8_H

// Reading UTF-8 one character at a time, for typed text and the input
// script's text lines. Internal to the canvas; not installed.

#include <cstddef>

namespace vantrel {
namespace detail {

/// Bytes of the well-formed UTF-8 character at text[0] (1 to 4), or 0 when
/// the bytes there are no such character (a stray continuation byte, an
/// overlong form, a surrogate, past U+10FFFF, or cut off by the end).
inline std::size_t utf8CharacterSize(const char* text, std::size_t available) {
    if (available == 0) {
        return 0;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    std::size_t size;
    unsigned long code;
    unsigned long smallest;
    if (p[0] < 0x80) {
        return 1;
    } else if (p[0] >= 0xC2 && p[0] <= 0xDF) {
        size = 2, code = p[0] & 0x1Fu, smallest = 0x80;
    } else if (p[0] >= 0xE0 && p[0] <= 0xEF) {
        size = 3, code = p[0] & 0x0Fu, smallest = 0x800;
    } else if (p[0] >= 0xF0 && p[0] <= 0xF4) {
        size = 4, code = p[0] & 0x07u, smallest = 0x10000;
    } else {
        return 0;
    }
    if (size > available) {
        return 0;
    }
    for (std::size_t i = 1; i < size; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (p[i] & 0x3Fu);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return size;
}

/// Whether the size bytes at text are all well-formed UTF-8.
inline bool isUtf8(const char* text, std::size_t size) {
    for (std::size_t at = 0; at < size;) {
        const std::size_t step = utf8CharacterSize(text + at, size - at);
        if (step == 0) {
            return false;
        }
        at += step;
    }
    return true;
}

/// The longest start of the UTF-8 text (size bytes) that is at most most
/// bytes and ends between two characters; 0 only when most is smaller than
/// the first character.
inline std::size_t utf8Prefix(const char* text, std::size_t size, std::size_t most) {
    std::size_t at = 0;
    while (at < size) {
        std::size_t step = utf8CharacterSize(text + at, size - at);
        step = step == 0 ? 1 : step;
        if (at + step > most) {
            break;
        }
        at += step;
    }
    return at;
}

} // namespace detail
} // namespace vantrel

#endif
