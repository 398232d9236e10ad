// The verdict on one submission, drawn from what its build and run reported,
// what it printed and how its frames compared: one line a teacher can act
// on, and the tests an autograder scores.

#include "results.h"

#include <algorithm>

#include "text.h"

namespace grading {

namespace {

// Lines the framework itself prints, which are never the program's own message.
bool isFrameworkLine(const std::string& line) {
    return line == "initWorld called" || line.rfind("Vantrel: ", 0) == 0;
}

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// The first line of a build log that names an error; else its last line.
std::string firstError(const std::string& log) {
    const auto lines = splitLines(log);
    for (const std::string& line : lines) {
        if (contains(line, ": error:") || contains(line, ": fatal error:") ||
            line.rfind("error:", 0) == 0 || contains(line, "undefined reference to") ||
            contains(line, "collect2: error")) {
            // The sources are compiled as ./NAME.cpp (a name could start with -).
            return oneLine(line.rfind("./", 0) == 0 ? line.substr(2) : line, 240);
        }
    }
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (!oneLine(*line).empty()) {
            return oneLine(*line, 240);
        }
    }
    return "the compiler gave no reason";
}

// What an uncaught exception or a failed assertion printed last: the
// message the framework's handler or the C++ runtime wrote before the abort.
std::string lastMessage(const std::string& log) {
    const auto lines = splitLines(log);
    for (auto at = lines.rbegin(); at != lines.rend(); ++at) {
        std::string line = oneLine(*at, 240);
        if (line.empty() || isFrameworkLine(line)) {
            continue;
        }
        const std::string what = "what():";
        if (line.rfind(what, 0) == 0) {
            line = oneLine(line.substr(what.size()), 240);
        }
        return line;
    }
    return "";
}

// The framework's own line about frames it did not save, after "not saved: ".
std::string unsavedReason(const std::string& log) {
    for (const std::string& line : splitLines(log)) {
        const std::size_t at = line.find(" not saved: ");
        if (line.rfind("Vantrel: ", 0) == 0 && at != std::string::npos) {
            return oneLine(line.substr(at + 12), 200);
        }
    }
    return "";
}

std::string limitText(const std::string& limit, const Limits& limits, bool build) {
    if (limit == "time") {
        return "time limit (" + std::to_string(build ? limits.buildTime : limits.time) + " s)";
    }
    if (limit == "cpu") {
        return "CPU-time limit (" + std::to_string(limits.cpu) + " s)";
    }
    if (limit == "memory") {
        return "memory limit (" + std::to_string(limits.memory) + " MB)";
    }
    if (limit == "processes") {
        return "process limit (" + std::to_string(limits.processes) + " processes and threads)";
    }
    return "output limit (" + formatBytes(limits.output) + ")";
}

bool outOfMemory(const std::string& log) {
    return contains(log, "bad_alloc") || contains(log, "Cannot allocate memory") ||
           contains(log, "out of memory") || contains(log, "virtual memory exhausted");
}

// Which limit stopped a step, or "".
std::string limitHit(const Step& step, const Limits& limits, bool build) {
    const int signal = step.status > 128 ? step.status - 128 : 0;
    if (!build && limits.processes > 0 && step.tasks >= limits.processes - 1) {
        return "processes";
    }
    if (step.outputCapped || signal == 25) {
        return "output";
    }
    if (step.limit == "memory" || (step.status != 0 && outOfMemory(step.log))) {
        return "memory";
    }
    if (step.limit == "cpu" || signal == 24) {
        return "cpu";
    }
    return step.limit == "time" ? "time" : "";
}

std::string frameProblem(const Frame& frame) {
    const std::string name = "frame " + std::to_string(frame.number);
    switch (frame.state) {
    case FrameState::Match:
        return "";
    case FrameState::Differs:
        return name + " differs (" + std::to_string(frame.differing) + " pixels" +
               (frame.note.empty() ? "" : "; " + frame.note) + ")";
    case FrameState::Missing:
        return name + " was not saved" + (frame.note.empty() ? "" : " (" + frame.note + ")");
    case FrameState::Unreadable:
        return name + " could not be compared: " + frame.note;
    }
    return "";
}

} // namespace

std::string Submission::framesMatching() const {
    const bool anySaved = std::any_of(frames.begin(), frames.end(),
                                      [](const Frame& f) { return !f.submissionImage.empty(); });
    if (!built || !anySaved) {
        return "-";
    }
    return std::to_string(matching) + "/" + std::to_string(frames.size());
}

void judge(const Settings& settings, Submission& s) {
    const Limits& limits = settings.limits;
    s.matching =
        static_cast<int>(std::count_if(s.frames.begin(), s.frames.end(), [](const Frame& f) {
            return f.state == FrameState::Match;
        }));
    s.built = s.build.reported && s.build.status == 0;
    s.ranCleanly = false;
    s.runWord = "-";
    if (!s.build.reported) {
        s.outcome = Outcome::GradingError;
        s.detail = "grading error: the build's sandbox failed: " + lastMessage(s.build.log);
        return;
    }
    if (!s.built) {
        const std::string limit = limitHit(s.build, limits, true);
        s.outcome = limit.empty() ? Outcome::DoesNotBuild : Outcome::BuildStopped;
        s.detail = limit.empty() ? "does not build: " + firstError(s.build.log)
                                 : "the build was stopped at the " + limitText(limit, limits, true);
        return;
    }
    if (!s.run.reported) {
        s.outcome = Outcome::GradingError;
        s.detail = "grading error: the run's sandbox failed: " + lastMessage(s.run.log);
        return;
    }
    for (Frame& frame : s.frames) {
        if (frame.state == FrameState::Missing && frame.note.empty()) {
            frame.note = unsavedReason(s.run.log);
        }
    }
    s.closeIgnored = contains(s.run.log, "after the close request; the recording stopped it");
    const int signal = s.run.status > 128 ? s.run.status - 128 : 0;
    const std::string limit = limitHit(s.run, limits, false);
    if (!limit.empty()) {
        s.outcome = Outcome::KilledAtLimit;
        s.runWord = "killed";
        s.detail = "killed at the " + limitText(limit, limits, false);
    } else if (signal != 0) {
        const std::string message = signal == 6 ? lastMessage(s.run.log) : "";
        s.outcome = Outcome::Crashed;
        s.runWord = "crashed";
        s.detail = "crashed: " + (message.empty() ? signalName(signal) : message);
    } else if (contains(s.run.log, "without calling isRunning(), so its loop never asks")) {
        // The recording counts frames in isRunning(), so it stopped the program.
        s.outcome = Outcome::NoFrames;
        s.runWord = "no frames";
        s.detail = "its loop never calls isRunning(), so no frame was counted or saved and the "
                   "recording stopped it";
    } else if (s.run.status != 0) {
        const std::string message = lastMessage(s.run.log);
        s.outcome = Outcome::ExitedWithStatus;
        s.runWord = "status " + std::to_string(s.run.status);
        s.detail = "ended with status " + std::to_string(s.run.status) +
                   (message.empty() ? "" : ": " + message);
    } else if (std::none_of(s.frames.begin(), s.frames.end(),
                            [](const Frame& f) { return !f.submissionImage.empty(); })) {
        std::string why = unsavedReason(s.run.log);
        if (!contains(s.run.log, "initWorld called")) {
            why = "the program never called initWorld";
        } else if (contains(s.run.log, "Vantrel: no frame was saved: ")) {
            const std::string& log = s.run.log;
            const std::size_t at = log.find("Vantrel: no frame was saved: ") + 29;
            why = oneLine(log.substr(at, log.find('\n', at) - at), 200);
        }
        s.outcome = Outcome::NoFrames;
        s.runWord = "no frames";
        s.detail = "saved no frames" + (why.empty() ? std::string() : ": " + why);
    } else {
        s.ranCleanly = !s.closeIgnored;
        s.runWord = s.closeIgnored ? "ignored close" : "yes";
        std::vector<std::string> problems;
        for (const Frame& frame : s.frames) {
            const std::string problem = frameProblem(frame);
            if (!problem.empty()) {
                problems.push_back(problem);
            }
        }
        std::string frames;
        for (std::size_t i = 0; i < problems.size() && i < 3; ++i) {
            frames += (i == 0 ? "" : "; ") + problems[i];
        }
        if (problems.size() > 3) {
            frames += "; and " + std::to_string(problems.size() - 3) + " more";
        }
        if (s.closeIgnored) {
            s.outcome = Outcome::IgnoredClose;
            s.detail = "ignored the close request (the recording stopped it 120 frames later); " +
                       (problems.empty() ? "its frames match" : frames);
        } else if (problems.empty()) {
            s.outcome = Outcome::Pass;
            s.detail.clear();
        } else {
            s.outcome = Outcome::FramesDiffer;
            s.detail = frames;
        }
    }
}

std::vector<TestCase> testCases(const Settings& settings, const Submission& s) {
    std::vector<TestCase> tests;
    TestCase build;
    build.name = "build";
    build.maxScore = settings.buildPoints;
    build.passed = s.built;
    build.score = s.built ? settings.buildPoints : 0;
    build.error = !s.build.reported;
    build.kind = s.outcome == Outcome::BuildStopped ? "limit" : "build";
    build.message = s.built ? "built" : s.detail;
    build.output = s.build.log.substr(0, 16 * 1024);
    build.seconds = s.build.seconds;
    tests.push_back(build);

    TestCase run;
    run.name = "run";
    run.maxScore = settings.runPoints;
    run.seconds = s.run.seconds;
    run.output = s.run.log.substr(0, 16 * 1024);
    run.error = s.outcome == Outcome::GradingError && s.built;
    if (!s.built) {
        run.message = "not run: the program did not build";
        run.kind = "not run";
    } else {
        run.passed = s.ranCleanly;
        switch (s.outcome) {
        case Outcome::KilledAtLimit:
            run.kind = "limit";
            break;
        case Outcome::Crashed:
            run.kind = "crashed";
            break;
        case Outcome::ExitedWithStatus:
            run.kind = "status";
            break;
        case Outcome::NoFrames:
            run.kind = "no frames";
            break;
        case Outcome::IgnoredClose:
            run.kind = "ignored close";
            break;
        default:
            run.kind = s.ranCleanly ? "" : "error";
        }
        run.message = s.ranCleanly ? "ran and ended when asked to close" : s.detail;
    }
    run.score = run.passed ? settings.runPoints : 0;
    tests.push_back(run);

    for (const Frame& frame : s.frames) {
        TestCase test;
        test.name = "frame " + std::to_string(frame.number);
        test.maxScore = frame.weight;
        test.passed = frame.state == FrameState::Match;
        test.score = test.passed ? frame.weight : 0;
        const std::string counted = std::to_string(frame.differing) + " of " +
                                    std::to_string(frame.total) + " pixels differ (at most " +
                                    std::to_string(settings.tolerance) + " may)";
        if (!s.built) {
            test.kind = "not run";
            test.message = "not compared: the program did not build";
        } else if (frame.state == FrameState::Match) {
            test.message = "matches: " + counted;
        } else if (frame.state == FrameState::Differs) {
            test.kind = "differs";
            test.message = "differs: " + counted + (frame.note.empty() ? "" : "; " + frame.note);
        } else {
            test.kind = frame.state == FrameState::Missing ? "missing" : "unreadable";
            test.message = frameProblem(frame);
        }
        test.output = test.message;
        tests.push_back(test);
    }
    return tests;
}

std::string referenceProblem(const Settings& settings, const Submission& reference) {
    switch (reference.outcome) {
    case Outcome::GradingError:
    case Outcome::DoesNotBuild:
    case Outcome::BuildStopped:
    case Outcome::KilledAtLimit:
    case Outcome::Crashed:
    case Outcome::ExitedWithStatus:
    case Outcome::NoFrames:
        return reference.detail;
    case Outcome::IgnoredClose:
        return "it ignored the close request: it must end when its loop sees SDL_QUIT";
    default:
        break;
    }
    for (const Frame& frame : reference.frames) {
        if (frame.submissionImage.empty()) {
            return "it saved no frame " + std::to_string(frame.number) +
                   (frame.note.empty() ? "" : " (" + frame.note + ")");
        }
    }
    (void)settings;
    return "";
}

} // namespace grading
