// CPU cost: the demonstration program next to the same program written by
// hand against SDL2 (vantrel-raw-demo), each run on its own in the X display
// named by DISPLAY (./dev bench starts Xvfb). Each run is given a warm-up,
// then its user + system CPU time is read from /proc/<pid>/stat before and
// after a measured stretch and divided by the wall time of that stretch: the
// share of one core it used. The two programs take turns, several rounds, and
// the medians are compared.
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

// Runs program, measures it, ends it. Returns the share of one core, or a
// negative value when the program died on its own.
double measure(const char* program, double warmup, double seconds) {
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return -1;
    }
    if (pid == 0) {
        // Keep the measured program's own output out of the table.
        std::freopen("/dev/null", "w", stdout);
        execl(program, program, static_cast<char*>(nullptr));
        std::perror(program);
        _exit(127);
    }
    sleepFor(warmup);
    const long ticks0 = cpuTicks(pid);
    const Clock::time_point t0 = Clock::now();
    sleepFor(seconds);
    const long ticks1 = cpuTicks(pid);
    const Clock::time_point t1 = Clock::now();

    // SDL turns SIGTERM into a quit event, so the program leaves its loop
    // and tears down as on a window close.
    kill(pid, SIGTERM);
    int status = 0;
    bool reaped = false;
    for (int i = 0; i < 50 && !reaped; ++i) {
        reaped = waitpid(pid, &status, WNOHANG) == pid;
        if (!reaped) {
            sleepFor(0.1);
        }
    }
    if (!reaped) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    if (ticks0 < 0 || ticks1 < 0) {
        std::fprintf(stderr, "%s ended before it was measured (status %d)\n", program, status);
        return -1;
    }
    const double cpuSeconds = static_cast<double>(ticks1 - ticks0) / sysconf(_SC_CLK_TCK);
    const double wall = std::chrono::duration<double>(t1 - t0).count();
    return cpuSeconds / wall;
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

    std::vector<double> shares[2];
    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < 2; ++k) {
            // Alternate which program goes first.
            const int which = (round % 2 == 0) ? k : 1 - k;
            const double share = measure(programs[which], warmup, seconds);
            if (share < 0) {
                return 1;
            }
            shares[which].push_back(share);
        }
    }

    std::printf("\n| Program (%g s measured after %g s warm-up, %d rounds) | Share of one core "
                "(median) | Each round |\n",
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
    const double ratio = median(shares[0]) / median(shares[1]);
    std::printf("| ratio canvas / raw | %.3f (goal: at most 1.05: %s) | |\n", ratio,
                ratio <= 1.05 ? "met" : "NOT met");
    return 0;
}
