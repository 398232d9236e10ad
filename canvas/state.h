#ifndef VANTREL_CANVAS_STATE_H
#define VANTREL_CANVAS_STATE_H

// What the canvas's parts keep between calls: keyboard and mouse, the frame
// clock, images and the images drawn into, the camera, sound effects and
// music, the recording mode. The canvas holds it all through one pointer
// (Canvas::state), made and destroyed in canvas/canvas.cpp, so that
// canvas/canvas.h shows programs the API and nothing else. Internal to the
// canvas; not installed.

#include "canvas/canvas.h"

#include <climits>
#include <cstdint>
#include <memory>
#include <map>
#include <string>
#include <vector>

namespace vantrel {
namespace detail {

class Recorder;

// value - by, kept within int: where a drawing call's coordinate lands once
// the camera has moved it.
inline int shiftedBy(int value, int by) {
    const long long moved = static_cast<long long>(value) - by;
    return moved < INT_MIN ? INT_MIN : moved > INT_MAX ? INT_MAX : static_cast<int>(moved);
}

// One loaded image. Decoded before initWorld, it waits as a surface until
// its first draw makes the texture.
struct Image {
    SDL_Texture* texture;
    SDL_Surface* pending;
    int width;
    int height;
    std::uint8_t alpha;
    // The texture can be drawn into (made by createImage, or a loaded image
    // turned into one by drawInto).
    bool drawable;
    // What it held when drawing into it last ended, where the graphics
    // driver can lose that (Direct3D); else none.
    SDL_Surface* kept;
};

// One loaded sound effect. Loaded before initWorld, it waits as the file's
// bytes until the audio opens and it can be decoded.
struct Effect {
    Mix_Chunk* chunk;
    std::vector<std::uint8_t> pending;
    std::string path;
};

// A tone playTone made: its samples, in the mixer's format, and the chunk
// that plays them on an effect channel; freed once the channel is done.
struct Tone {
    Mix_Chunk* chunk;
    std::vector<std::uint8_t> samples;
    int channel;
};

// Game controllers (canvas/gamepads.cpp), kept as the keys are: the event
// watch opens pads as they connect and writes their live state, rollInput()
// copies it into the frame's. Fixed arrays: a frame allocates nothing.
struct GamepadState {
    static constexpr int PADS = 8; // more connected are not counted
    static constexpr int BUTTONS = SDL_CONTROLLER_BUTTON_MAX;
    static constexpr int AXES = SDL_CONTROLLER_AXIS_MAX;
    // Pads in the order they connected, count of them open now.
    SDL_GameController* controllers[PADS];
    SDL_JoystickID ids[PADS];
    std::uint8_t buttons[PADS][BUTTONS]; // bits HELD, PRESSED, RELEASED
    Sint16 axes[PADS][AXES];             // SDL's raw readings
    int count;
    std::uint8_t frameButtons[PADS][BUTTONS];
    Sint16 frameAxes[PADS][AXES];
    int frameCount;
    // Taken away since the last roll, closed there.
    SDL_GameController* closing[PADS];
    int closingCount;
};

// A key's, a mouse button's or a gamepad button's state, as bits: HELD
// (down now), PRESSED and RELEASED (since the last roll); keys also have
// TYPED (canvas/input.cpp).
constexpr std::uint8_t HELD = 1;
constexpr std::uint8_t PRESSED = 2;
constexpr std::uint8_t RELEASED = 4;
inline void press(std::uint8_t& state) {
    state = static_cast<std::uint8_t>(state | HELD | PRESSED);
}
inline void release(std::uint8_t& state) {
    state = static_cast<std::uint8_t>((state & ~HELD) | RELEASED);
}
// Copies the live states into the frame's and keeps only HELD in the live
// ones. True when any state had more than HELD: the next roll must run too.
inline bool roll(std::uint8_t* live, std::uint8_t* frame, int count) {
    std::uint8_t edges = 0;
    for (int i = 0; i < count; ++i) {
        frame[i] = live[i];
        edges = static_cast<std::uint8_t>(edges | live[i]);
        live[i] = static_cast<std::uint8_t>(live[i] & HELD);
    }
    return (edges & ~HELD) != 0;
}

// Keyboard and mouse state (canvas/input.cpp). The event watch writes the
// live fields as events enter SDL's queue; rollInput() copies them into the
// frame's fields at the start of each frame. Fixed arrays and two text
// buffers that keep their room: a frame allocates nothing.
struct InputState {
    // Mouse buttons 1-15 are kept; SDL numbers the usual five 1-5.
    static constexpr int BUTTONS = 16;
    // Per key (by scancode) and per button: bits HELD (down now), PRESSED,
    // RELEASED and, for keys, TYPED (since the last roll).
    std::uint8_t keys[SDL_NUM_SCANCODES];
    std::uint8_t frameKeys[SDL_NUM_SCANCODES];
    std::uint8_t buttons[BUTTONS];
    std::uint8_t frameButtons[BUTTONS];
    int mouseX, mouseY, wheel;
    int frameMouseX, frameMouseY, frameWheel;
    bool keysChanged;   // a key event arrived since the last roll
    bool frameKeyEdges; // frameKeys holds presses or releases
    bool watching;      // the event watch is installed
    // The camera's zoom the renderer's scale holds, with which SDL turns the
    // mouse events into picture pixels: the watch multiplies them back by
    // it, and sets it to 1 when SDL puts the fitting scale back (a resize).
    double mouseZoom;
    Uint32 window;          // the window's id, set before startInput
    std::string text;       // typed since the last roll, UTF-8
    std::string frameText;  // typed before the frame started
    std::string edits;      // text, and '\b' for each Backspace typed
    std::string frameEdits; // edits before the frame started
    GamepadState pads;      // game controllers (canvas/gamepads.cpp)
};

// Frame times (canvas/clock.cpp). Every reading of the clock goes through
// clockSeconds().
struct FrameClock {
    // Frame starts of about the last second; 334 frames a second is the most
    // a 3 ms period allows.
    static constexpr int STAMPS = 512;
    double stamps[STAMPS];
    int newest;       // index of the latest frame start in stamps
    int count;        // frame starts kept, at most STAMPS
    double origin;    // clock reading when start() was first called
    double frameTime; // seconds between the last two frame starts
    bool started;     // start() has been called
    Uint64 base;      // performance counter at the first reading
    bool based;
};

// How far drawing coordinates are moved: the camera's offset, or none.
struct Offset {
    int x;
    int y;
};

// Everything but the window, the renderer, the pacing, the fonts, the
// colours and the one-sample slot, which the canvas keeps itself.
struct State {
    InputState input{};
    FrameClock frameClock{};

    std::vector<Image> images;
    std::string imageError;
    // The recording mode, when VANTREL_RECORD=1 asked for it; else none.
    std::unique_ptr<Recorder> recorder;
    std::string saveFrameError;
    std::string fontError;       ///< why the last loadFont failed, naming the file
    bool started = false;        ///< start() has been called
    bool toldNotStarted = false; ///< the forgotten start() has been reported

    // Effects and music. The effect channels come after the mixer's usual
    // eight, which the slot keeps to.
    std::vector<Effect> effects;
    std::vector<Tone> tones;
    // Saved data (canvas/saved.cpp): read from its file at the first call.
    bool savedRead = false;
    std::string savedFile;
    std::map<std::string, double> savedNumbers;
    std::map<std::string, std::string> savedTexts;
    bool toldToneClamped = false; // a tone beyond the limits has been reported
    std::string soundError;
    // Why the last loadSound failed, kept apart from the music's failures:
    // what playEffect(-1) names.
    std::string effectLoadError;
    Mix_Music* music = nullptr;
    double effectsVolume = 1.0;
    double musicVolume = 1.0;
    // The volume each effect channel's effect was started at (0-1), by
    // channel from the first effect channel.
    double effectVolumes[MAX_EFFECTS_AT_ONCE] = {};
    bool effectsOpen = false; // the mixer is open and the channels set up

    // Images you draw into (canvas/targets.cpp) and the camera
    // (canvas/camera.cpp). Every drawing call takes its coordinates through
    // viewX and viewY, which subtract the offset of what is drawn into now:
    // the camera's for the window, none for an image.
    Offset camera = {0, 0};
    Offset view = {0, 0};
    ImageId drawingInto = 0; // 0: the window
    // The camera's zoom (1: none), applied as the renderer's scale on top of
    // the scale that fits the picture to the window (input.mouseZoom says
    // what the renderer holds now).
    double zoom = 1.0;
    bool fullscreen = false;
    // Widgets (canvas/widgets.cpp): the one pressed on, by its place and
    // size, while the left button is held; and their font, opened at first use.
    long long widgetHeld = 0;
    FontId widgetFont = 0;
    bool watchingTargets = false;
    // Set by the event watch when the graphics driver lost what its render
    // targets held, or all its textures; mended at the next image call.
    bool targetsLost = false;
    bool texturesLost = false;
};

// Keyboard and mouse (canvas/input.cpp): startInput installs the event
// watch once the renderer is made, stopInput takes it away, and rollInput
// starts a frame's answers.
void startInput(InputState& input);
void stopInput(InputState& input);
void rollInput(InputState& input);
// Game controllers (canvas/gamepads.cpp), called by those three and by the
// event watch with every event it sees.
void startGamepads(GamepadState& pads);
void watchGamepads(GamepadState& pads, const SDL_Event& event);
void rollGamepads(GamepadState& pads);
void stopGamepads(GamepadState& pads);

// Frame times (canvas/clock.cpp), on the recording mode's fixed clock of
// fps frames a second when there is one: startClock begins a series of
// frames, tickClock starts the next frame.
void startClock(State& state, std::uint8_t fps);
void tickClock(State& state, std::uint8_t fps);

} // namespace detail
} // namespace vantrel

// Inline, as they were in the class: every drawing call goes through them.
inline int Canvas::viewX(int x) const { return vantrel::detail::shiftedBy(x, state->view.x); }
inline int Canvas::viewY(int y) const { return vantrel::detail::shiftedBy(y, state->view.y); }

#endif
