// A short program for the leak check of images drawn into: it makes images,
// draws into them (one a loaded image turned into one), clears and saves
// one, is left drawing into one, and returns from main, so that the canvas's
// exit-time tear-down has to free them all, before the renderer.
//
// Memcheck alone cannot see that tear-down fail, so the program also keeps
// its own account of what the image calls allocate (block_account.h).

#include "canvas/canvas.h"

#include <SDL_image.h>

#include <cstdio>
#include <string>

#include "block_account.h"

int main(int, char*[]) {
    if (!openBlockAccount("making, drawing into and saving images")) {
        return 1;
    }
    const std::string picture = leakCheckFile("targets_leak.png");
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 8, 8, 32, SDL_PIXELFORMAT_RGBA32);
    if (surface == nullptr || IMG_SavePNG(surface, picture.c_str()) != 0) {
        std::fprintf(stderr, "cannot write %s: %s\n", picture.c_str(), SDL_GetError());
        return 1;
    }
    SDL_FreeSurface(surface);

    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, 64, 64);
    const bool ok = accounted([&] {
        const ImageId painting = canvas.createImage(64, 64);
        const ImageId never = canvas.createImage(16, 16);
        const ImageId refused = canvas.createImage(0, 16);
        const ImageId loaded = canvas.loadImage(picture);
        if (painting != 1 || never != 2 || refused != -1 || loaded != 3) {
            std::fprintf(stderr, "unexpected ids %d %d %d %d: %s\n", painting, never, refused,
                         loaded, canvas.getImageError().c_str());
            return false;
        }
        canvas.clear();
        canvas.drawInto(painting);
        canvas.drawFilledCircle(30, 30, 10, Color(RED));
        canvas.drawText(0, 0, "kept");
        canvas.drawImage(loaded, 5, 5, 2.0, 45.0);
        canvas.drawInto(loaded);
        canvas.drawLine(0, 0, 7, 7, Color(BLUE));
        canvas.drawIntoWindow();
        canvas.clearImage(painting, Color(GRAY));
        canvas.saveImage(painting, VANTREL_TEST_BINARY_DIR "/targets_leak_saved.png");
        canvas.saveImage(painting, "/no/such/folder/saved.png");
        canvas.drawImage(painting, 0, 0);
        canvas.update();
        // Left drawing into an image at the end.
        canvas.drawInto(painting);
        canvas.drawPixel(1, 1, Color(WHITE));
        return true;
    });
    return ok ? 0 : 1;
}
