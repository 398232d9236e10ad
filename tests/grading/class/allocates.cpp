// Allocates memory, and touches it, without end.
// canvas.h first: the grader's precompiled header then serves it.
#include "canvas/canvas.h"

#include <cstring>
#include <vector>

#include "house.h"

int main(int, char*[]) {
    std::vector<char*> blocks;
    for (;;) {
        char* block = new char[16 << 20];
        std::memset(block, 1, 16 << 20);
        blocks.push_back(block);
    }
    return drawHouse();
}
