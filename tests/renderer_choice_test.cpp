// Which renderer the canvas draws with: SDL's software renderer where OpenGL
// is only a software rasteriser, and whatever the user or the program named
// otherwise. The set-up cases run in a virtual X display (renderer_pixels.sh
// starts Xvfb, whose Mesa gives llvmpipe), each in its own process.

#include <gtest/gtest.h>

#include <SDL_opengl.h>

#include <string>

#include "canvas/canvas.h"
#include "canvas/renderer_choice.h"

namespace {

TEST(RendererChoice, TellsSoftwareRasterisersFromGraphicsCards) {
    const struct {
        const char* renderer;
        bool software;
    } cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"softpipe", true},
        {"Mesa X11 swrast", true},
        {"Google SwiftShader", true},
        {"Software Rasterizer", true},
        {"GDI Generic", true},
        {"Microsoft Basic Render Driver", true},
        {"Apple Software Renderer", true},
        {"LLVMPIPE", true},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
        {"NVIDIA GeForce GTX 1060/PCIe/SSE2", false},
        {"AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49)", false},
        {"virgl", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.software, vantrel::detail::isSoftwareRasteriser(c.renderer)) << c.renderer;
    }
}

// What this display's OpenGL calls itself, asked the way a program would.
std::string displayOpenGL() {
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        return "";
    }
    std::string name;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context != nullptr) {
        using GetString = const GLubyte*(APIENTRY*)(GLenum);
        auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
        if (getString != nullptr && getString(GL_RENDERER) != nullptr) {
            name = reinterpret_cast<const char*>(getString(GL_RENDERER));
        }
        SDL_GL_DeleteContext(context);
    }
    SDL_DestroyWindow(window);
    return name;
}

// Left alone (no SDL_RENDER_DRIVER), on this display's OpenGL.
TEST(RendererChoice, ChoosesSoftwareWhereOpenGLIsSoftware) {
    Canvas& canvas = Canvas::getInstance();
    EXPECT_EQ("", canvas.getRendererName());
    canvas.initWorld(0, 0, 64, 48);
    const std::string gl = displayOpenGL();
    ASSERT_NE("", gl) << "no OpenGL in this display";
    const bool software = vantrel::detail::isSoftwareRasteriser(gl);
    EXPECT_EQ(software ? "software" : "opengl", canvas.getRendererName()) << gl;
    if (software) {
        // Shown through the window system's framebuffer, not OpenGL.
        EXPECT_STREQ("0", SDL_GetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION));
    }
}

// SDL_RENDER_DRIVER=opengl and SDL_FRAMEBUFFER_ACCELERATION=1 in the
// environment (set by the test's registration): the user's choice holds.
TEST(RendererChoice, UsersChoiceHolds) {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 64, 48);
    EXPECT_EQ("opengl", canvas.getRendererName());
    EXPECT_STREQ("1", SDL_GetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION));
}

// A program's own hint, made before initWorld, holds too.
TEST(RendererChoice, ProgramsHintHolds) {
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 64, 48);
    EXPECT_EQ("opengl", canvas.getRendererName());
}

} // namespace
