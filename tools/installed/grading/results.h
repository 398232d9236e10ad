#ifndef VANTREL_GRADING_RESULTS_H
#define VANTREL_GRADING_RESULTS_H

// What grading found for each submission, read back from the results folder
// that vantrel-grade fills, and the verdict drawn from it.
//
// The folder holds one subfolder per program (the reference's is named in
// Settings::referenceFolder). Each has: facts (name=...), build.facts and
// run.facts (status=, limit=, tasks=, cpu= as the sandbox reported them;
// seconds= and output_capped= as measured outside it), build.log, run.log,
// frames/frame-N.png, compare.log ("frame N differing D of T" a line) and
// difference-N.png. Everything that came out of a sandbox is read as
// untrusted: sizes are capped and malformed lines ignored.

#include <string>
#include <vector>

#include "grading_defaults.h"

namespace grading {

/// A frame to compare and the points it is worth.
struct FrameAsked {
    long number = 0;
    double weight = 1;
};

/// The limits each run had, for the messages that name them.
struct Limits {
    long time = defaults::TIME;                   ///< wall-clock seconds a run may take
    long cpu = defaults::CPU;                     ///< CPU seconds
    long memory = defaults::MEMORY;               ///< megabytes of address space
    long processes = defaults::PROCESSES;         ///< processes and threads
    long files = defaults::OPEN_FILES;            ///< open files
    long long output = defaults::OUTPUT_MB << 20; ///< bytes of output, and of each file written
    long buildTime = defaults::BUILD_TIME;        ///< wall-clock seconds a build may take
};

/// How the grading was asked for.
struct Settings {
    std::string results;                       ///< the results folder
    std::string referenceFolder = "reference"; ///< its subfolder for the reference
    std::vector<FrameAsked> frames;
    long tolerance = defaults::TOLERANCE; ///< differing pixels a frame may have and still match
    double buildPoints = 0;
    double runPoints = 0;
    Limits limits;
    std::string title;     ///< what is graded, for the report's heading
    std::string reference; ///< the reference's name
};

/// What one sandboxed step (the build or the run) reported.
struct Step {
    bool reported = false; ///< the sandbox reported a status at all
    int status = -1;       ///< exit status; 128 + N for signal N
    std::string limit;     ///< "time", "cpu" or "memory" (from inside), or ""
    long tasks = 0;        ///< processes and threads left when it ended
    double seconds = 0;    ///< wall-clock time, measured outside
    bool outputCapped = false;
    std::string log;       ///< the start of its log
    long long logSize = 0; ///< the log's whole size
};

enum class FrameState { Match, Differs, Missing, Unreadable };

/// One compared frame.
struct Frame {
    long number = 0;
    double weight = 1;
    FrameState state = FrameState::Missing;
    long differing = 0;
    long total = 0;
    std::string note;           ///< why it is missing or unreadable, or a size mismatch
    std::string referenceImage; ///< paths, "" when there is none
    std::string submissionImage;
    std::string differenceImage;
};

enum class Outcome {
    Pass,
    GradingError, ///< the sandbox itself failed: not the program's fault
    DoesNotBuild,
    BuildStopped, ///< the build hit a limit
    KilledAtLimit,
    Crashed,
    ExitedWithStatus,
    NoFrames,
    FramesDiffer,
    IgnoredClose,
};

/// Everything known about one submission, with its verdict.
struct Submission {
    std::string name;   ///< as the teacher named it (file or folder name)
    std::string folder; ///< its subfolder in the results
    Step build;
    Step run;
    bool built = false;
    bool ranCleanly = false; ///< ended by itself with status 0, no limit hit
    bool closeIgnored = false;
    std::vector<Frame> frames;
    int matching = 0;
    Outcome outcome = Outcome::GradingError;
    std::string detail;  ///< one line: why it failed ("" for a pass)
    std::string runWord; ///< the table's Runs column: yes, crashed, killed...
    double score = 0;
    double maxScore = 0;
    bool passed() const { return outcome == Outcome::Pass; }
    /// "1/2" frames matching, or "-" when it saved none to compare.
    std::string framesMatching() const;
    std::string verdict() const { return passed() ? "PASS" : "FAIL: " + detail; }
};

/// One test as an autograder sees it: the build, the run, or a frame.
struct TestCase {
    std::string name;
    double score = 0;
    double maxScore = 0;
    bool passed = false;
    bool error = false;  ///< a grading error rather than a failure
    std::string kind;    ///< a short failure type: "build", "crashed", "differs"...
    std::string message; ///< one line
    std::string output;  ///< the longer text: a log, a pixel count
    double seconds = 0;
};

/// Reads one program's subfolder and draws its verdict.
Submission readSubmission(const Settings& settings, const std::string& folder);

/// The submissions listed in the results folder's submissions.txt, in order.
std::vector<Submission> readSubmissions(const Settings& settings);

/// Draws the verdict from what was read (called by readSubmission).
void judge(const Settings& settings, Submission& submission);

/// The tests an autograder gets for a submission: build, run, one per frame.
std::vector<TestCase> testCases(const Settings& settings, const Submission& submission);

/// For the reference: "" when it built, ran cleanly and saved every frame,
/// else why not.
std::string referenceProblem(const Settings& settings, const Submission& reference);

/// Parses "20,40" or "20:2,40:3" (frame:weight); throws a message on error.
std::vector<FrameAsked> parseFrames(const std::string& text);

} // namespace grading

#endif
