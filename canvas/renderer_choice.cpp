// Choosing SDL's software renderer where OpenGL is only a software
// rasteriser. SDL's OpenGL renderer is made for graphics cards: on llvmpipe
// every line and every run of a disc goes through a whole GPU pipeline
// emulated on the processor, several times more slowly than SDL's software
// renderer draws the same pixels. SDL itself cannot tell, so the canvas asks
// OpenGL its name once, from a hidden window, before the real one is made.

#include "canvas/renderer_choice.h"

#include "canvas/canvas.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace vantrel {
namespace detail {

#ifndef __EMSCRIPTEN__
namespace {

// The probe holds a reference to the OpenGL library (SDL counts them).
bool glKept = false;

// True when SDL's first render driver, the one SDL_CreateRenderer(window,
// -1, 0) tries first, draws with OpenGL. Elsewhere (Direct3D on Windows,
// Metal on macOS) there is nothing to probe.
bool firstDriverIsOpenGL() {
    SDL_RendererInfo info;
    if (SDL_GetNumRenderDrivers() < 1 || SDL_GetRenderDriverInfo(0, &info) != 0) {
        return false;
    }
    return std::strncmp(info.name, "opengl", 6) == 0;
}

// The GL_RENDERER string of a context on a hidden window; empty when there
// is no OpenGL to ask.
std::string probeGLRenderer() {
    SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (probe == nullptr) {
        return "";
    }
    std::string name;
    SDL_GLContext context = SDL_GL_CreateContext(probe);
    if (context != nullptr) {
        using GetString = const GLubyte*(APIENTRY*)(GLenum);
        auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
        const GLubyte* text = getString != nullptr ? getString(GL_RENDERER) : nullptr;
        if (text != nullptr) {
            name = reinterpret_cast<const char*>(text);
        }
        SDL_GL_DeleteContext(context);
    }
    SDL_DestroyWindow(probe);
    return name;
}

} // namespace
#endif

bool isSoftwareRasteriser(const std::string& rendererString) {
    std::string lower = rendererString;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    static const char* const SOFTWARE[] = {"llvmpipe",
                                           "softpipe",
                                           "swrast",
                                           "swiftshader",
                                           "software rasterizer",
                                           "gdi generic",
                                           "microsoft basic render",
                                           "apple software renderer"};
    for (const char* name : SOFTWARE) {
        if (lower.find(name) != std::string::npos) {
            return true;
        }
    }
    return false;
}

void releaseRenderProbe() {
#ifndef __EMSCRIPTEN__
    if (glKept) {
        glKept = false;
        SDL_GL_UnloadLibrary();
    }
#endif
}

void chooseRenderDriver() {
#ifdef __EMSCRIPTEN__
    // The page has one canvas, and WebGL is the browser's to choose.
    return;
#else
    if (SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr || !firstDriverIsOpenGL()) {
        return;
    }
    // Loading OpenGL is nearly all the probe's cost (llvmpipe brings LLVM).
    // Where OpenGL is what will draw, the renderer would load it anyway: it
    // stays loaded for the renderer until releaseRenderProbe().
    glKept = SDL_GL_LoadLibrary(nullptr) == 0;
    const std::string renderer = glKept ? probeGLRenderer() : "";
    // A probe that failed leaves its reason behind; set-up goes on as before.
    SDL_ClearError();
    if (isSoftwareRasteriser(renderer)) {
        releaseRenderProbe(); // not needed: nothing will draw with OpenGL
        SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_DEFAULT);
        // The finished frame goes to the window through X11's own shared
        // memory rather than through one more OpenGL texture, which on this
        // OpenGL costs a frame's copy twice. Wayland has no such framebuffer
        // in SDL: there the texture stays.
        const char* video = SDL_GetCurrentVideoDriver();
        if (video != nullptr && std::strcmp(video, "x11") == 0) {
            SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
        }
    }
#endif
}

} // namespace detail
} // namespace vantrel

std::string Canvas::getRendererName() {
    SDL_RendererInfo info;
    if (renderer == nullptr || SDL_GetRendererInfo(renderer, &info) != 0) {
        return "";
    }
    return info.name;
}
