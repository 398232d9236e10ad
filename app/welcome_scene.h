#ifndef VANTREL_APP_WELCOME_SCENE_H
#define VANTREL_APP_WELCOME_SCENE_H

// The demonstration program's picture. The soak check and the benchmarks
// draw it through these same functions, so they measure what the demo does.

#include "canvas/canvas.h"

/// Sets the canvas up as the demonstration program does: a 640 x 640 window
/// at (100, 100) titled "Vantrel", grey background, black foreground, fps
/// frames per second. Throws what initWorld throws.
void setUpWelcomeCanvas(Canvas& canvas, std::uint8_t fps = DEFAULT_FPS);

/// Draws the welcome scene: the blue line "Welcome to Korvel" at (150, 50),
/// the window's two diagonals in the foreground colour and an aqua disc of
/// radius 50 over their crossing.
void drawWelcomeScene(Canvas& canvas);

#endif
