// Reads another submission's file and the reference's results (paths filled
// in by the test), and whatever the grader left open to it (standard input,
// other open files), and prints them. Only if that worked does it draw the
// house.
// canvas.h first: the grader's precompiled header then serves it.
#include "canvas/canvas.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

#include "house.h"

int main(int, char*[]) {
    bool read = false;
    for (const char* path : {"@OTHER@", "@RESULTS@/reference/run.log"}) {
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        if (file && !text.str().empty()) {
            std::cout << text.str() << std::endl;
            read = true;
        }
    }
    char buffer[256];
    for (int fd = 0; fd < 64; ++fd) {
        const ssize_t got = fd == 1 || fd == 2 ? 0 : ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            std::cout.write(buffer, got) << std::endl;
            read = true;
        }
    }
    return read ? drawHouse() : 1;
}
