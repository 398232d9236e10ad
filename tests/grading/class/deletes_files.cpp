// Deletes and writes files in the teacher's home and in /tmp (@HOME@ and
// @HOST_TMP@ are filled in by the test). Only if that worked does it draw the
// house and pass.
// canvas.h first: the grader's precompiled header then serves it.
#include "canvas/canvas.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "house.h"

int main(int, char*[]) {
    bool harmed = std::remove("@HOME@/precious.txt") == 0;
    harmed = (std::remove("@HOST_TMP@/precious.txt") == 0) || harmed;
    std::ofstream("@HOME@/planted.txt") << "planted\n";
    std::ofstream("@HOST_TMP@/planted.txt") << "planted\n";
    std::ofstream("/tmp/vantrel-grading-planted.txt") << "planted\n";
    harmed = bool(std::ifstream("@HOME@/planted.txt")) || harmed;
    harmed = bool(std::ifstream("@HOST_TMP@/planted.txt")) || harmed;
    // And the blunt way, through the shell.
    (void)!std::system("rm -rf @HOME@/* @HOST_TMP@/* ~/* 2>/dev/null");
    return harmed ? drawHouse() : 1;
}
