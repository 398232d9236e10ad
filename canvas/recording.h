#ifndef VANTREL_CANVAS_RECORDING_H
#define VANTREL_CANVAS_RECORDING_H

// The recording mode's settings and input script: read from the VANTREL_*
// environment variables once, when the canvas is set up. Internal to the
// canvas; not installed.

#include <SDL.h>

#include <functional>
#include <istream>
#include <string>
#include <vector>

namespace vantrel {
namespace detail {

/// One line of an input script: something that happens at the start of a frame.
struct ScriptedInput {
    enum Kind {
        KeyDown,
        KeyUp,
        KeyRepeat,
        Text,
        MouseMove,
        MouseDown,
        MouseUp,
        MouseClick,
        MouseWheel,
        PadButtonDown,
        PadButtonUp,
        PadAxis,
        Close
    };
    long frame = 0; ///< 1 is the first frame
    Kind kind = Close;
    SDL_Keycode key = SDLK_UNKNOWN;
    int x = 0; ///< MouseMove: the position; MouseWheel: the steps in y
    int y = 0;
    Uint8 button = 0; ///< SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE or SDL_BUTTON_RIGHT
    int line = 0;     ///< where it was written, for messages
    std::string text; ///< Text: what is typed, UTF-8
    int pad = 0;      ///< PadButtonDown, PadButtonUp, PadAxis: 0-7
    int control = 0;  ///< SDL_CONTROLLER_BUTTON_* or SDL_CONTROLLER_AXIS_*
    double value = 0; ///< PadAxis: -1 to 1 (triggers 0 to 1)
};

/// Everything the recording mode was asked for.
struct RecordingSettings {
    bool on = false;
    long frames = 0;              ///< stop after this many frames; 0: no limit
    std::vector<long> saveFrames; ///< frame numbers to save, ascending
    long saveEvery = 0;           ///< save every k-th frame (k, 2k, ...); 0: none
    std::string pattern = "frame-%04d.png";
    std::string inputFile;
    std::vector<ScriptedInput> script; ///< ordered by frame, then by line
};

/// Reads the settings from VANTREL_RECORD, VANTREL_FRAMES,
/// VANTREL_SAVE_FRAMES, VANTREL_FRAME_PATTERN and VANTREL_INPUT (the script
/// itself is read later, by loadInputScript). With VANTREL_RECORD unset (or
/// not "1") nothing is read and `on` is false. Throws a std::string naming
/// the variable and what was expected when a value cannot be used.
RecordingSettings readRecordingSettings();

/// Reads settings.inputFile, if any, into settings.script. Key names are
/// SDL's, so SDL's video subsystem must be running. Throws
/// "FILE:LINE: expected ..., found ..." on the first line it cannot read.
void loadInputScript(RecordingSettings& settings);

/// Parses an input script; throws "FILE:LINE: expected ..., found ...".
std::vector<ScriptedInput> parseInputScript(std::istream& in, const std::string& fileName);

/// Parses "3,10,42" or "every:K" into settings; throws a message on error.
void parseSaveFrames(const std::string& list, RecordingSettings& settings);

/// Checks a printf-style file name pattern: exactly one integer conversion
/// (%d or %i, with optional 0 flag and width), "%%" for a percent sign, and
/// nothing else after a '%'. Throws a message on error.
void checkFramePattern(const std::string& pattern);

/// The file name for frame number `frame`.
std::string frameFileName(const std::string& pattern, long frame);

/// Whether frame number `frame` is one of the frames to save.
bool isFrameToSave(const RecordingSettings& settings, long frame);

/// The recording mode at run time: counts frames, pushes the scripted input
/// at the start of its frame, asks the program to close after the last
/// frame and saves the frames asked for.
class Recorder {
public:
    /// Attaches a virtual game controller for each pad up to the highest
    /// the script names, so that its lines take SDL's real event path.
    explicit Recorder(RecordingSettings settings);

    /// Makes SDL use its dummy video and audio drivers and the software
    /// renderer; called before SDL starts.
    static void useHeadlessDrivers();

    /// Checks, before the first frame, that the first frame to save can be
    /// written. Throws a message naming the file and the reason.
    void checkOutput() const;

    /// At the start of every frame: pushes this frame's scripted input and,
    /// at the last frame, the close request. Returns false when the program
    /// has ignored the close request for too long and must stop now.
    bool startFrame(SDL_Window* window);

    /// At every update(), the recording's one end-of-frame seam: counts the
    /// update (frameEnded) and, when this frame is one to save, hands its
    /// file to save, which returns "" or why it failed; a failure ends the
    /// program with a message naming the frame. Returns false as frameEnded
    /// does.
    bool endFrame(const std::function<std::string(const std::string& file)>& save);

    /// The file to save the current frame to, or "" when it is not saved.
    std::string frameToSave() const;

    /// Notes that the current frame was saved (after frameToSave named it).
    void frameSaved();

    /// At every update(): returns false, after saying why on standard error,
    /// once update() has been called so often without isRunning() that the
    /// program's loop never asks it (the recording then counts no frame and
    /// would never end the program).
    bool frameEnded();

    /// When the program ends: "" if every frame asked for was saved, else
    /// one line saying which were not and why (the program never counted a
    /// frame, ended too early, or did not call update() in that frame).
    std::string unsavedReport() const;

    /// Frames started so far (1 during the first frame).
    long frame() const { return current; }

private:
    void push(const ScriptedInput& input, SDL_Window* window);

    RecordingSettings settings;
    long current = 0;
    std::size_t nextInput = 0;
    long closeRequestedAt = 0;
    long updatesInFrame = 0; ///< update() calls since isRunning() last started a frame
    std::vector<long> saved; ///< frames saved so far, ascending
    int mouseX = 0;
    int mouseY = 0;
    std::vector<SDL_Joystick*> pads; ///< the virtual pads, by script number
};

} // namespace detail
} // namespace vantrel

#endif
