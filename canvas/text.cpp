// Text: drawing it at a corner, centred or right-aligned, and measuring it.
// Every call renders the text afresh with SDL2_ttf (no cache) and frees the
// surface and texture before it returns. Text is read as UTF-8 when it is
// valid UTF-8 with a character beyond ASCII, and as Latin-1 otherwise.

#include "canvas/canvas.h"

#include "canvas/failure.h"
#include "canvas/state.h"

#include <climits>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

// The open font a FontId names; throws std::out_of_range when it names none,
// with why the last font that failed to load failed.
TTF_Font* fontNamed(const std::vector<TTF_Font*>& fonts, FontId font, const std::string& failed) {
    if (font < 1 || static_cast<std::size_t>(font) > fonts.size()) {
        vantrel::detail::failWith(std::out_of_range(
            "Font id " + std::to_string(font) +
            " names no open font (open fonts: " + std::to_string(fonts.size()) +
            "). A font id of -1 means the font file could not be opened; the default font is " +
            DEFAULT_FONT + (failed.empty() ? std::string() : ". The last that failed: " + failed)));
    }
    return fonts[static_cast<std::size_t>(font) - 1];
}

// True when text, up to its first NUL, is well-formed UTF-8 (no overlong
// forms, no surrogates, nothing past U+10FFFF) holding at least one
// multi-byte character. A Latin-1 "é" is the lone byte 0xE9, which never is.
bool readsAsUtf8(const char* text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    bool beyondAscii = false;
    while (*p != 0) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        int length;
        unsigned long code;
        unsigned long smallest;
        if (*p >= 0xC2 && *p <= 0xDF) {
            length = 2, code = *p & 0x1Fu, smallest = 0x80;
        } else if (*p >= 0xE0 && *p <= 0xEF) {
            length = 3, code = *p & 0x0Fu, smallest = 0x800;
        } else if (*p >= 0xF0 && *p <= 0xF4) {
            length = 4, code = *p & 0x07u, smallest = 0x10000;
        } else {
            return false;
        }
        for (int i = 1; i < length; ++i) {
            // A NUL fails this test, so the loop never reads past the end.
            if ((p[i] & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (p[i] & 0x3Fu);
        }
        if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        beyondAscii = true;
        p += length;
    }
    return beyondAscii;
}

// The text rendered, anti-aliased with an alpha channel, or nullptr.
SDL_Surface* render(TTF_Font* font, const std::string& text, SDL_Color color) {
    const char* bytes = text.c_str();
    return readsAsUtf8(bytes) ? TTF_RenderUTF8_Blended(font, bytes, color)
                              : TTF_RenderText_Blended(font, bytes, color);
}

// The smallest rectangle of the surface holding every pixel with some
// alpha: where the text leaves colour. Empty (w = h = 0) when there is none.
SDL_Rect inkOf(const SDL_Surface* surface) {
    SDL_Rect ink = {0, 0, 0, 0};
    const Uint32 alphaMask = surface->format->Amask;
    if (surface->format->BytesPerPixel != 4 || alphaMask == 0) {
        // Not what SDL2_ttf's blended rendering makes: take the whole surface.
        ink.w = surface->w;
        ink.h = surface->h;
        return ink;
    }
    const auto rowAt = [surface](int y) {
        return reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(surface->pixels) +
                                               static_cast<std::ptrdiff_t>(y) * surface->pitch);
    };
    const auto rowHasInk = [&](int y) {
        const Uint32* row = rowAt(y);
        for (int x = 0; x < surface->w; ++x) {
            if ((row[x] & alphaMask) != 0) {
                return true;
            }
        }
        return false;
    };
    // The first and last rows with ink, then, between them, each row looked
    // at only outside the columns already known to hold ink.
    int top = 0, bottom = surface->h - 1;
    while (top <= bottom && !rowHasInk(top)) {
        ++top;
    }
    if (top > bottom) {
        return ink;
    }
    while (!rowHasInk(bottom)) {
        --bottom;
    }
    int left = surface->w, right = -1;
    for (int y = top; y <= bottom; ++y) {
        const Uint32* row = rowAt(y);
        for (int x = 0; x < left; ++x) {
            if ((row[x] & alphaMask) != 0) {
                left = x;
                break;
            }
        }
        for (int x = surface->w - 1; x > right; --x) {
            if ((row[x] & alphaMask) != 0) {
                right = x;
                break;
            }
        }
    }
    ink = SDL_Rect{left, top, right - left + 1, bottom - top + 1};
    return ink;
}

// Clamps a position computed in a wider type back into int.
int clampToInt(long long value) {
    return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// Copies the rendered text with its top-left corner at (x, y), then frees
// the surface and the texture; false when no texture could be made from it.
bool place(SDL_Renderer* renderer, SDL_Surface* surface, int x, int y, const Color& color) {
    SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, surface);
    if (texture == nullptr) {
        SDL_FreeSurface(surface);
        return false;
    }
    if (color.getAlpha() == 0) {
        // SDL_ttf renders a colour with alpha 0 as opaque; a Color with alpha
        // 0 is fully transparent everywhere else, so the text is too.
        SDL_SetTextureAlphaMod(texture, 0);
    }
    SDL_Rect dst = {x, y, 0, 0};
    SDL_QueryTexture(texture, nullptr, nullptr, &dst.w, &dst.h);
    SDL_RenderCopy(renderer, texture, nullptr, &dst);
    SDL_FreeSurface(surface);
    SDL_DestroyTexture(texture);
    return true;
}

// Where the ink of text lands, relative to the point an alignment names.
enum class Anchor { Centre, Right };

// Renders text, moves it so that its ink sits at (x, y) as anchor says, and
// copies it; false when it cannot be rendered.
bool drawAnchored(SDL_Renderer* renderer, TTF_Font* font, const std::string& text,
                  const Color& color, Anchor anchor, int x, int y) {
    const SDL_Color sdlColor = {color.getRed(), color.getGreen(), color.getBlue(),
                                color.getAlpha()};
    SDL_Surface* surface = render(font, text, sdlColor);
    if (surface == nullptr) {
        return false;
    }
    const SDL_Rect ink = inkOf(surface);
    long long left, top;
    if (anchor == Anchor::Centre) {
        left = static_cast<long long>(x) - ink.w / 2 - ink.x;
        // Across, by the line rather than the ink, so that texts centred on
        // the same y in the same font share one baseline.
        top = static_cast<long long>(y) - surface->h / 2;
    } else {
        left = static_cast<long long>(x) - (ink.x + ink.w - 1);
        top = y;
    }
    return place(renderer, surface, clampToInt(left), clampToInt(top), color);
}

// The ink rectangle of text in font, as drawText would draw it.
SDL_Rect measure(TTF_Font* font, const std::string& text) {
    SDL_Surface* surface = render(font, text, SDL_Color{255, 255, 255, 255});
    if (surface == nullptr) {
        return SDL_Rect{0, 0, 0, 0};
    }
    const SDL_Rect ink = inkOf(surface);
    SDL_FreeSurface(surface);
    return ink;
}

} // namespace

// ---- At a corner ------------------------------------------------------------

void Canvas::drawText(int x, int y, std::string text) {
    drawText(x, y, std::move(text), foreground, defaultFont);
}

void Canvas::drawText(int x, int y, std::string text, Color color) {
    drawText(x, y, std::move(text), color, defaultFont);
}

bool Canvas::drawText(int x, int y, std::string text, Color color, FontId font) {
    const SDL_Color sdlColor = {color.getRed(), color.getGreen(), color.getBlue(),
                                color.getAlpha()};
    TTF_Font* handle = fontNamed(fonts, font, state->fontError);
    SDL_Surface* surface = render(handle, text, sdlColor);
    if (surface == nullptr) {
        return false;
    }
    return place(renderer, surface, viewX(x), viewY(y), color);
}

// ---- Measuring --------------------------------------------------------------

int Canvas::getTextWidth(const std::string& text) { return getTextWidth(text, defaultFont); }

int Canvas::getTextWidth(const std::string& text, FontId font) {
    return measure(fontNamed(fonts, font, state->fontError), text).w;
}

int Canvas::getTextHeight(const std::string& text) { return getTextHeight(text, defaultFont); }

int Canvas::getTextHeight(const std::string& text, FontId font) {
    return measure(fontNamed(fonts, font, state->fontError), text).h;
}

// ---- Centred and right-aligned ----------------------------------------------

void Canvas::drawTextCentered(int x, int y, const std::string& text) {
    drawTextCentered(x, y, text, foreground, defaultFont);
}

void Canvas::drawTextCentered(int x, int y, const std::string& text, Color color) {
    drawTextCentered(x, y, text, color, defaultFont);
}

bool Canvas::drawTextCentered(int x, int y, const std::string& text, Color color, FontId font) {
    return drawAnchored(renderer, fontNamed(fonts, font, state->fontError), text, color,
                        Anchor::Centre, viewX(x), viewY(y));
}

void Canvas::drawTextRight(int x, int y, const std::string& text) {
    drawTextRight(x, y, text, foreground, defaultFont);
}

void Canvas::drawTextRight(int x, int y, const std::string& text, Color color) {
    drawTextRight(x, y, text, color, defaultFont);
}

bool Canvas::drawTextRight(int x, int y, const std::string& text, Color color, FontId font) {
    return drawAnchored(renderer, fontNamed(fonts, font, state->fontError), text, color,
                        Anchor::Right, viewX(x), viewY(y));
}
