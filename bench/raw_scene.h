#ifndef VANTREL_BENCH_RAW_SCENE_H
#define VANTREL_BENCH_RAW_SCENE_H

// The welcome scene written by hand against SDL2, SDL2_gfx and SDL2_ttf: the
// exact call sequence the canvas makes for it, with nothing in between. The
// benchmarks put the canvas next to this to show what the framework adds.

#include <SDL.h>
#include <SDL2_gfxPrimitives.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace raw {

struct Scene {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    TTF_Font* font = nullptr;
    Uint32 frameStart = 0;
    Uint32 period = 16;
    bool running = false;
};

// Starts SDL, audio and the font library the way the canvas does. Only a
// program that has no canvas calls this.
inline void startLibraries() {
    const Uint32 flags = SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK |
                         SDL_INIT_HAPTIC | SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS;
    if (SDL_Init(flags) == -1) {
        throw std::runtime_error(std::string("SDL_Init: ") + SDL_GetError());
    }
    if (Mix_OpenAudio(22050, AUDIO_S16LSB, 1, 1024) == -1) {
        throw std::runtime_error(std::string("Mix_OpenAudio: ") + SDL_GetError());
    }
    Mix_Init(0);
    Mix_Volume(-1, MIX_MAX_VOLUME);
    TTF_Init();
}

inline void stopLibraries() {
    Mix_CloseAudio();
    Mix_Quit();
    TTF_Quit();
    SDL_Quit();
}

// Opens the window, its renderer and the font, as initWorld and the canvas's
// constructor do.
inline void open(Scene& scene, const char* title, int x, int y, int width, int height,
                 const std::string& fontPath, int fontSize, std::uint8_t fps) {
    scene.font = TTF_OpenFont(fontPath.c_str(), fontSize);
    if (scene.font == nullptr) {
        throw std::runtime_error("TTF_OpenFont " + fontPath + ": " + SDL_GetError());
    }
    scene.window = SDL_CreateWindow(title, x, y, width, height, 0);
    if (scene.window == nullptr) {
        throw std::runtime_error(std::string("SDL_CreateWindow: ") + SDL_GetError());
    }
    scene.renderer = SDL_CreateRenderer(scene.window, -1, 0);
    if (scene.renderer == nullptr) {
        throw std::runtime_error(std::string("SDL_CreateRenderer: ") + SDL_GetError());
    }
    SDL_RenderSetLogicalSize(scene.renderer, width, height);
    SDL_SetRenderDrawColor(scene.renderer, 0, 0, 0, 255);
    scene.period = static_cast<Uint32>(1000.0 / fps);
}

inline void close(Scene& scene) {
    TTF_CloseFont(scene.font);
    SDL_DestroyRenderer(scene.renderer);
    SDL_DestroyWindow(scene.window);
    scene = Scene();
}

// start(): the running flag and the first frame stamp.
inline void start(Scene& scene) {
    scene.running = true;
    scene.frameStart = SDL_GetTicks();
}

// isRunning(): sleep out what is left of the period, stamp the next frame.
inline bool isRunning(Scene& scene) {
    const Uint32 deadline = scene.frameStart + scene.period;
    const Uint32 now = SDL_GetTicks();
    if (now < deadline) {
        SDL_Delay(deadline - now);
    }
    scene.frameStart = SDL_GetTicks();
    return scene.running;
}

// clear() on a grey background.
inline void clear(Scene& scene) {
    SDL_SetRenderDrawColor(scene.renderer, 128, 128, 128, 255);
    SDL_RenderClear(scene.renderer);
}

// The welcome line in blue at (150, 50), the two diagonals in black and the
// aqua disc: the same calls, in the same order, as the canvas makes.
inline void drawWelcome(Scene& scene) {
    const SDL_Color blue = {0, 0, 255, 255};
    SDL_Surface* surface = TTF_RenderText_Blended(scene.font, "Welcome to Korvel", blue);
    if (surface != nullptr) {
        SDL_Texture* texture = SDL_CreateTextureFromSurface(scene.renderer, surface);
        if (texture != nullptr) {
            SDL_Rect dst = {150, 50, 0, 0};
            SDL_QueryTexture(texture, nullptr, nullptr, &dst.w, &dst.h);
            SDL_RenderCopy(scene.renderer, texture, nullptr, &dst);
            SDL_DestroyTexture(texture);
        }
        SDL_FreeSurface(surface);
    }
    lineRGBA(scene.renderer, 0, 0, 639, 639, 0, 0, 0, 255);
    lineRGBA(scene.renderer, 639, 0, 0, 639, 0, 0, 0, 255);
    filledCircleRGBA(scene.renderer, 320, 320, 50, 0, 255, 255, 255);
}

// The event poll and present that end every frame of the demonstration loop.
inline void finishFrame(Scene& scene) {
    SDL_Event event;
    while (SDL_PollEvent(&event) == 1) {
        if (event.type == SDL_QUIT) {
            scene.running = false;
        }
    }
    SDL_RenderPresent(scene.renderer);
}

// Whether the canvas (the first window) and SCENE draw the very same
// frame, WIDTH x HEIGHT, or the comparison means nothing: drawCanvas() and
// drawRaw() each draw one frame after a clear, read back before it is
// presented. CANVAS_PIXELS keeps the canvas's frame (ARGB8888), for the
// caller to check that the scene is really there.
template <typename Canvas, typename DrawCanvas, typename DrawRaw>
bool sameFrame(Canvas& canvas, DrawCanvas drawCanvas, Scene& scene, DrawRaw drawRaw, int width,
               int height, std::vector<Uint32>& canvasPixels) {
    SDL_Renderer* canvasRenderer = SDL_GetRenderer(SDL_GetWindowFromID(1));
    if (canvasRenderer == nullptr || canvasRenderer == scene.renderer) {
        return false;
    }
    const auto count = static_cast<std::size_t>(width * height);
    canvasPixels.assign(count, 0);
    std::vector<Uint32> rawPixels(count);
    canvas.clear();
    drawCanvas();
    SDL_RenderReadPixels(canvasRenderer, nullptr, SDL_PIXELFORMAT_ARGB8888, canvasPixels.data(),
                         width * 4);
    canvas.update();
    clear(scene);
    drawRaw();
    SDL_RenderReadPixels(scene.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, rawPixels.data(),
                         width * 4);
    SDL_RenderPresent(scene.renderer);
    return canvasPixels == rawPixels;
}

} // namespace raw

#endif
