// The standard library before Vantrel's header, a header of the program's own
// after it, and SDL's own header again last.
#include <cmath>
#include <iostream>
#include <vector>

#include "canvas/canvas.h"
#include "helper.h"

#include <SDL.h>

int main(int, char*[]) {
    std::vector<double> sides = {3.0, 4.0};
    const double diagonal = std::sqrt(sides[0] * sides[0] + sides[1] * sides[1]);
    std::cout << half(diagonal) << ' ' << randomInt(1, 1) << '\n';
    return half(diagonal) == 2.5 ? 0 : 1;
}
