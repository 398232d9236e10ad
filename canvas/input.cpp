// Keyboard, mouse and typed text without the event union. An SDL event watch
// sees every event on its way into the queue, so the state does not depend on
// how many events the program takes with pollEvent (the queue itself is left
// untouched). At the start of each frame, isRunning() pumps the platform's
// events into the queue and rolls what the watch saw into the frame's state.

#include "canvas/canvas.h"

#include "canvas/signals.h"
#include "canvas/state.h"
#include "canvas/utf8.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <new>

namespace {

using vantrel::detail::HELD;
using vantrel::detail::InputState;
using vantrel::detail::press;
using vantrel::detail::PRESSED;
using vantrel::detail::release;
using vantrel::detail::RELEASED;
using vantrel::detail::roll;

// Went down or repeated: what moves a text field's cursor or deletes.
constexpr std::uint8_t TYPED = 8;

// Room the typed text (and the edits) keep from the start, so that typing
// allocates nothing either, unless a frame brings more than this.
// The edits are the typed text with a '\b' wherever Backspace went down or
// repeated, in the order of the events: what typeInto replays.
constexpr std::size_t TEXT_ROOM = 64;

// Keys are kept by the scancode the current keyboard layout gives their key
// code, which is the same mapping SDL used to make the event's key code.
// Scancode 0 (SDL_SCANCODE_UNKNOWN) is never kept.
int slotOfKey(SDL_Keycode key) {
    const SDL_Scancode code = SDL_GetScancodeFromKey(key);
    return code > SDL_SCANCODE_UNKNOWN && code < SDL_NUM_SCANCODES ? code : 0;
}

// Lets go of everything held: what losing the keyboard focus means.
void releaseAll(std::uint8_t* states, int count) {
    for (int i = 0; i < count; ++i) {
        if (states[i] & HELD) {
            release(states[i]);
        }
    }
}

// Adds one text event's characters to text. SDL's platforms hand out UTF-8;
// bytes that are not (an event pushed by hand with Latin-1 in it) are taken
// as Latin-1, as drawText would take them, so that the typed text is always
// UTF-8. The event's buffer need not end in a NUL.
void addTypedText(std::string& text, const char* chars, std::size_t room) {
    const void* end = std::memchr(chars, '\0', room);
    const std::size_t size = end != nullptr ? static_cast<const char*>(end) - chars : room;
    if (vantrel::detail::isUtf8(chars, size)) {
        text.append(chars, size);
        return;
    }
    for (std::size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(chars[i]);
        if (byte < 0x80) {
            text += static_cast<char>(byte);
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
}

// No exception may cross SDL's C code: out of memory, what an event typed
// is dropped.
void appendEdit(std::string& edits, const char* bytes, std::size_t size) {
    try {
        edits.append(bytes, size);
    } catch (const std::bad_alloc&) {
    }
}

void appendTypedText(std::string& text, std::string& edits, const char* chars, std::size_t room) {
    const std::size_t before = text.size();
    try {
        addTypedText(text, chars, room);
    } catch (const std::bad_alloc&) {
        text.resize(before);
    }
    appendEdit(edits, text.data() + before, text.size() - before);
}

// Mouse buttons past the kept ones are never down.
std::uint8_t buttonState(const InputState& in, int button) {
    return button > 0 && button < InputState::BUTTONS ? in.frameButtons[button] : 0;
}

// A mouse coordinate SDL divided by the renderer's whole scale, camera zoom
// included, back in window pixels. SDL converts only the window's own events.
int unzoomed(const InputState& in, Uint32 window, int value) {
    return in.mouseZoom == 1.0 || window != in.window
               ? value
               : static_cast<int>(std::lround(value * in.mouseZoom));
}

int SDLCALL watchInput(void* input, SDL_Event* event) {
    InputState& in = *static_cast<InputState*>(input);
    switch (event->type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const int slot = slotOfKey(event->key.keysym.sym);
        if (slot == 0) {
            break;
        }
        if (event->type == SDL_KEYDOWN && event->key.keysym.sym == SDLK_BACKSPACE) {
            // In the edits, between the text typed before and after it.
            appendEdit(in.edits, "\b", 1);
        }
        if (event->type == SDL_KEYUP) {
            release(in.keys[slot]);
        } else if (event->key.repeat == 0) {
            press(in.keys[slot]);
            in.keys[slot] = static_cast<std::uint8_t>(in.keys[slot] | TYPED);
        } else {
            // A repeat is no new press, but it is typed again, and it shows
            // the key is down (it may have gone down while another window
            // had the focus).
            in.keys[slot] = static_cast<std::uint8_t>(in.keys[slot] | HELD | TYPED);
        }
        in.keysChanged = true;
        break;
    }
    case SDL_TEXTINPUT:
        // Only text that is final: what an input method or a dead key is
        // still composing (SDL_TEXTEDITING) comes here once it is chosen.
        appendTypedText(in.text, in.edits, event->text.text, sizeof event->text.text);
        break;
    case SDL_MOUSEMOTION:
        in.mouseX = unzoomed(in, event->motion.windowID, event->motion.x);
        in.mouseY = unzoomed(in, event->motion.windowID, event->motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        in.mouseX = unzoomed(in, event->button.windowID, event->button.x);
        in.mouseY = unzoomed(in, event->button.windowID, event->button.y);
        if (event->button.button < InputState::BUTTONS) {
            std::uint8_t& state = in.buttons[event->button.button];
            if (event->type == SDL_MOUSEBUTTONDOWN) {
                press(state);
            } else {
                release(state);
            }
        }
        break;
    case SDL_MOUSEWHEEL: {
        // Summed wide and kept within int, whatever steps an event claims.
        const long long step = event->wheel.direction == SDL_MOUSEWHEEL_FLIPPED
                                   ? -static_cast<long long>(event->wheel.y)
                                   : event->wheel.y;
        const long long sum = in.wheel + step;
        in.wheel = static_cast<int>(sum < INT_MIN ? INT_MIN : (sum > INT_MAX ? INT_MAX : sum));
        break;
    }
    case SDL_WINDOWEVENT:
        // Text typed before the focus went stays in the frame's text.
        if (event->window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            releaseAll(in.keys, SDL_NUM_SCANCODES);
            releaseAll(in.buttons, InputState::BUTTONS);
            in.keysChanged = true;
        } else if (event->window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                   event->window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED) {
            in.mouseZoom = 1.0; // SDL has just put the fitting scale back
        }
        break;
    default:
        break;
    }
    vantrel::detail::watchGamepads(in.pads, *event);
    // An event watch's result is ignored; the event goes on into the queue.
    return 0;
}

} // namespace

namespace vantrel {
namespace detail {

void startInput(InputState& in) {
    // Installed after the renderer, whose own watch turns mouse positions
    // into the logical coordinates everything is drawn in; this one then
    // sees them already converted.
    SDL_AddEventWatch(watchInput, &in);
    in.watching = true;
    startGamepads(in.pads);
    in.mouseZoom = 1.0;
    // Text input is on by default where there is no on-screen keyboard;
    // asked for here so that it is on everywhere, whatever the platform or
    // a hint chose.
    SDL_StartTextInput();
    in.text.reserve(TEXT_ROOM);
    in.frameText.reserve(TEXT_ROOM);
    in.edits.reserve(TEXT_ROOM);
    in.frameEdits.reserve(TEXT_ROOM);
    SDL_GetMouseState(&in.mouseX, &in.mouseY);
    in.frameMouseX = in.mouseX;
    in.frameMouseY = in.mouseY;
}

void stopInput(InputState& in) {
    if (in.watching) {
        SDL_DelEventWatch(watchInput, &in);
        in.watching = false;
        stopGamepads(in.pads);
    }
}

void rollInput(InputState& in) {
    if (!in.watching) {
        return;
    }
    // Whatever the platform has for the window enters the queue now, through
    // the watch, even when the program takes no events itself.
    SDL_PumpEvents();
    vantrel::detail::markTakingEvents();
    // Most frames see no key at all: the key table is copied only when a key
    // event came in or the last frame's presses and releases must be cleared.
    if (in.keysChanged || in.frameKeyEdges) {
        in.frameKeyEdges = roll(in.keys, in.frameKeys, SDL_NUM_SCANCODES);
        in.keysChanged = false;
    }
    // Both buffers keep their room: a frame that types nothing (or little)
    // allocates nothing.
    in.frameText.swap(in.text);
    in.text.clear();
    in.frameEdits.swap(in.edits);
    in.edits.clear();
    roll(in.buttons, in.frameButtons, InputState::BUTTONS);
    rollGamepads(in.pads);
    in.frameMouseX = in.mouseX;
    in.frameMouseY = in.mouseY;
    in.frameWheel = in.wheel;
    in.wheel = 0;
}

} // namespace detail
} // namespace vantrel

bool Canvas::isKeyDown(SDL_Keycode key) {
    return (state->input.frameKeys[slotOfKey(key)] & HELD) != 0;
}

bool Canvas::wasKeyPressed(SDL_Keycode key) {
    return (state->input.frameKeys[slotOfKey(key)] & PRESSED) != 0;
}

bool Canvas::wasKeyReleased(SDL_Keycode key) {
    return (state->input.frameKeys[slotOfKey(key)] & RELEASED) != 0;
}

bool Canvas::wasKeyTyped(SDL_Keycode key) {
    return (state->input.frameKeys[slotOfKey(key)] & TYPED) != 0;
}

const std::string& Canvas::getTypedText() const { return state->input.frameText; }

void Canvas::typeInto(std::string& text) const {
    for (const char c : state->input.frameEdits) {
        if (c == '\b') {
            removeLastCharacter(text);
        } else {
            text += c;
        }
    }
}

void Canvas::removeLastCharacter(std::string& text) {
    // The last character is the one whole UTF-8 character that ends the
    // text: one to four bytes. A lone stray byte goes by itself.
    for (std::size_t size = 1; size <= 4 && size <= text.size(); ++size) {
        const std::size_t start = text.size() - size;
        if (vantrel::detail::utf8CharacterSize(&text[start], size) == size) {
            text.erase(start);
            return;
        }
    }
    if (!text.empty()) {
        text.pop_back();
    }
}

int Canvas::getMouseX() { return state->input.frameMouseX; }

int Canvas::getMouseY() { return state->input.frameMouseY; }

bool Canvas::isMouseButtonDown(int button) {
    return (buttonState(state->input, button) & HELD) != 0;
}

bool Canvas::wasMouseButtonPressed(int button) {
    return (buttonState(state->input, button) & PRESSED) != 0;
}

bool Canvas::wasMouseButtonReleased(int button) {
    return (buttonState(state->input, button) & RELEASED) != 0;
}

int Canvas::getMouseWheel() { return state->input.frameWheel; }
