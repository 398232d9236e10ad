// Where a text label's time goes. A frame of 100 labels ("Label 0" to
// "Label 99", DejaVu Sans 16 pt, the peers' text scene) is drawn through the
// canvas, and then by hand with the same SDL calls, timing each step apart:
// rasterising (TTF_RenderText_Blended), making the texture
// (SDL_CreateTextureFromSurface), copying it (SDL_RenderCopy, and the flush
// that makes the renderer draw it), freeing both, and presenting the frame.
// Measuring (getTextWidth) and centring are timed as well. Every kind of
// frame takes its turn within each round, and medians are taken, so that a
// busy machine's stalls fall out.
//
//   vantrel-bench-text --font TTF [--frames N]
//
// prints a table in microseconds per label. Run it under Xvfb for the
// OpenGL renderer (./dev bench does), or headless for the software one.

#include "canvas/canvas.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "peers/scenes.h"

namespace {

using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// CPU time of the whole process, every thread (the renderer's own) included.
double cpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

struct Label {
    int x, y;
    std::string text;
    Color colour;
};

std::vector<Label> makeLabels() {
    std::vector<Label> labels;
    const auto spots = peers::labels();
    for (std::size_t i = 0; i < spots.size(); ++i) {
        const peers::Rgb c = peers::PALETTE[i % 8];
        labels.push_back(Label{spots[i].x, spots[i].y, peers::labelText(static_cast<int>(i)),
                               Color(c.r, c.g, c.b, 255)});
    }
    return labels;
}

} // namespace

int main(int argc, char* argv[]) {
    std::string fontPath;
    int frames = 60;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--font") == 0) {
            fontPath = argv[i + 1];
        } else if (std::strcmp(argv[i], "--frames") == 0) {
            frames = std::atoi(argv[i + 1]);
        }
    }
    if (fontPath.empty() || frames < 1) {
        std::fprintf(stderr, "usage: %s --font TTF [--frames N]\n", argv[0]);
        return 2;
    }
    Canvas& canvas = Canvas::getInstance();
    canvas.initWorld(0, 0, peers::WIDTH, peers::HEIGHT, "Vantrel text cost");
    canvas.setBackgroundColor(Color(20, 24, 48, 255));
    const FontId font = canvas.loadFont(fontPath, peers::LABEL_SIZE);
    TTF_Font* handle = TTF_OpenFont(fontPath.c_str(), peers::LABEL_SIZE);
    SDL_Renderer* renderer = SDL_GetRenderer(SDL_GetWindowFromID(1));
    SDL_RendererInfo info{};
    if (font == -1 || handle == nullptr || renderer == nullptr ||
        SDL_GetRendererInfo(renderer, &info) != 0) {
        std::fprintf(stderr, "cannot set up: %s\n", SDL_GetError());
        return 1;
    }
    const std::vector<Label> labels = makeLabels();
    const double count = static_cast<double>(labels.size());
    SDL_Event event;

    // The ways of drawing a frame that are compared: an empty one, the
    // labels through the canvas (drawn, centred, only measured), and the
    // labels by hand, step by step, where the flush after each copy makes the
    // renderer draw it there rather than when the texture is destroyed.
    constexpr int KINDS = 5;
    const char* kindNames[KINDS] = {"", "drawText through the canvas (all of the above, one call)",
                                    "drawTextCentered through the canvas",
                                    "getTextWidth through the canvas (nothing drawn)",
                                    "all the steps by hand"};
    std::vector<double> wall[KINDS], cpu[KINDS], stepTimes[4];
    const auto byHand = [&](bool counted) {
        double step[4] = {};
        for (const Label& l : labels) {
            const SDL_Color c = {l.colour.getRed(), l.colour.getGreen(), l.colour.getBlue(), 255};
            const auto t0 = Clock::now();
            SDL_Surface* surface = TTF_RenderText_Blended(handle, l.text.c_str(), c);
            const auto t1 = Clock::now();
            SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, surface);
            const auto t2 = Clock::now();
            SDL_Rect dst = {l.x, l.y, 0, 0};
            SDL_QueryTexture(texture, nullptr, nullptr, &dst.w, &dst.h);
            SDL_RenderCopy(renderer, texture, nullptr, &dst);
            SDL_RenderFlush(renderer);
            const auto t3 = Clock::now();
            SDL_FreeSurface(surface);
            SDL_DestroyTexture(texture);
            const auto t4 = Clock::now();
            step[0] += microseconds(t1 - t0), step[1] += microseconds(t2 - t1);
            step[2] += microseconds(t3 - t2), step[3] += microseconds(t4 - t3);
        }
        for (int i = 0; counted && i < 4; ++i) {
            stepTimes[i].push_back(step[i] / count);
        }
    };
    for (int f = 0; f < frames + 5; ++f) {
        const bool counted = f >= 5; // the first frames warm up
        for (int kind = 0; kind < KINDS; ++kind) {
            const auto start = Clock::now();
            const double cpuStart = cpuMicroseconds();
            canvas.clear();
            SDL_RenderFlush(renderer);
            for (const Label& l : labels) {
                if (kind == 1) {
                    canvas.drawText(l.x, l.y, l.text, l.colour, font);
                } else if (kind == 2) {
                    canvas.drawTextCentered(l.x + 40, l.y + 10, l.text, l.colour, font);
                } else if (kind == 3) {
                    canvas.getTextWidth(l.text, font);
                }
            }
            if (kind == 4) {
                byHand(counted);
            }
            while (canvas.pollEvent(&event)) {
            }
            canvas.update();
            if (counted) {
                wall[kind].push_back(microseconds(Clock::now() - start));
                cpu[kind].push_back(cpuMicroseconds() - cpuStart);
            }
        }
    }

    std::printf("Renderer: %s; medians of %d frames of %zu labels\n\n", info.name, frames,
                labels.size());
    std::printf("| Step (one label, 16 pt) | Wall time, us | CPU time, us |\n|---|---|---|\n");
    const char* stepNames[4] = {"rasterise: TTF_RenderText_Blended",
                                "make the texture: SDL_CreateTextureFromSurface",
                                "copy: SDL_RenderCopy and the renderer drawing it",
                                "free the surface, destroy the texture"};
    for (int i = 0; i < 4; ++i) {
        std::printf("| %s | %.1f | |\n", stepNames[i], median(stepTimes[i]));
    }
    const double emptyWall = median(wall[0]), emptyCpu = median(cpu[0]);
    for (int kind = 4; kind >= 1; --kind) {
        std::printf("| %s | %.1f | %.1f |\n", kindNames[kind],
                    (median(wall[kind]) - emptyWall) / count,
                    (median(cpu[kind]) - emptyCpu) / count);
    }
    std::printf("\nAn empty frame: %.0f us wall, %.0f us CPU.\n", emptyWall, emptyCpu);
    TTF_CloseFont(handle);
    return 0;
}
