// Which of SDL's renderers suits this machine (canvas/renderer_choice.cpp).
// Internal to the canvas: initWorld asks once, after SDL_Init and before it
// makes the window and its renderer.

#ifndef VANTREL_CANVAS_RENDERER_CHOICE_H
#define VANTREL_CANVAS_RENDERER_CHOICE_H

#include <string>

namespace vantrel {
namespace detail {

// True when the OpenGL named by rendererString is drawn by the processor
// (Mesa's llvmpipe, softpipe or swrast, SwiftShader, Windows' "GDI Generic",
// and the like), case aside.
bool isSoftwareRasteriser(const std::string& rendererString);

// Where SDL's first renderer would draw with OpenGL and that OpenGL is a
// software rasteriser, asks SDL by hints at default priority for its own
// software renderer, shown through X11's framebuffer on X11: faster
// there, with the same pixels. A render driver already named (by
// SDL_RENDER_DRIVER or a program's own hint) is left alone, and so is
// everything when the probe fails.
void chooseRenderDriver();

// Lets go of the OpenGL library the probe loaded, once the renderer is made
// (which holds its own reference when it uses OpenGL).
void releaseRenderProbe();

} // namespace detail
} // namespace vantrel

#endif
