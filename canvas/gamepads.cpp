// Game controllers through SDL's game-controller API, answered like the keyboard.
// The event watch of canvas/input.cpp hands every event to watchGamepads,
// which opens a pad as it connects and writes its buttons and axes as they
// change; rollGamepads copies that into the frame's state at the start of
// each frame, so every answer holds for the whole frame. Pads are numbered
// from 0 in the order they connected; when one goes, the later ones move
// down one.

#include "canvas/canvas.h"

#include "canvas/state.h"

namespace {

using vantrel::detail::GamepadState;
using vantrel::detail::HELD;
using vantrel::detail::PRESSED;
using vantrel::detail::RELEASED;

// Axis readings nearer the centre than this (of 32767) read 0: a resting
// stick is seldom exactly centred.
constexpr int DEAD_ZONE = 8000;

int slotOf(const GamepadState& pads, SDL_JoystickID id) {
    for (int i = 0; i < pads.count; ++i) {
        if (pads.ids[i] == id) {
            return i;
        }
    }
    return -1;
}

// Opens the controller at SDL's device index as the next pad, with the
// buttons and axes it shows now (held, but no press). A pad already open,
// or one past the eighth, is left alone.
void addPad(GamepadState& pads, int device) {
    if (pads.count == GamepadState::PADS ||
        slotOf(pads, SDL_JoystickGetDeviceInstanceID(device)) >= 0 ||
        !SDL_IsGameController(device)) {
        return;
    }
    SDL_GameController* controller = SDL_GameControllerOpen(device);
    if (controller == nullptr) {
        return;
    }
    const int pad = pads.count++;
    pads.controllers[pad] = controller;
    pads.ids[pad] = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    for (int b = 0; b < GamepadState::BUTTONS; ++b) {
        const auto button = static_cast<SDL_GameControllerButton>(b);
        pads.buttons[pad][b] = SDL_GameControllerGetButton(controller, button) ? HELD : 0;
    }
    for (int a = 0; a < GamepadState::AXES; ++a) {
        pads.axes[pad][a] =
            SDL_GameControllerGetAxis(controller, static_cast<SDL_GameControllerAxis>(a));
    }
}

// Takes the pad away and moves the later ones down. Its controller is closed
// at the next roll, outside SDL's own handling of the removal.
void removePad(GamepadState& pads, SDL_JoystickID id) {
    const int pad = slotOf(pads, id);
    if (pad < 0) {
        return;
    }
    if (pads.closingCount < GamepadState::PADS) {
        pads.closing[pads.closingCount++] = pads.controllers[pad];
    } else {
        SDL_GameControllerClose(pads.controllers[pad]);
    }
    for (int i = pad; i + 1 < pads.count; ++i) {
        pads.controllers[i] = pads.controllers[i + 1];
        pads.ids[i] = pads.ids[i + 1];
        SDL_memcpy(pads.buttons[i], pads.buttons[i + 1], sizeof pads.buttons[i]);
        SDL_memcpy(pads.axes[i], pads.axes[i + 1], sizeof pads.axes[i]);
    }
    --pads.count;
}

std::uint8_t buttonState(const GamepadState& pads, int pad, int button) {
    const bool there =
        pad >= 0 && pad < pads.frameCount && button >= 0 && button < GamepadState::BUTTONS;
    return there ? pads.frameButtons[pad][button] : 0;
}

} // namespace

namespace vantrel {
namespace detail {

void startGamepads(GamepadState& pads) {
    // Their SDL_CONTROLLERDEVICEADDED events were queued in SDL_Init,
    // before the watch was there to see them.
    for (int device = 0; device < SDL_NumJoysticks(); ++device) {
        addPad(pads, device);
    }
}

void watchGamepads(GamepadState& pads, const SDL_Event& event) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        addPad(pads, event.cdevice.which); // a device index
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        removePad(pads, event.cdevice.which); // an instance id
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        const int pad = slotOf(pads, event.cbutton.which);
        if (pad >= 0 && event.cbutton.button < GamepadState::BUTTONS) {
            std::uint8_t& state = pads.buttons[pad][event.cbutton.button];
            if (event.type == SDL_CONTROLLERBUTTONDOWN) {
                vantrel::detail::press(state);
            } else {
                vantrel::detail::release(state);
            }
        }
        break;
    }
    case SDL_CONTROLLERAXISMOTION: {
        const int pad = slotOf(pads, event.caxis.which);
        if (pad >= 0 && event.caxis.axis < GamepadState::AXES) {
            pads.axes[pad][event.caxis.axis] = event.caxis.value;
        }
        break;
    }
    default:
        break;
    }
}

void rollGamepads(GamepadState& pads) {
    for (int i = 0; i < pads.closingCount; ++i) {
        SDL_GameControllerClose(pads.closing[i]);
    }
    pads.closingCount = 0;
    pads.frameCount = pads.count;
    for (int pad = 0; pad < pads.count; ++pad) {
        vantrel::detail::roll(pads.buttons[pad], pads.frameButtons[pad], GamepadState::BUTTONS);
        SDL_memcpy(pads.frameAxes[pad], pads.axes[pad], sizeof pads.axes[pad]);
    }
}

void stopGamepads(GamepadState& pads) {
    rollGamepads(pads); // closes those already taken away
    for (int pad = 0; pad < pads.count; ++pad) {
        SDL_GameControllerClose(pads.controllers[pad]);
    }
    pads.count = 0;
    pads.frameCount = 0;
}

} // namespace detail
} // namespace vantrel

int Canvas::getGamepadCount() { return state->input.pads.frameCount; }

bool Canvas::isGamepadButtonDown(int pad, int button) {
    return (buttonState(state->input.pads, pad, button) & HELD) != 0;
}

bool Canvas::wasGamepadButtonPressed(int pad, int button) {
    return (buttonState(state->input.pads, pad, button) & PRESSED) != 0;
}

bool Canvas::wasGamepadButtonReleased(int pad, int button) {
    return (buttonState(state->input.pads, pad, button) & RELEASED) != 0;
}

double Canvas::getGamepadAxis(int pad, int axis) {
    const GamepadState& pads = state->input.pads;
    if (pad < 0 || pad >= pads.frameCount || axis < 0 || axis >= GamepadState::AXES) {
        return 0;
    }
    // The rest of the way past the dead zone, scaled to reach 1 at the end.
    const int raw = pads.frameAxes[pad][axis];
    const int size = raw < 0 ? -raw : raw;
    if (size < DEAD_ZONE) {
        return 0;
    }
    const double far = static_cast<double>(size - DEAD_ZONE) / (SDL_JOYSTICK_AXIS_MAX - DEAD_ZONE);
    const double value = far > 1 ? 1 : far;
    return raw < 0 ? -value : value;
}
