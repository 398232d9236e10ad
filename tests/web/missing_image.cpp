// A program that ends itself with a status after saying why, as a learner's
// does when an image is missing: loadImage fails, the program prints the
// reason and calls exit(1).
#include "canvas/canvas.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 320, 240, "missing image");
    if (canvas.loadImage("no-such-picture.png") == -1) {
        std::fprintf(stderr, "%s\n", canvas.getImageError().c_str());
        std::exit(1);
    }
    return 0;
}
