// Reading a results folder back: the facts each sandbox reported, the logs,
// the saved frames and what comparing them found.

#include "results.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

#include "text.h"

namespace grading {

namespace {

// At most this much of a log is read: enough for every message the verdict
// looks for (a program that prints more is stopped at the output limit).
constexpr std::size_t LOG_LIMIT = 256 * 1024;

bool readLong(const std::string& text, long& value) {
    if (text.empty() || text.size() > 18 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::strtol(text.c_str(), nullptr, 10);
    return true;
}

bool readDouble(const std::string& text, double& value) {
    if (text.empty() || text.size() > 24) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(value);
}

// key=value lines; anything else is ignored. Later lines win.
std::map<std::string, std::string> readFacts(const std::string& path) {
    std::map<std::string, std::string> facts;
    for (const std::string& line : splitLines(readStart(path, 64 * 1024))) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0 || equals > 40) {
            continue;
        }
        facts[line.substr(0, equals)] = line.substr(equals + 1, 4096);
    }
    return facts;
}

Step readStep(const std::string& folder, const std::string& step) {
    Step result;
    const auto facts = readFacts(folder + "/" + step + ".facts");
    long number = 0;
    auto at = facts.find("status");
    if (at != facts.end() && readLong(at->second, number) && number <= 255) {
        result.reported = true;
        result.status = static_cast<int>(number);
    }
    at = facts.find("limit");
    if (at != facts.end() &&
        (at->second == "time" || at->second == "cpu" || at->second == "memory")) {
        result.limit = at->second;
    }
    at = facts.find("tasks");
    if (at != facts.end() && readLong(at->second, number)) {
        result.tasks = number;
    }
    at = facts.find("seconds");
    double seconds = 0;
    if (at != facts.end() && readDouble(at->second, seconds) && seconds >= 0) {
        result.seconds = seconds;
    }
    at = facts.find("output_capped");
    result.outputCapped = at != facts.end() && at->second == "1";
    result.log = readStart(folder + "/" + step + ".log", LOG_LIMIT, &result.logSize);
    return result;
}

// compare.log: "frame N differing D of T [size WxH reference WxH]" or
// "frame N unreadable WHY", one a line.
struct Compared {
    bool unreadable = false;
    long differing = 0;
    long total = 0;
    std::string note;
};

std::map<long, Compared> readComparisons(const std::string& path) {
    std::map<long, Compared> found;
    for (const std::string& line : splitLines(readStart(path, 64 * 1024))) {
        std::istringstream words(line);
        std::string frame, number, what;
        long n = 0;
        if (!(words >> frame >> number >> what) || frame != "frame" || !readLong(number, n)) {
            continue;
        }
        Compared compared;
        if (what == "unreadable") {
            std::string rest;
            std::getline(words, rest);
            compared.unreadable = true;
            compared.note = oneLine(rest, 200);
        } else if (what == "differing") {
            std::string d, of, t, size, sizes, reference, referenceSizes;
            if (!(words >> d >> of >> t) || of != "of" || !readLong(d, compared.differing) ||
                !readLong(t, compared.total) || compared.differing > compared.total) {
                continue;
            }
            if (words >> size >> sizes >> reference >> referenceSizes && size == "size" &&
                reference == "reference") {
                compared.note = "its frame is " + oneLine(sizes, 20) + " pixels, the reference's " +
                                oneLine(referenceSizes, 20);
            }
        } else {
            continue;
        }
        found[n] = compared;
    }
    return found;
}

} // namespace

Submission readSubmission(const Settings& settings, const std::string& folder) {
    Submission submission;
    const std::string dir = settings.results + "/" + folder;
    submission.folder = folder;
    const auto facts = readFacts(dir + "/facts");
    const auto name = facts.find("name");
    submission.name = oneLine(name != facts.end() ? name->second : folder, 200);
    submission.build = readStep(dir, "build");
    submission.run = readStep(dir, "run");
    const auto compared = readComparisons(dir + "/compare.log");
    for (const FrameAsked& asked : settings.frames) {
        Frame frame;
        frame.number = asked.number;
        frame.weight = asked.weight;
        const std::string file = "/frames/frame-" + std::to_string(asked.number) + ".png";
        const std::string reference = settings.results + "/" + settings.referenceFolder + file;
        frame.referenceImage = isRegularFile(reference) ? reference : "";
        frame.submissionImage = isRegularFile(dir + file) ? dir + file : "";
        const std::string difference = dir + "/difference-" + std::to_string(asked.number) + ".png";
        frame.differenceImage = isRegularFile(difference) ? difference : "";
        const auto at = compared.find(asked.number);
        if (frame.submissionImage.empty()) {
            frame.state = FrameState::Missing;
        } else if (at == compared.end()) {
            frame.state = FrameState::Unreadable;
            frame.note = "it was not compared";
        } else if (at->second.unreadable) {
            frame.state = FrameState::Unreadable;
            frame.note = at->second.note;
        } else {
            frame.differing = at->second.differing;
            frame.total = at->second.total;
            frame.note = at->second.note;
            frame.state = frame.differing <= settings.tolerance && frame.note.empty()
                              ? FrameState::Match
                              : FrameState::Differs;
        }
        submission.frames.push_back(frame);
    }
    judge(settings, submission);
    for (const TestCase& test : testCases(settings, submission)) {
        submission.score += test.score;
        submission.maxScore += test.maxScore;
    }
    return submission;
}

std::vector<Submission> readSubmissions(const Settings& settings) {
    std::vector<Submission> submissions;
    for (const std::string& folder :
         splitLines(readStart(settings.results + "/submissions.txt", 1 << 20))) {
        if (!folder.empty() && folder.find('/') == std::string::npos && folder != "." &&
            folder != "..") {
            submissions.push_back(readSubmission(settings, folder));
        }
    }
    return submissions;
}

std::vector<FrameAsked> parseFrames(const std::string& text) {
    const std::string what = "expected frame numbers (1 or more) separated by commas, each "
                             "optionally with :POINTS (20,40 or 20:1,40:2), found \"" +
                             text + "\"";
    std::vector<FrameAsked> frames;
    std::stringstream items(text);
    std::string item;
    while (std::getline(items, item, ',')) {
        FrameAsked asked;
        const std::size_t colon = item.find(':');
        if (!readLong(item.substr(0, colon), asked.number) || asked.number < 1 ||
            asked.number > 100000000) {
            throw what;
        }
        if (colon != std::string::npos &&
            (!readDouble(item.substr(colon + 1), asked.weight) || asked.weight < 0 ||
             item.substr(colon + 1).find_first_not_of("0123456789.") != std::string::npos)) {
            throw what;
        }
        frames.push_back(asked);
    }
    if (frames.empty() || text.back() == ',') {
        throw what;
    }
    std::sort(frames.begin(), frames.end(),
              [](const FrameAsked& a, const FrameAsked& b) { return a.number < b.number; });
    for (std::size_t i = 1; i < frames.size(); ++i) {
        if (frames[i].number == frames[i - 1].number) {
            throw "frame " + std::to_string(frames[i].number) + " is named twice in \"" + text +
                "\"";
        }
    }
    return frames;
}

} // namespace grading
