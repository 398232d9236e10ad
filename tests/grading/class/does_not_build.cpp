// A name that does not exist: does not build.
// canvas.h first: the grader's precompiled header then serves it.
#include "canvas/canvas.h"

#include "house.h"

int main(int, char*[]) { return drawHous(); }
