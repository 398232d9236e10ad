// Per-frame cost of a frame that draws every shape family added beside the
// basic six, plus centred, right-aligned and UTF-8 text: through the canvas,
// and through the same SDL2_gfx / SDL2_ttf calls written by hand (with the
// ink scan that placing text by its ink needs), in one process, each in its
// own window on the same video driver.
//
//   vantrel-bench-shapes --callgrind FRAMES
//       for `valgrind --tool=callgrind --instr-atstart=no`: runs FRAMES whole
//       frames of each path, in rounds that alternate the order, and dumps
//       the instruction counts after every block with the label "canvas" or
//       "raw" (./dev bench adds them up).
//   vantrel-bench-shapes
//       checks that both paths draw the same picture, and says so.
//
// Run it headless: SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software
// SDL_AUDIODRIVER=dummy (./dev bench sets them).

#include "canvas/canvas.h"
#include "welcome_scene.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness.h"
#include "raw_scene.h"

namespace {

constexpr std::uint8_t FPS = 255;
const char* const TITLE = "Gr\xC3\xBC\xC3\x9F"
                          "e, caf\xC3\xA9";
const char* const SCORE = "Score: 120";

raw::Scene rawScene;

const std::vector<SDL_Point> STAR = {{320, 200}, {340, 260}, {400, 265}, {350, 300}, {370, 360},
                                     {320, 325}, {270, 360}, {290, 300}, {240, 265}, {300, 260}};
Sint16 starXs[10], starYs[10];

// ---- Through the canvas ---------------------------------------------------------

__attribute__((noinline)) void canvasShapes(Canvas& canvas) {
    canvas.drawFilledRectangle(20, 60, 120, 140, Color(RED));
    canvas.drawTriangle(140, 140, 190, 60, 240, 140, Color(BLUE));
    canvas.drawFilledTriangle(260, 140, 310, 60, 360, 140, Color(GREEN));
    canvas.drawPolygon(STAR, Color(PURPLE));
    canvas.drawFilledPolygon(STAR, Color(OLIVE));
    canvas.drawEllipse(480, 100, 70, 35, Color(TEAL));
    canvas.drawFilledEllipse(100, 450, 70, 35, Color(MAROON));
    canvas.drawArc(320, 450, 60, 30, 300, Color(NAVY));
    canvas.drawFilledPie(520, 450, 60, 30, 330, Color(YELLOW));
    canvas.drawThickLine(40, 560, 600, 560, 8, Color(FUCHSIA));
    canvas.drawTextCentered(320, 610, TITLE, Color(BLUE));
    canvas.drawTextRight(629, 10, SCORE, Color(BLACK));
}

__attribute__((noinline)) void canvasFrameWork(Canvas& canvas) {
    SDL_Event event;
    canvas.clear();
    canvasShapes(canvas);
    while (canvas.pollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            canvas.quit();
        }
    }
    canvas.update();
}

// ---- By hand --------------------------------------------------------------------

// The smallest box holding every pixel of surface with some alpha, found
// the way the canvas finds it: the first and last rows with ink, then each
// row between them looked at only outside the columns known to hold ink.
SDL_Rect rawInk(const SDL_Surface* surface) {
    const Uint32 alpha = surface->format->Amask;
    const auto row = [surface](int y) {
        return reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(surface->pixels) +
                                               y * surface->pitch);
    };
    const auto inked = [&](int y) {
        for (int x = 0; x < surface->w; ++x) {
            if ((row(y)[x] & alpha) != 0) {
                return true;
            }
        }
        return false;
    };
    int top = 0, bottom = surface->h - 1;
    while (top <= bottom && !inked(top)) {
        ++top;
    }
    if (top > bottom) {
        return SDL_Rect{0, 0, 0, 0};
    }
    while (!inked(bottom)) {
        --bottom;
    }
    int left = surface->w, right = -1;
    for (int y = top; y <= bottom; ++y) {
        const Uint32* pixels = row(y);
        for (int x = 0; x < left; ++x) {
            if ((pixels[x] & alpha) != 0) {
                left = x;
                break;
            }
        }
        for (int x = surface->w - 1; x > right; --x) {
            if ((pixels[x] & alpha) != 0) {
                right = x;
                break;
            }
        }
    }
    return SDL_Rect{left, top, right - left + 1, bottom - top + 1};
}

// Text rendered (as UTF-8 when it has characters beyond ASCII, as the canvas
// does, otherwise as Latin-1) and copied with its ink centred on column x and its
// line on row y (centre), or its ink ending in column x and its top at y.
void rawText(raw::Scene& scene, const char* text, bool utf8, SDL_Color color, bool centre, int x,
             int y) {
    SDL_Surface* surface = utf8 ? TTF_RenderUTF8_Blended(scene.font, text, color)
                                : TTF_RenderText_Blended(scene.font, text, color);
    if (surface == nullptr) {
        return;
    }
    const SDL_Rect ink = rawInk(surface);
    SDL_Rect dst = {centre ? x - ink.w / 2 - ink.x : x - (ink.x + ink.w - 1),
                    centre ? y - surface->h / 2 : y, 0, 0};
    SDL_Texture* texture = SDL_CreateTextureFromSurface(scene.renderer, surface);
    if (texture != nullptr) {
        SDL_QueryTexture(texture, nullptr, nullptr, &dst.w, &dst.h);
        SDL_RenderCopy(scene.renderer, texture, nullptr, &dst);
        SDL_DestroyTexture(texture);
    }
    SDL_FreeSurface(surface);
}

__attribute__((noinline)) void rawShapes(raw::Scene& scene) {
    SDL_Renderer* r = scene.renderer;
    boxRGBA(r, 20, 60, 120, 140, 255, 0, 0, 255);
    trigonRGBA(r, 140, 140, 190, 60, 240, 140, 0, 0, 255, 255);
    filledTrigonRGBA(r, 260, 140, 310, 60, 360, 140, 0, 128, 0, 255);
    polygonRGBA(r, starXs, starYs, 10, 128, 0, 128, 255);
    filledPolygonRGBA(r, starXs, starYs, 10, 128, 128, 0, 255);
    ellipseRGBA(r, 480, 100, 70, 35, 0, 128, 128, 255);
    filledEllipseRGBA(r, 100, 450, 70, 35, 128, 0, 0, 255);
    arcRGBA(r, 320, 450, 60, 30, 300, 0, 0, 128, 255);
    filledPieRGBA(r, 520, 450, 60, 30, 330, 255, 255, 0, 255);
    thickLineRGBA(r, 40, 560, 600, 560, 8, 255, 0, 255, 255);
    rawText(scene, TITLE, true, SDL_Color{0, 0, 255, 255}, true, 320, 610);
    rawText(scene, SCORE, false, SDL_Color{0, 0, 0, 255}, false, 629, 10);
}

__attribute__((noinline)) void rawFrameWork(raw::Scene& scene) {
    raw::clear(scene);
    rawShapes(scene);
    raw::finishFrame(scene);
}

__attribute__((noinline)) void canvasFrames(Canvas& canvas, int frames) {
    for (int i = 0; i < frames; ++i) {
        canvas.isRunning();
        canvasFrameWork(canvas);
    }
}

__attribute__((noinline)) void rawFrames(raw::Scene& scene, int frames) {
    for (int i = 0; i < frames; ++i) {
        raw::isRunning(scene);
        rawFrameWork(scene);
    }
}

// Both paths must draw the very same picture, or the comparison means nothing.
bool samePicture() {
    Canvas& canvas = Canvas::getInstance();
    std::vector<Uint32> canvasPixels;
    return raw::sameFrame(
        canvas, [&] { canvasShapes(canvas); }, rawScene, [] { rawShapes(rawScene); }, 640, 640,
        canvasPixels);
}

} // namespace

int main(int argc, char** argv) {
    for (std::size_t i = 0; i < STAR.size(); ++i) {
        starXs[i] = static_cast<Sint16>(STAR[i].x);
        starYs[i] = static_cast<Sint16>(STAR[i].y);
    }
    Canvas& canvas = Canvas::getInstance();
    setUpWelcomeCanvas(canvas, FPS);
    canvas.start();
    raw::open(rawScene, "Vantrel shapes (raw SDL2)", 100, 100, 640, 640, DEFAULT_FONT,
              DEFAULT_FONT_SIZE, FPS);
    raw::start(rawScene);
    if (!samePicture()) {
        std::fprintf(stderr, "the canvas and the hand-written path drew different pictures\n");
        return 1;
    }
    const int frames = bench::callgrindFrames(
        argc, argv, 4, "the canvas and the hand-written path draw the same picture");
    if (frames <= 0) {
        return frames == 0 ? 0 : 2;
    }
    canvasFrames(canvas, 20); // warm-up outside the count
    rawFrames(rawScene, 20);
    constexpr int ROUNDS = 4;
    const int perRound = bench::countInRounds(frames, ROUNDS,
                                              {{"canvas", [&](int n) { canvasFrames(canvas, n); }},
                                               {"raw", [](int n) { rawFrames(rawScene, n); }}});
    std::printf("callgrind: %d frames of each path in %d rounds of %d\n", perRound * ROUNDS, ROUNDS,
                perRound);
    return 0;
}
