// A colour given where the last number of a shape belongs. The test
// compile.Fails.ColourBeforeTheLastNumber builds this file with VANTREL_TRAPS
// defined and expects the build to stop with one message per call, naming
// the missing argument (compile_fail/check.cmake). Without it the file must
// build: the same calls with every argument in place, which also proves that
// the setup, not the trap, is what fails.

#include "canvas/canvas.h"

#ifdef VANTREL_TRAPS

void trap(Canvas& canvas) {
    const Color red = RED;
    canvas.drawRoundedBox(20, 20, 200, 120, RED);
    canvas.drawRoundedBox(20, 20, 200, 120, red);
    canvas.drawCircle(100, 100, RED);
    canvas.drawFilledCircle(100, 100, Color(RED));
    canvas.drawLine(0, 0, 100, RED);
    canvas.drawRectangle(0, 0, 100, BLUE);
    canvas.drawPixel(10, RED);
}

#else

void trap(Canvas& canvas) {
    const Color red = RED;
    canvas.drawRoundedBox(20, 20, 200, 120, 8, RED);
    canvas.drawRoundedBox(20, 20, 200, 120, RED + 3); // a number computed from a name is a number
    canvas.drawCircle(100, 100, 30, red);
    canvas.drawFilledCircle(100, 100, 30, Color(RED));
    canvas.drawLine(0, 0, 100, 100, RED);
    canvas.drawRectangle(0, 0, 100, 100, BLUE);
    canvas.drawPixel(10, 10, RED);
    canvas.drawText(10, 10, "text", RED);
    canvas.setForegroundColor(BLACK);
}

#endif
