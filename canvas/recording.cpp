// The recording mode at run time, and saving a frame as a PNG file.

#include "canvas/recording.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "canvas/canvas.h"
#include "canvas/failure.h"
#include "canvas/file_write.h"
#include "canvas/state.h"
#include "canvas/utf8.h"
#include "canvas/targets.h"

namespace vantrel {
namespace detail {

namespace {

// Frames a program may go on after the close request before the run is
// stopped for it (a program that ignores the close button would otherwise
// never end under a grader).
constexpr long FRAMES_TO_HONOUR_CLOSE = 120;
// update() calls without isRunning() after which the loop is taken to be one
// that never asks it: far more than any loading screen draws.
constexpr long UPDATES_WITHOUT_IS_RUNNING = 1000;

void pushKey(SDL_Window* window, Uint32 type, SDL_Keycode key, bool repeat = false) {
    SDL_Event event;
    SDL_zero(event);
    event.type = type;
    event.key.timestamp = SDL_GetTicks();
    event.key.windowID = SDL_GetWindowID(window);
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    event.key.keysym.mod = KMOD_NONE;
    SDL_PushEvent(&event);
}

// Text as the platform would type it: in events of at most
// SDL_TEXTINPUTEVENT_TEXT_SIZE - 1 bytes, each ending between two characters.
void pushText(SDL_Window* window, const std::string& text) {
    const std::size_t most = SDL_TEXTINPUTEVENT_TEXT_SIZE - 1;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t size = utf8Prefix(text.data() + at, text.size() - at, most);
        SDL_Event event;
        SDL_zero(event);
        event.type = SDL_TEXTINPUT;
        event.text.timestamp = SDL_GetTicks();
        event.text.windowID = SDL_GetWindowID(window);
        std::memcpy(event.text.text, text.data() + at, size);
        SDL_PushEvent(&event);
        at += size;
    }
}

void pushButton(SDL_Window* window, Uint32 type, Uint8 button, int x, int y) {
    SDL_Event event;
    SDL_zero(event);
    event.type = type;
    event.button.timestamp = SDL_GetTicks();
    event.button.windowID = SDL_GetWindowID(window);
    event.button.button = button;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    SDL_PushEvent(&event);
}

void pushQuit() {
    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_QUIT;
    event.quit.timestamp = SDL_GetTicks();
    SDL_PushEvent(&event);
}

} // namespace

Recorder::Recorder(RecordingSettings settings) : settings(std::move(settings)) {
    int most = -1;
    for (const ScriptedInput& input : this->settings.script) {
        if (input.kind == ScriptedInput::PadButtonDown ||
            input.kind == ScriptedInput::PadButtonUp || input.kind == ScriptedInput::PadAxis) {
            most = std::max(most, input.pad);
        }
    }
    // SDL 2.26 maps a virtual joystick of the game-controller type itself:
    // its buttons and axes are numbered as SDL_CONTROLLER_BUTTON_* and
    // SDL_CONTROLLER_AXIS_* are. Attached now, the canvas opens them before
    // the first frame.
    for (int pad = 0; pad <= most; ++pad) {
        const int device =
            SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                      SDL_CONTROLLER_BUTTON_MAX, 0);
        SDL_Joystick* joystick = device >= 0 ? SDL_JoystickOpen(device) : nullptr;
        if (joystick == nullptr) {
            throw "VANTREL_INPUT: cannot attach a virtual gamepad for pad " + std::to_string(pad) +
                ": " + SDL_GetError();
        }
        pads.push_back(joystick);
    }
}

void Recorder::useHeadlessDrivers() {
    // Asked for from outside the program, so these win over the user's own.
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    SDL_setenv("SDL_RENDER_DRIVER", "software", 1);
    // A headless window never has the focus, without which SDL drops pads' input.
    SDL_setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
}

void Recorder::checkOutput() const {
    long first = 0;
    if (!settings.saveFrames.empty()) {
        first = settings.saveFrames.front();
    } else if (settings.saveEvery > 0) {
        first = settings.saveEvery;
    }
    if (first == 0 || (settings.frames > 0 && first > settings.frames)) {
        return;
    }
    // Tried beside the frame's file, as saving it will; an earlier file of
    // that name stays as it is until the frame replaces it.
    const std::string name = frameFileName(settings.pattern, first);
    std::string cause;
    if (!canWriteBeside(name, &cause)) {
        throw "VANTREL_FRAME_PATTERN: cannot write frame " + std::to_string(first) + " to \"" +
            name + "\": " + cause;
    }
}

bool Recorder::startFrame(SDL_Window* window) {
    ++current;
    updatesInFrame = 0;
    while (nextInput < settings.script.size() && settings.script[nextInput].frame <= current) {
        push(settings.script[nextInput++], window);
    }
    if (settings.frames > 0 && current == settings.frames && closeRequestedAt == 0) {
        pushQuit();
        closeRequestedAt = current;
    }
    if (closeRequestedAt > 0 && current > closeRequestedAt + FRAMES_TO_HONOUR_CLOSE) {
        std::fprintf(stderr,
                     "Vantrel: the program went on for %ld frames after the close request; "
                     "the recording stopped it\n",
                     FRAMES_TO_HONOUR_CLOSE);
        return false;
    }
    return true;
}

bool Recorder::frameEnded() {
    if (++updatesInFrame < UPDATES_WITHOUT_IS_RUNNING) {
        return true;
    }
    std::fprintf(stderr,
                 "Vantrel: the program called update() %ld times without calling isRunning(), "
                 "so its loop never asks isRunning() and the recording stopped it (a frame loop "
                 "is: start(); while (isRunning()) { ... update(); })\n",
                 UPDATES_WITHOUT_IS_RUNNING);
    return false;
}

bool Recorder::endFrame(const std::function<std::string(const std::string& file)>& save) {
    if (!frameEnded()) {
        return false;
    }
    const std::string file = frameToSave();
    if (!file.empty()) {
        const std::string error = save(file);
        if (!error.empty()) {
            fail("Vantrel: could not save frame " + std::to_string(current) + ": " + error);
        }
        frameSaved();
    }
    return true;
}

std::string Recorder::frameToSave() const {
    if (current == 0 || (settings.frames > 0 && current > settings.frames) ||
        !isFrameToSave(settings, current)) {
        return "";
    }
    return frameFileName(settings.pattern, current);
}

void Recorder::frameSaved() {
    if (saved.empty() || saved.back() != current) {
        saved.push_back(current);
    }
}

std::string Recorder::unsavedReport() const {
    // The frames asked for that the run could have reached, and of those the
    // ones not saved: at most a few named, the rest counted.
    std::vector<long> missing;
    long missingCount = 0;
    bool notShown = false;
    bool endedEarly = false;
    auto consider = [&](long frame) {
        if (std::binary_search(saved.begin(), saved.end(), frame)) {
            return;
        }
        if (missing.size() < 3) {
            missing.push_back(frame);
        }
        ++missingCount;
        (frame <= current ? notShown : endedEarly) = true;
    };
    for (long frame : settings.saveFrames) {
        if (settings.frames == 0 || frame <= settings.frames) {
            consider(frame);
        }
    }
    if (settings.saveEvery > 0) {
        const long every = settings.saveEvery;
        const long reached = settings.frames > 0 ? std::min(current, settings.frames) : current;
        for (long frame = every; frame <= reached; frame += every) {
            consider(frame);
        }
        // Past the last frame run: the next one that was due, if the run
        // would have reached it.
        const long next = (reached / every + 1) * every;
        if (next > current && (settings.frames == 0 ? saved.empty() : next <= settings.frames)) {
            consider(next);
        }
    }
    if (missingCount == 0) {
        return "";
    }
    if (current == 0) {
        return "Vantrel: no frame was saved: the program never called start() and then "
               "isRunning(), which count the frames of a recording";
    }
    std::string names;
    for (std::size_t i = 0; i < missing.size(); ++i) {
        names += (i == 0 ? "" : ", ") + std::to_string(missing[i]);
    }
    if (missingCount > static_cast<long>(missing.size())) {
        names +=
            " and " + std::to_string(missingCount - static_cast<long>(missing.size())) + " more";
    }
    std::string why;
    if (notShown) {
        why = "the program did not call update() in every frame asked for";
    }
    if (endedEarly) {
        why += std::string(why.empty() ? "" : "; ") + "the program ended after " +
               std::to_string(current) + (current == 1 ? " frame" : " frames");
    }
    return std::string("Vantrel: ") + (missingCount == 1 ? "frame " : "frames ") + names +
           (missingCount == 1 ? " was" : " were") + " not saved: " + why;
}

void Recorder::push(const ScriptedInput& input, SDL_Window* window) {
    switch (input.kind) {
    case ScriptedInput::KeyDown:
        pushKey(window, SDL_KEYDOWN, input.key);
        break;
    case ScriptedInput::KeyUp:
        pushKey(window, SDL_KEYUP, input.key);
        break;
    case ScriptedInput::KeyRepeat:
        pushKey(window, SDL_KEYDOWN, input.key, true);
        break;
    case ScriptedInput::Text:
        pushText(window, input.text);
        break;
    case ScriptedInput::MouseMove:
        mouseX = input.x;
        mouseY = input.y;
        // Moves SDL's own pointer too, so getMouseState agrees with the event.
        SDL_WarpMouseInWindow(window, mouseX, mouseY);
        break;
    case ScriptedInput::MouseDown:
        pushButton(window, SDL_MOUSEBUTTONDOWN, input.button, mouseX, mouseY);
        break;
    case ScriptedInput::MouseUp:
        pushButton(window, SDL_MOUSEBUTTONUP, input.button, mouseX, mouseY);
        break;
    case ScriptedInput::MouseClick:
        pushButton(window, SDL_MOUSEBUTTONDOWN, input.button, mouseX, mouseY);
        pushButton(window, SDL_MOUSEBUTTONUP, input.button, mouseX, mouseY);
        break;
    case ScriptedInput::MouseWheel: {
        SDL_Event event;
        SDL_zero(event);
        event.type = SDL_MOUSEWHEEL;
        event.wheel.timestamp = SDL_GetTicks();
        event.wheel.windowID = SDL_GetWindowID(window);
        event.wheel.y = input.y;
        event.wheel.preciseY = static_cast<float>(input.y);
        event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        SDL_PushEvent(&event);
        break;
    }
    case ScriptedInput::PadButtonDown:
    case ScriptedInput::PadButtonUp:
        SDL_JoystickSetVirtualButton(pads[static_cast<std::size_t>(input.pad)], input.control,
                                     input.kind == ScriptedInput::PadButtonDown);
        break;
    case ScriptedInput::PadAxis: {
        // SDL reads a trigger's whole joystick range as 0 to 1.
        const bool trigger = input.control >= SDL_CONTROLLER_AXIS_TRIGGERLEFT;
        const double raw = trigger ? -32768 + input.value * 65535 : input.value * 32767;
        SDL_JoystickSetVirtualAxis(
            pads[static_cast<std::size_t>(input.pad)], input.control,
            static_cast<Sint16>(std::max(-32768L, std::min(32767L, std::lround(raw)))));
        break;
    }
    case ScriptedInput::Close:
        pushQuit();
        if (closeRequestedAt == 0) {
            closeRequestedAt = current;
        }
        break;
    }
}

} // namespace detail
} // namespace vantrel

bool Canvas::saveFrame(const std::string& path) {
    state->saveFrameError.clear();
    if (renderer == nullptr) {
        state->saveFrameError = "there is no frame to save before initWorld";
        return false;
    }
    // The window's frame, even while drawing goes into an image, read back
    // the same way as an image's pixels.
    const vantrel::detail::WindowTarget window(renderer);
    std::string cause;
    SDL_Surface* frame = vantrel::detail::readTarget(renderer, &cause);
    if (frame == nullptr) {
        state->saveFrameError = "cannot read the frame back: " + cause;
        return false;
    }
    const bool saved = vantrel::detail::savePng(frame, path, &cause);
    if (!saved) {
        // Whole or not at all: an earlier file at path stays as it was.
        state->saveFrameError = "cannot write \"" + path + "\": " + cause;
    }
    SDL_FreeSurface(frame);
    return saved;
}

const std::string& Canvas::getSaveFrameError() const { return state->saveFrameError; }
