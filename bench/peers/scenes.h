#ifndef VANTREL_BENCH_PEERS_SCENES_H
#define VANTREL_BENCH_PEERS_SCENES_H

// The six scenes the frameworks are compared on, as plain numbers: every
// program (ours, the SFML one, the pygame one in scenes.py) draws exactly
// these items, one call per item, in an 800 x 600 window. The numbers come
// from one small generator that scenes.py repeats step for step, so the
// three programs draw the same lines at the same places in the same colours.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace peers {

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;

// Warm-up frames before each scene is timed, and timed frames.
constexpr int WARM_UP_FRAMES = 10;
constexpr int DEFAULT_FRAMES = 60;

// A 32-bit linear congruential generator: the same numbers in C++ and Python.
struct Numbers {
    std::uint32_t state;
    explicit Numbers(std::uint32_t seed) : state(seed) {}
    // A whole number from 0 to n - 1.
    int below(int n) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(n));
    }
};

struct Rgb {
    std::uint8_t r, g, b;
};

// Item i is drawn in PALETTE[i % 8], every colour opaque.
constexpr Rgb PALETTE[8] = {{255, 80, 80},  {80, 220, 80},   {90, 140, 255},  {255, 220, 60},
                            {60, 220, 220}, {230, 100, 230}, {240, 240, 240}, {255, 150, 40}};
constexpr Rgb BACKGROUND = {20, 24, 48};

struct Line {
    int x1, y1, x2, y2;
};
struct Spot {
    int x, y;
};
struct Sprite {
    int x, y, angle;
};

// 2,000 one-pixel lines: a start anywhere in the window and an end up to 40
// pixels away each way (a starfield's streaks, a spirograph's segments).
inline std::vector<Line> lines() {
    Numbers n(1);
    std::vector<Line> out;
    for (int i = 0; i < 2000; ++i) {
        const int x = n.below(WIDTH), y = n.below(HEIGHT);
        out.push_back(Line{x, y, x + n.below(81) - 40, y + n.below(81) - 40});
    }
    return out;
}

// 1,000 filled discs of radius 8: their centres.
constexpr int DISC_RADIUS = 8;
inline std::vector<Spot> discs() {
    Numbers n(2);
    std::vector<Spot> out;
    for (int i = 0; i < 1000; ++i) {
        const int x = n.below(WIDTH);
        out.push_back(Spot{x, n.below(HEIGHT)});
    }
    return out;
}

// 100 text labels, "Label 0" to "Label 99", 16 points: their top-left corners.
constexpr int LABEL_SIZE = 16;
inline std::vector<Spot> labels() {
    Numbers n(3);
    std::vector<Spot> out;
    for (int i = 0; i < 100; ++i) {
        const int x = n.below(WIDTH - 100);
        out.push_back(Spot{x, n.below(HEIGHT - 20)});
    }
    return out;
}
inline std::string labelText(int i) { return "Label " + std::to_string(i); }

// 2,000 filled 10 x 10 rectangles: their top-left corners.
constexpr int RECTANGLE_SIZE = 10;
inline std::vector<Spot> rectangles() {
    Numbers n(4);
    std::vector<Spot> out;
    for (int i = 0; i < 2000; ++i) {
        const int x = n.below(WIDTH - RECTANGLE_SIZE);
        out.push_back(Spot{x, n.below(HEIGHT - RECTANGLE_SIZE)});
    }
    return out;
}

// 1,000 sprites of the 32 x 32 picture sprite.png, each turned about its
// centre by a whole number of degrees (clockwise): top-left corner and angle.
constexpr int SPRITE_SIZE = 32;
inline std::vector<Sprite> sprites() {
    Numbers n(5);
    std::vector<Sprite> out;
    for (int i = 0; i < 1000; ++i) {
        const int x = n.below(WIDTH - SPRITE_SIZE);
        const int y = n.below(HEIGHT - SPRITE_SIZE);
        out.push_back(Sprite{x, y, n.below(360)});
    }
    return out;
}

// The scenes in the order every program runs them.
constexpr const char* NAMES[] = {"lines", "discs", "text", "rectangles", "sprites", "empty"};

// What every program is told on its command line: the folder holding
// sprite.png and DejaVuSans.ttf's path, and how many frames to time.
struct Options {
    std::string sprite;
    std::string font;
    int frames = DEFAULT_FRAMES;
};

inline Options readOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--sprite") == 0) {
            options.sprite = argv[i + 1];
        } else if (std::strcmp(argv[i], "--font") == 0) {
            options.font = argv[i + 1];
        } else if (std::strcmp(argv[i], "--frames") == 0) {
            options.frames = std::atoi(argv[i + 1]);
        }
    }
    if (options.sprite.empty() || options.font.empty() || options.frames < 1) {
        std::fprintf(stderr, "usage: %s --sprite PNG --font TTF [--frames N]\n", argv[0]);
        std::exit(2);
    }
    return options;
}

} // namespace peers

#endif
