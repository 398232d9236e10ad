// Saves, or reads back, a few values, as two runs of a learner's game would:
//   saved_main write   saves them and prints the save folder
//   saved_main read    prints what it finds, or the defaults
#include "canvas/canvas.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char* argv[]) {
    Canvas& canvas = Canvas::getInstance();
    if (argc > 1 && std::strcmp(argv[1], "write") == 0) {
        canvas.saveNumber("best score", 1234.5);
        canvas.saveNumber("best score", 2048.25); // replaces the first
        canvas.saveText("名前", "Ann\tLee\\n");
        canvas.saveNumber("名前", 7); // a number may share a text's key
        std::printf("%s\n", canvas.getSaveFolder().c_str());
        return 0;
    }
    const std::string name = canvas.loadText("名前", "nobody");
    std::printf("%g|%s|%g|%g\n", canvas.loadNumber("best score", -1),
                name == "Ann\tLee\\n" ? "Ann Lee" : name.c_str(), canvas.loadNumber("名前", -1),
                canvas.loadNumber("missing", 5));
    return 0;
}
