// A variable set and never used: the compiler must still say so.
#include "canvas/canvas.h"

int main(int, char*[]) {
    int forgotten = 3;
    return 0;
}
