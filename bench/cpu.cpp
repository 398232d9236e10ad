// CPU cost: the demonstration program next to the same program written by
// hand against SDL2 (vantrel-raw-demo), both running at once in the X display
// named by DISPLAY (./dev bench starts Xvfb), so that whatever else the
// machine does falls on both alike. After a warm-up, each one's user + system
// CPU time is read from /proc/<pid>/stat before and after the same measured
// stretch and divided by its wall time: the share of one core it used. Each
// round gives a ratio; the table reports the median of several rounds, which
// start the two programs in alternating order.
//
//   vantrel-bench-cpu [--rounds N] [--warmup S] [--seconds S] DEMO RAW_DEMO

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// utime + stime of a process in clock ticks (fields 14 and 15 of
// /proc/<pid>/stat, counted after the parenthesised command name); -1 when
// the process is gone.
long cpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return -1;
    }
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long utime = 0;
    long stime = 0;
    // Field 3 (state) is the first after the name; utime is field 14.
    for (int index = 3; index <= 15 && fields >> field; ++index) {
        if (index == 3 && field == "Z") {
            return -1;
        }
        if (index == 14) {
            utime = std::atol(field.c_str());
        } else if (index == 15) {
            stime = std::atol(field.c_str());
        }
    }
    return utime + stime;
}

void sleepFor(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

pid_t launch(const char* program) {
    const pid_t pid = fork();
    if (pid == 0) {
        // Keep the measured program's own output out of the table.
        if (std::freopen("/dev/null", "w", stdout) == nullptr) {
            _exit(127);
        }
        execl(program, program, static_cast<char*>(nullptr));
        std::perror(program);
        _exit(127);
    }
    if (pid < 0) {
        std::perror("fork");
    }
    return pid;
}

// SDL turns SIGTERM into a quit event, so the program leaves its loop and
// tears down as on a window close.
void end(pid_t pid) {
    kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 50; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return;
        }
        sleepFor(0.1);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
}

// Runs both programs at once, measures each over the same stretch of time,
// ends them. Their shares of one core go to shares; false when one of them
// died on its own.
bool measurePair(const char* const programs[2], int first, double warmup, double seconds,
                 double shares[2]) {
    pid_t pids[2];
    pids[first] = launch(programs[first]);
    pids[1 - first] = launch(programs[1 - first]);
    if (pids[0] < 0 || pids[1] < 0) {
        return false;
    }
    sleepFor(warmup);
    const long start[2] = {cpuTicks(pids[0]), cpuTicks(pids[1])};
    const Clock::time_point t0 = Clock::now();
    sleepFor(seconds);
    const long stop[2] = {cpuTicks(pids[0]), cpuTicks(pids[1])};
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    end(pids[0]);
    end(pids[1]);
    for (int k = 0; k < 2; ++k) {
        if (start[k] < 0 || stop[k] < 0) {
            std::fprintf(stderr, "%s ended before it was measured\n", programs[k]);
            return false;
        }
        shares[k] = static_cast<double>(stop[k] - start[k]) / sysconf(_SC_CLK_TCK) / wall;
    }
    return true;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    int rounds = 3;
    double warmup = 1.0;
    double seconds = 10.0;
    std::vector<const char*> programs;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
            rounds = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--warmup") == 0 && i + 1 < argc) {
            warmup = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else {
            programs.push_back(argv[i]);
        }
    }
    if (programs.size() != 2 || rounds < 1 || seconds <= 0 || warmup < 0) {
        std::fprintf(stderr, "usage: %s [--rounds N] [--warmup S] [--seconds S] DEMO RAW_DEMO\n",
                     argv[0]);
        return 2;
    }
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "DISPLAY is not set: start an X server (./dev bench uses Xvfb)\n");
        return 2;
    }

    const char* const pair[2] = {programs[0], programs[1]};
    std::vector<double> shares[2];
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        double share[2] = {0, 0};
        if (!measurePair(pair, round % 2, warmup, seconds, share)) {
            return 1;
        }
        if (share[1] <= 0) {
            std::fprintf(stderr, "%s used no CPU time at all: is it drawing?\n", pair[1]);
            return 1;
        }
        shares[0].push_back(share[0]);
        shares[1].push_back(share[1]);
        ratios.push_back(share[0] / share[1]);
    }

    std::printf("\n| Program (%g s measured after %g s warm-up, %d rounds, run side by side) "
                "| Share of one core (median) | Each round |\n",
                seconds, warmup, rounds);
    std::printf("|---|---|---|\n");
    const char* names[2] = {"vantrel-demo (canvas)", "vantrel-raw-demo (raw SDL2)"};
    for (int k = 0; k < 2; ++k) {
        std::string each;
        for (double share : shares[k]) {
            char cell[32];
            std::snprintf(cell, sizeof cell, "%s%.2f%%", each.empty() ? "" : ", ", share * 100);
            each += cell;
        }
        std::printf("| %s | %.2f%% | %s |\n", names[k], median(shares[k]) * 100, each.c_str());
    }
    std::string each;
    for (double ratio : ratios) {
        char cell[32];
        std::snprintf(cell, sizeof cell, "%s%.3f", each.empty() ? "" : ", ", ratio);
        each += cell;
    }
    const double ratio = median(ratios);
    std::printf(
        "| ratio canvas / raw (median of the rounds) | %.3f (goal: at most 1.05: %s) | %s |\n",
        ratio, ratio <= 1.05 ? "met" : "NOT met", each.c_str());
    return 0;
}
