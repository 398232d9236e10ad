#ifndef VANTREL_BENCH_HARNESS_H
#define VANTREL_BENCH_HARNESS_H

// What the benchmark programs share: Google Benchmark started with this
// project's defaults, a reporter that remembers the medians for the tables
// printed after the runs, and the callgrind mode that counts instructions
// in rounds alternating the order of the paths.

#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace bench {

// Keeps the console output and remembers each benchmark's median wall and
// CPU time, by name.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    MedianReporter() : ConsoleReporter(OO_Tabular) {} // no colours: the output goes to files too
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                wall[run.run_name.function_name] = run.GetAdjustedRealTime();
                cpu[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> wall;
    std::map<std::string, double> cpu;
};

// Starts Google Benchmark for a comparison taken in one run: REPETITIONS
// short repetitions of MIN_TIME seconds, the benchmarks interleaved at
// random (so that drift in the machine's speed falls on every path alike),
// aggregates only. Flags given on the command line come later and win.
// False when the command line holds flags it does not know.
inline bool startBenchmarks(int argc, char** argv, const char* repetitions, const char* minTime) {
    std::vector<char*> args(argv, argv + argc);
    std::string repetitionsFlag = std::string("--benchmark_repetitions=") + repetitions;
    std::string minTimeFlag = std::string("--benchmark_min_time=") + minTime;
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1,
                {&repetitionsFlag[0], &minTimeFlag[0], &interleave[0], &aggregates[0]});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    return !benchmark::ReportUnrecognizedArguments(count, args.data());
}

// For "PROGRAM --callgrind FRAMES": FRAMES, or -1 (after the usage line)
// when it is below LEAST; 0 for any other command line (after OTHERWISE and
// a line end, if given).
inline int callgrindFrames(int argc, char** argv, int least, const char* otherwise = nullptr) {
    if (argc != 3 || std::strcmp(argv[1], "--callgrind") != 0) {
        if (otherwise != nullptr) {
            std::printf("%s\n", otherwise);
        }
        return 0;
    }
    const int frames = std::atoi(argv[2]);
    if (frames < least) {
        std::fprintf(stderr, "usage: %s --callgrind FRAMES (at least %d)\n", argv[0], least);
        return -1;
    }
    return frames;
}

// The two ways a benchmark program runs: "--callgrind FRAMES" (at least
// LEAST) sets up and returns countFrames(FRAMES); anything else starts the
// benchmarks (see startBenchmarks), sets up and runs them into REPORTER.
// Returns what main returns, or -1 when the benchmarks ran and their
// results are to be shown.
template <typename SetUp, typename CountFrames>
int runBenchmarkOrCount(int argc, char** argv, int least, const char* repetitions,
                        const char* minTime, SetUp setUp, CountFrames countFrames,
                        MedianReporter& reporter) {
    if (const int frames = callgrindFrames(argc, argv, least)) {
        if (frames < 0) {
            return 2;
        }
        setUp();
        return countFrames(frames);
    }
    if (!startBenchmarks(argc, argv, repetitions, minTime)) {
        return 2;
    }
    setUp();
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return -1;
}

// One path of a callgrind comparison: its label, and what runs N frames of it.
struct CountedPath {
    const char* label;
    std::function<void(int)> frames;
};

// For `valgrind --tool=callgrind --instr-atstart=no`: FRAMES frames of each
// path in ROUNDS rounds, the paths in their order in even rounds and the
// other way round in odd ones, the counts dumped after every block with the
// path's label. Returns the frames of each path in one round.
inline int countInRounds(int frames, int rounds, const std::vector<CountedPath>& paths) {
    const int perRound = frames / rounds;
    const int count = static_cast<int>(paths.size());
    CALLGRIND_START_INSTRUMENTATION;
    CALLGRIND_ZERO_STATS;
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < count; ++i) {
            const CountedPath& path = paths[round % 2 == 0 ? i : count - 1 - i];
            path.frames(perRound);
            CALLGRIND_DUMP_STATS_AT(path.label);
        }
    }
    CALLGRIND_STOP_INSTRUMENTATION;
    return perRound;
}

// The line after the counts (with EXTRA at its end), and a note when
// nothing was counted.
inline void reportCounts(int perRound, int rounds, const std::string& extra = "") {
    std::printf("callgrind: %d frames of each path in %d rounds of %d%s\n", perRound * rounds,
                rounds, perRound, extra.c_str());
    if (!RUNNING_ON_VALGRIND) {
        std::fprintf(stderr, "note: not running under callgrind, nothing was counted\n");
    }
}

} // namespace bench

#endif
