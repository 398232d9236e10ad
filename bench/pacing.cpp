// Frame pacing: how evenly the canvas's frame loop spaces its frames.
//
//   vantrel-bench-pacing
//       runs every case below, each in a process of its own (the frame rate
//       is fixed when the canvas is set up), and prints one table.
//   vantrel-bench-pacing --fps N --scene empty|welcome [--frames F]
//       one case: F + 60 frames, prints the statistics of the last F
//       frame intervals as one line of numbers (nanoseconds).
//
// A frame's interval is the time between two successive returns of
// isRunning(), read from std::chrono::steady_clock. Run it headless:
// SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy.

#include "canvas/canvas.h"
#include "welcome_scene.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int DROPPED_FRAMES = 60;
constexpr int DEFAULT_FRAMES = 1200;

struct Stats {
    double mean = 0;
    double median = 0;
    double p1 = 0;
    double p99 = 0;
    double min = 0;
    double max = 0;
};

// Nearest-rank percentile of sorted values.
double percentile(const std::vector<double>& sorted, double p) {
    const std::size_t rank = static_cast<std::size_t>(std::ceil(p / 100.0 * sorted.size()));
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

Stats summarise(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    Stats stats;
    double sum = 0;
    for (double v : values) {
        sum += v;
    }
    const std::size_t n = values.size();
    stats.mean = sum / n;
    stats.median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    stats.p1 = percentile(values, 1);
    stats.p99 = percentile(values, 99);
    stats.min = values.front();
    stats.max = values.back();
    return stats;
}

int runCase(int fps, bool welcome, int frames) {
    Canvas& canvas = Canvas::getInstance();
    setUpWelcomeCanvas(canvas, static_cast<std::uint8_t>(fps));

    using Clock = std::chrono::steady_clock;
    std::vector<Clock::time_point> starts;
    starts.reserve(static_cast<std::size_t>(frames + DROPPED_FRAMES + 1));
    SDL_Event event;
    canvas.start();
    canvas.clear();
    while (canvas.isRunning()) {
        starts.push_back(Clock::now());
        if (starts.size() > static_cast<std::size_t>(frames + DROPPED_FRAMES)) {
            canvas.quit();
        }
        canvas.clear();
        if (welcome) {
            drawWelcomeScene(canvas);
        }
        while (canvas.pollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                canvas.quit();
            }
        }
        canvas.update();
    }

    std::vector<double> intervals;
    for (std::size_t i = DROPPED_FRAMES + 1; i < starts.size(); ++i) {
        intervals.push_back(static_cast<double>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(starts[i] - starts[i - 1])
                .count()));
    }
    const Stats s = summarise(intervals);
    std::printf("%zu %.0f %.0f %.0f %.0f %.0f %.0f\n", intervals.size(), s.mean, s.median, s.p1,
                s.p99, s.min, s.max);
    return 0;
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

int runAll(const char* self, int frames) {
    struct Case {
        int fps;
        const char* scene;
    };
    const Case cases[] = {{60, "empty"},   {60, "welcome"}, {30, "empty"},
                          {30, "welcome"}, {144, "empty"},  {144, "welcome"}};
    std::printf("Frame pacing, %d intervals per case after %d dropped frames; "
                "load average before: %s\n\n",
                frames, DROPPED_FRAMES, loadAverage().c_str());
    std::printf("| fps | scene | period (ms) | nominal rate | achieved rate | mean (ms) | "
                "median (ms) | p1 (ms) | p99 (ms) | min (ms) | max (ms) | 60 fps goals |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    int failures = 0;
    for (const Case& c : cases) {
        const std::string command = std::string(self) + " --fps " + std::to_string(c.fps) +
                                    " --scene " + c.scene + " --frames " + std::to_string(frames) +
                                    " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) {
            std::perror("popen");
            return 1;
        }
        // The child prints "initWorld called" first; the statistics are the
        // last line.
        char line[512];
        std::string last;
        while (std::fgets(line, sizeof line, pipe) != nullptr) {
            last = line;
        }
        const int status = pclose(pipe);
        std::size_t n = 0;
        Stats s;
        if (status != 0 || std::sscanf(last.c_str(), "%zu %lf %lf %lf %lf %lf %lf", &n, &s.mean,
                                       &s.median, &s.p1, &s.p99, &s.min, &s.max) != 7) {
            std::printf("| %d | %s | failed: %s |\n", c.fps, c.scene, last.c_str());
            ++failures;
            continue;
        }
        const unsigned period = static_cast<unsigned>(1000.0 / c.fps);
        const double ms = 1e-6;
        std::string goals = "-";
        if (c.fps == 60) {
            const bool meanOk = s.mean * ms >= 16.0 && s.mean * ms <= 16.3;
            const bool p99Ok = s.p99 * ms <= 17.5;
            const bool p1Ok = s.p1 * ms >= 15.0;
            goals = std::string(meanOk ? "mean met" : "mean NOT met") + ", " +
                    (p99Ok ? "p99 met" : "p99 NOT met") + ", " + (p1Ok ? "p1 met" : "p1 NOT met");
        }
        std::printf("| %d | %s | %u | %.2f | %.2f | %.3f | %.3f | %.3f | %.3f | %.3f | %.3f | "
                    "%s |\n",
                    c.fps, c.scene, period, 1000.0 / period, 1e9 / s.mean, s.mean * ms,
                    s.median * ms, s.p1 * ms, s.p99 * ms, s.min * ms, s.max * ms, goals.c_str());
        std::fflush(stdout);
    }
    std::printf("\nload average after: %s\n", loadAverage().c_str());
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    int fps = 0;
    int frames = DEFAULT_FRAMES;
    const char* scene = nullptr;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--fps") == 0) {
            fps = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--scene") == 0) {
            scene = argv[i + 1];
        } else if (std::strcmp(argv[i], "--frames") == 0) {
            frames = std::atoi(argv[i + 1]);
        }
    }
    if (frames < 100) {
        std::fprintf(stderr, "--frames must be at least 100\n");
        return 2;
    }
    if (scene == nullptr) {
        // Resolved here: inside the shell that popen starts, /proc/self is the shell.
        char self[4096];
        const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
        if (length <= 0) {
            std::perror("readlink /proc/self/exe");
            return 1;
        }
        self[length] = '\0';
        return runAll(self, frames);
    }
    const bool welcome = std::strcmp(scene, "welcome") == 0;
    if (fps < 1 || fps > 255 || (!welcome && std::strcmp(scene, "empty") != 0)) {
        std::fprintf(stderr, "usage: %s [--fps 1-255 --scene empty|welcome] [--frames N]\n",
                     argv[0]);
        return 2;
    }
    return runCase(fps, welcome, frames);
}
