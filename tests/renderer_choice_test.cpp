// Which renderer the canvas draws with: SDL's software renderer where OpenGL
// is only a software rasteriser, and whatever the user or the program named
// otherwise. The set-up cases run in a virtual X display (renderer_pixels.sh
// starts Xvfb, whose Mesa gives llvmpipe), each in its own process.

#include <gtest/gtest.h>

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

// Left alone (no SDL_RENDER_DRIVER).
TEST(RendererChoice, ChoosesSoftwareWhereOpenGLIsSoftware) {
    Canvas& canvas = Canvas::getInstance();
    EXPECT_EQ("", canvas.getRendererName());
    canvas.initWorld(0, 0, 64, 48);
    // Xvfb's OpenGL is Mesa's llvmpipe (or swrast): drawn by the processor.
    EXPECT_EQ("software", canvas.getRendererName());
    // Shown through X11's framebuffer, not through OpenGL.
    EXPECT_STREQ("0", SDL_GetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION));
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
