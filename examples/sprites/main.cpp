// vantrel-sprites: a figure walks to and fro across a 640 x 360 window,
// drawn frame by frame from a sprite sheet and mirrored when it turns, while
// a star spins and a gem fades in and out beside it. Close the window to end
// it. The pictures (walker.png, star.png, gem.png) are made by
// make_images.py; the build copies them beside the program.

#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "canvas/canvas.h"

namespace {

const int WIDTH = 640;
const int HEIGHT = 360;
const int FRAME_SIZE = 32; // each frame of walker.png is 32 x 32 pixels
const int FRAMES = 4;      // side by side
const int SCALE = 3;       // drawn 96 x 96
const int GROUND = 300;    // the figure's feet stand here

// Loads an image, or ends the program saying why it could not.
ImageId load(Canvas& canvas, const char* file) {
    const ImageId image = canvas.loadImage(file);
    if (image == -1) {
        std::fprintf(stderr, "%s\n", canvas.getImageError().c_str());
        std::exit(1);
    }
    return image;
}

} // namespace

int main(int, char*[]) {
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(100, 100, WIDTH, HEIGHT, "Vantrel sprites", DEFAULT_FONT, 20);
    canvas.setBackgroundColor(Color(NAVY));
    canvas.setForegroundColor(Color(WHITE));

    const ImageId walker = load(canvas, "walker.png");
    const ImageId star = load(canvas, "star.png");
    const ImageId gem = load(canvas, "gem.png");

    int x = 40;       // the figure's left edge
    int speed = 3;    // pixels a frame; negative walks left
    int tick = 0;     // frames drawn so far
    double angle = 0; // the star's turn, in degrees

    SDL_Event event;
    canvas.start();
    while (canvas.isRunning()) {
        // Walk, and turn round at either edge.
        x += speed;
        if (x < 0 || x > WIDTH - FRAME_SIZE * SCALE) {
            speed = -speed;
            x += 2 * speed;
        }
        ++tick;
        angle += 3;
        const int frame = (tick / 8) % FRAMES; // a new step every 8 frames
        // 128 +- 127: from almost invisible to fully opaque and back.
        canvas.setImageAlpha(gem, 128 + static_cast<int>(127 * std::sin(tick / 20.0)));

        canvas.clear();
        canvas.drawRoundedBox(0, GROUND, WIDTH - 1, HEIGHT - 1, 0, Color(GREEN));
        canvas.drawText(20, 20, "Sprites: a walk, a spin and a fade");
        // The sheet's frames face right; walking left, the frame is mirrored.
        canvas.drawImagePart(walker, frame * FRAME_SIZE, 0, FRAME_SIZE, FRAME_SIZE, x,
                             GROUND - FRAME_SIZE * SCALE, FRAME_SIZE * SCALE, FRAME_SIZE * SCALE,
                             0.0, speed > 0 ? NO_FLIP : FLIP_HORIZONTAL);
        canvas.drawImage(star, 200, 80, 3.0, angle); // 96 x 96, turning about its centre
        canvas.drawImage(gem, 380, 80, 3.0);

        while (canvas.pollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                canvas.quit();
            }
        }
        canvas.update();
    }
    return 0;
}
