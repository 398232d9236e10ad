// Counts for ever before it sets the canvas up.
// canvas.h first: the grader's precompiled header then serves it.
#include "canvas/canvas.h"

#include "house.h"

int main(int, char*[]) {
    volatile unsigned long count = 0;
    for (;;) {
        count = count + 1;
    }
    return drawHouse();
}
