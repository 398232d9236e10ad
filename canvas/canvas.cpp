// Canvas lifecycle and frame loop: the singleton, set-up, pacing, queries,
// colours, fonts and tear-down.

#include "canvas/canvas.h"

#include "canvas/assets.h"
#include "canvas/recording.h"
#include "canvas/renderer_choice.h"
#include "canvas/failure.h"
#include "canvas/signals.h"
#include "canvas/state.h"

#include <cstdlib>
#include <cstdio>
#include <exception>
#include <iostream>
#include <utility>

#ifndef VANTREL_DEFAULT_FONT_PATH
#error "VANTREL_DEFAULT_FONT_PATH must name the default font file (set by the build)"
#endif

const std::string DEFAULT_FONT = VANTREL_DEFAULT_FONT_PATH;

namespace {

// Every SDL subsystem the canvas relies on, sensors aside.
constexpr Uint32 INIT_FLAGS = SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK |
                              SDL_INIT_HAPTIC | SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS;

// Mixer format: 22050 Hz, signed 16-bit little-endian, mono, 1024-sample chunks.
constexpr int AUDIO_FREQUENCY = 22050;
constexpr Uint16 AUDIO_SAMPLE_FORMAT = AUDIO_S16LSB;
constexpr int AUDIO_CHANNELS = 1;
constexpr int AUDIO_CHUNK_SIZE = 1024;

// Set-up failures are thrown as plain messages and nobody catches them. The
// C++ runtime would print only the exception's type ("terminate called after
// throwing an instance of 'char const*'"), so this handler prints the message
// itself, once, and ends the process abnormally as the runtime would.
[[noreturn]] void reportUncaughtMessage() {
    if (std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const char* message) {
            std::fprintf(stderr, "%s\n", message);
        } catch (const std::string& message) {
            std::fprintf(stderr, "%s\n", message.c_str());
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
        } catch (...) {
            std::fprintf(stderr, "Vantrel: the program ended on an exception of unknown type\n");
        }
    } else {
        std::fprintf(stderr, "Vantrel: std::terminate was called\n");
    }
    std::fflush(stderr);
    std::abort();
}

// SDL falls back to its offscreen or dummy video driver when no display can
// be opened, which gives a window nobody can see. Unless the user chose a
// driver on purpose (SDL_VIDEODRIVER), that is a failure to set up, and
// standard error says why.
bool invisibleFallback() {
    const char* chosen = SDL_getenv("SDL_VIDEODRIVER");
    if (chosen != nullptr && chosen[0] != '\0') {
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr ||
        (SDL_strcmp(driver, "offscreen") != 0 && SDL_strcmp(driver, "dummy") != 0)) {
        return false;
    }
    std::fprintf(stderr,
                 "Vantrel: no display found (SDL could only open its invisible \"%s\" video "
                 "driver; is DISPLAY set?). To run without a window on purpose, set "
                 "SDL_VIDEODRIVER=dummy.\n",
                 driver);
    std::fflush(stderr);
    return true;
}

// Said before the audio set-up failure is thrown (whose message stays as it
// is): lab desktops reached remotely, virtual machines and containers often
// have no sound card, and a learner needs to know the way round it.
void explainAudioFailure() {
#ifdef _WIN32
    const char* example = "set SDL_AUDIODRIVER=dummy";
#else
    const char* example = "SDL_AUDIODRIVER=dummy ./my-game";
#endif
    const char* chosen = SDL_getenv("SDL_AUDIODRIVER");
    if (chosen != nullptr && chosen[0] != '\0') {
        std::fprintf(stderr,
                     "Vantrel: the sound driver SDL_AUDIODRIVER=%s could not be opened. To run "
                     "this program without sound, set SDL_AUDIODRIVER=dummy instead.\n",
                     chosen);
    } else {
        std::fprintf(stderr,
                     "Vantrel: no sound device could be opened (this machine has no sound card, "
                     "or none this user may use). To run this program without sound, set "
                     "SDL_AUDIODRIVER=dummy when starting it, for example: %s\n",
                     example);
    }
    std::fflush(stderr);
}

// SDL queues drawing commands and hands them to the graphics driver in
// batches, which lets it draw the thousand vertical runs of a screenful of
// discs in one go, unless a render driver is named (SDL_RENDER_DRIVER, as the
// tests and the recording mode name "software"): then every shape is sent on
// its own, three to four times as slowly on OpenGL. The canvas never talks to
// the driver behind SDL's back, so it asks for batches whatever the driver;
// the pixels are the same. A program or an environment that sets
// SDL_RENDER_BATCHING itself keeps its own choice (a hint at default
// priority gives way to both).
void keepDrawingBatched() {
    SDL_SetHintWithPriority(SDL_HINT_RENDER_BATCHING, "1", SDL_HINT_DEFAULT);
}

} // namespace

Canvas& Canvas::getInstance() {
    // A function-local static is built once even when threads race for it,
    // is built again on the next call if construction throws, and is
    // destroyed at exit only once it has been fully built.
    static Canvas instance;
    return instance;
}

Canvas::Canvas()
    : window(nullptr), renderer(nullptr), frameStart(0), fps(DEFAULT_FPS), fonts(),
      background(DEFAULT_BACKGROUND), foreground(DEFAULT_FOREGROUND), sound(nullptr),
      initialized(false), running(false), defaultFont(-1), state(new vantrel::detail::State()) {
    std::set_terminate(reportUncaughtMessage);
    TTF_Init();
    defaultFont = loadFont(DEFAULT_FONT, DEFAULT_FONT_SIZE);
}

Canvas::~Canvas() {
    if (state->recorder != nullptr) {
        // A recording that saved fewer frames than asked for says why, so
        // that a missing frame file is not a mystery to whoever ran it.
        const std::string unsaved = state->recorder->unsavedReport();
        if (!unsaved.empty()) {
            std::fprintf(stderr, "%s\n", unsaved.c_str());
        }
    }
    for (TTF_Font* font : fonts) {
        TTF_CloseFont(font);
    }
    fonts.clear();
    // A sample still in the slot is halted and freed while the mixer is
    // still open; otherwise every program that exits with a sound loaded
    // would leak it.
    if (sound != nullptr) {
        stopSound();
    }
    closeEffectsAndMusic(); // freed, like the sample, while the mixer is open
    Mix_CloseAudio();
    Mix_Quit();
    vantrel::detail::stopInput(state->input);
    // Textures belong to the renderer: they go first.
    freeImages();
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    // SDL_Quit takes its own handlers away only if they are the ones in place.
    vantrel::detail::releaseStopRequests();
    SDL_Quit();
}

void Canvas::initWorld(int x, int y, int width, int height, const char* title,
                       const std::string& fontName, int fontSize, const Color& background,
                       const Color& foreground, std::uint8_t fps) {
    std::cout << "initWorld called" << std::endl;
    if (initialized) {
        vantrel::detail::fail("Sorry, you can only use an initializeWorld function once!");
    }
    if (fps == 0) {
        // Rejected before the canvas counts as set up, so a corrected call may follow.
        vantrel::detail::fail("Frame rate must be between 1 and 255");
    }
    initialized = true;

    // The recording mode is asked for from outside the program; it runs
    // headless, so it chooses SDL's drivers before SDL starts.
    vantrel::detail::RecordingSettings recording = vantrel::detail::readRecordingSettings();
    if (recording.on) {
        vantrel::detail::Recorder::useHeadlessDrivers();
        // Two recorded runs must draw the same frames, random numbers too.
        setRandomSeed(1);
    }

    if (SDL_Init(INIT_FLAGS) == -1) {
        std::fprintf(stderr, "Vantrel: SDL_Init failed: %s\n", SDL_GetError());
        vantrel::detail::fail("SDL Initialization failed");
    }
    if (invisibleFallback()) {
        vantrel::detail::fail("SDL Initialization failed");
    }
    // Ctrl+C and SIGTERM: in front of the handlers SDL_Init has just set.
    vantrel::detail::catchStopRequests();
    if (Mix_OpenAudio(AUDIO_FREQUENCY, AUDIO_SAMPLE_FORMAT, AUDIO_CHANNELS, AUDIO_CHUNK_SIZE) ==
        -1) {
        const std::string reason = SDL_GetError();
        explainAudioFailure();
        vantrel::detail::fail("SDL Audio setup failed with error " + reason);
    }
    if (Mix_Init(0) != 0) {
        vantrel::detail::fail("SDL audio library missing");
    }
    Mix_Volume(-1, MIX_MAX_VOLUME);
    openEffects(); // the effect channels; sounds loaded before now are decoded
    TTF_Init();

    vantrel::detail::chooseRenderDriver();
    window = SDL_CreateWindow(title, x, y, width, height, 0);
    if (window == nullptr) {
        vantrel::detail::fail("Failed to create SDL Window");
    }
    keepDrawingBatched();
    renderer = SDL_CreateRenderer(window, -1, 0);
    vantrel::detail::releaseRenderProbe();
    if (renderer == nullptr) {
        vantrel::detail::fail("Failed to create SDL Renderer");
    }
    SDL_RenderSetLogicalSize(renderer, width, height);
    state->input.window = SDL_GetWindowID(window);
    vantrel::detail::startInput(state->input);

    setBackgroundColor(background);
    setForegroundColor(foreground);
    this->fps = fps;

    if (recording.on) {
        // Both are checked now, so that a mistake stops the run before the
        // first frame.
        vantrel::detail::loadInputScript(recording);
        state->recorder.reset(new vantrel::detail::Recorder(std::move(recording)));
        state->recorder->checkOutput();
    }
    if (state->fullscreen) {
        setFullscreen(true); // asked for before the window was there
    }

    if (fontName != DEFAULT_FONT || fontSize != DEFAULT_FONT_SIZE) {
        const FontId chosen = loadFont(fontName, fontSize);
        if (chosen != -1) {
            defaultFont = chosen;
        }
    }
}

void Canvas::start() {
    state->started = true;
    running = true;
    markFrameStart();
    vantrel::detail::startClock(*state, fps);
}

void Canvas::quit() { running = false; }

bool Canvas::isRunning() {
    if (!state->started && !state->toldNotStarted) {
        // A loop whose start() was forgotten would end at once without a word.
        state->toldNotStarted = true;
        std::fprintf(stderr, "Vantrel: isRunning() was called before start(), so the frame loop "
                             "never started: call canvas.start() once, just before the loop "
                             "(start(); while (isRunning()) { ... update(); })\n");
    }
    waitForFrame();
    markFrameStart();
    // Events come in at the fitting scale, so their mouse positions are
    // exact window pixels whatever the camera's zoom.
    applyZoom(1.0);
    if (state->recorder != nullptr && running && !state->recorder->startFrame(window)) {
        running = false;
    }
    // The new frame's times and keyboard and mouse state
    // (canvas/clock.cpp, canvas/input.cpp).
    vantrel::detail::tickClock(*state, fps);
    vantrel::detail::rollInput(state->input);
    applyZoom(state->zoom);
    return running;
}

void Canvas::markFrameStart() { frameStart = SDL_GetTicks(); }

void Canvas::waitForFrame() {
    if (state->recorder != nullptr) {
        return; // a fixed clock: recorded frames follow each other at once
    }
    // Whole milliseconds: 60 fps gives 16 ms, 30 gives 33, 255 gives 3.
    const Uint32 period = static_cast<Uint32>(1000.0 / fps);
    const Uint32 deadline = frameStart + period;
    const Uint32 now = SDL_GetTicks();
    if (now < deadline) {
        // The sleep ends in isRunning's pump: a Ctrl+C during it is seen.
        vantrel::detail::markTakingEvents(deadline - now);
        SDL_Delay(deadline - now);
    }
}

bool Canvas::pollEvent(SDL_Event* event) {
    if (window == nullptr) {
        return false;
    }
    // Events come in at the fitting scale, so their mouse positions are
    // exact window pixels whatever the camera's zoom.
    applyZoom(1.0);
    const bool taken = SDL_PollEvent(event) == 1;
    vantrel::detail::markTakingEvents();
    applyZoom(state->zoom);
    return taken;
}

void Canvas::clear() {
    if (state->drawingInto == 0 && window != nullptr &&
        (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0) {
        // Black bars beside the picture, which fills the viewport SDL fitted.
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        SDL_SetRenderDrawColor(renderer, background.getRed(), background.getGreen(),
                               background.getBlue(), background.getAlpha());
        SDL_RenderFillRect(renderer, nullptr);
    } else {
        SDL_SetRenderDrawColor(renderer, background.getRed(), background.getGreen(),
                               background.getBlue(), background.getAlpha());
        SDL_RenderClear(renderer);
    }
}

void Canvas::update() {
    // A frame ends in the window: a program that left drawing in an image
    // would otherwise clear that image at the next frame's clear().
    drawIntoWindow();
    const bool recordingGoesOn =
        state->recorder == nullptr || state->recorder->endFrame([this](const std::string& file) {
            return saveFrame(file) ? std::string() : state->saveFrameError;
        });
    if (!recordingGoesOn) {
        std::exit(1); // the recorder said why
    }
    SDL_RenderPresent(renderer);
}

int Canvas::getFPS() { return fps; }

void Canvas::setBackgroundColor(const Color& c) { background = c; }

void Canvas::setForegroundColor(const Color& c) {
    foreground = c;
    SDL_SetRenderDrawColor(renderer, foreground.getRed(), foreground.getGreen(),
                           foreground.getBlue(), foreground.getAlpha());
}

FontId Canvas::loadFont(std::string path, int size) {
    // A relative path is also looked for beside the program.
    const vantrel::detail::AssetPath lookup = vantrel::detail::findAsset(path);
    TTF_Font* pFont = lookup.found ? TTF_OpenFont(lookup.path.c_str(), size) : nullptr;
    if (pFont == nullptr) {
        state->fontError = !lookup.found
                               ? vantrel::detail::notFoundMessage(path, lookup)
                               : "Couldn't open \"" + lookup.path + "\" as a font in size " +
                                     std::to_string(size) + ": " + TTF_GetError();
        return -1;
    }
    state->fontError.clear();
    fonts.push_back(pFont);
    return static_cast<FontId>(fonts.size());
}

const std::string& Canvas::getFontError() const { return state->fontError; }
