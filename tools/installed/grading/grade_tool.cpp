// vantrel-grade-tool: the part of vantrel-grade written in C++. It compares
// frames (run inside a sandbox, since the frames come from a submission) and
// writes the reports from a results folder. vantrel-grade runs it; it is not
// meant to be run by hand.
//
//   vantrel-grade-tool compare [--fuzz PERCENT] --frames LIST REFERENCE_DIR SUBMISSION_DIR OUT_DIR
//   vantrel-grade-tool report --results DIR --frames LIST [options]
//   vantrel-grade-tool reference --results DIR --frames LIST [--limits ...]
//   vantrel-grade-tool frames LIST     prints the frame numbers of LIST, or why it is wrong

#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "canvas/file_write.h"
#include "compare.h"
#include "report.h"
#include "results.h"
#include "text.h"

namespace {

const char* const USAGE =
    "usage: vantrel-grade-tool compare [--fuzz PERCENT] --frames LIST REFERENCE_DIR "
    "SUBMISSION_DIR OUT_DIR\n"
    "       vantrel-grade-tool report --results DIR --frames LIST [--tolerance N]\n"
    "           [--build-points P] [--run-points P] [--limits time=S,cpu=S,memory=MB,\n"
    "           processes=N,files=N,output=BYTES,build-time=S] [--title TEXT]\n"
    "           [--reference NAME] [--html FILE] [--json FILE [--one]] [--junit FILE]\n"
    "       vantrel-grade-tool reference --results DIR --frames LIST [--limits ...]\n"
    "       vantrel-grade-tool frames LIST\n"
    "(vantrel-grade runs this; see vantrel-grade --help)\n";

int usage(const std::string& why) {
    std::fprintf(stderr, "vantrel-grade-tool: %s\n%s", why.c_str(), USAGE);
    return 2;
}

bool number(const std::string& text, double& value) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) {
        return false;
    }
    value = std::strtod(text.c_str(), nullptr);
    return true;
}

void parseLimits(const std::string& text, grading::Limits& limits) {
    std::stringstream items(text);
    std::string item;
    while (std::getline(items, item, ',')) {
        const std::size_t equals = item.find('=');
        double value = 0;
        if (equals == std::string::npos || !number(item.substr(equals + 1), value)) {
            throw "--limits: expected NAME=NUMBER items, found \"" + item + "\"";
        }
        const std::string name = item.substr(0, equals);
        if (name == "time") {
            limits.time = static_cast<long>(value);
        } else if (name == "cpu") {
            limits.cpu = static_cast<long>(value);
        } else if (name == "memory") {
            limits.memory = static_cast<long>(value);
        } else if (name == "processes") {
            limits.processes = static_cast<long>(value);
        } else if (name == "files") {
            limits.files = static_cast<long>(value);
        } else if (name == "output") {
            limits.output = static_cast<long long>(value);
        } else if (name == "build-time") {
            limits.buildTime = static_cast<long>(value);
        } else {
            throw "--limits: no limit named \"" + name + "\"";
        }
    }
}

// Whole or not at all: a report that cannot be written leaves the earlier one.
bool writeFile(const std::string& path, const std::string& text) {
    std::string cause;
    if (!vantrel::detail::writeWholeFile(path, text, &cause)) {
        std::fprintf(stderr, "vantrel-grade-tool: cannot write %s: %s\n", path.c_str(),
                     cause.c_str());
        return false;
    }
    return true;
}

int compare(const std::map<std::string, std::string>& options,
            const std::vector<std::string>& folders) {
    if (folders.size() != 3 || !options.count("frames")) {
        return usage("compare needs --frames and three folders");
    }
    double fuzz = grading::defaults::FUZZ;
    if (options.count("fuzz") && (!number(options.at("fuzz"), fuzz) || fuzz > 100)) {
        return usage("--fuzz: expected a percentage from 0 to 100");
    }
    IMG_Init(IMG_INIT_PNG);
    for (const grading::FrameAsked& frame : grading::parseFrames(options.at("frames"))) {
        const std::string file = "/frame-" + std::to_string(frame.number) + ".png";
        if (!grading::isRegularFile(folders[1] + file)) {
            continue; // not saved: the report says so
        }
        const grading::Comparison c = grading::compareFrames(
            folders[0] + file, folders[1] + file, fuzz,
            folders[2] + "/difference-" + std::to_string(frame.number) + ".png");
        if (!c.compared) {
            std::printf("frame %ld unreadable %s\n", frame.number,
                        grading::oneLine(c.problem).c_str());
            continue;
        }
        std::printf("frame %ld differing %ld of %ld", frame.number, c.differing, c.total);
        if (c.width != c.referenceWidth || c.height != c.referenceHeight) {
            std::printf(" size %dx%d reference %dx%d", c.width, c.height, c.referenceWidth,
                        c.referenceHeight);
        }
        std::printf("\n");
    }
    IMG_Quit();
    return 0;
}

grading::Settings settingsFrom(const std::map<std::string, std::string>& options) {
    grading::Settings settings;
    settings.results = options.at("results");
    settings.frames = grading::parseFrames(options.at("frames"));
    double value = 0;
    if (options.count("tolerance")) {
        if (!number(options.at("tolerance"), value)) {
            throw std::string("--tolerance: expected a number of pixels");
        }
        settings.tolerance = static_cast<long>(value);
    }
    for (const char* points : {"build-points", "run-points"}) {
        if (options.count(points)) {
            if (!number(options.at(points), value)) {
                throw "--" + std::string(points) + ": expected a number of points";
            }
            (std::string(points) == "build-points" ? settings.buildPoints : settings.runPoints) =
                value;
        }
    }
    if (options.count("limits")) {
        parseLimits(options.at("limits"), settings.limits);
    }
    settings.title = options.count("title") ? options.at("title") : "submissions";
    settings.reference = options.count("reference") ? options.at("reference") : "reference";
    return settings;
}

int report(const std::map<std::string, std::string>& options, bool one) {
    if (!options.count("results") || !options.count("frames")) {
        return usage("report needs --results and --frames");
    }
    const grading::Settings settings = settingsFrom(options);
    const std::vector<grading::Submission> submissions = grading::readSubmissions(settings);
    const grading::Submission reference =
        grading::readSubmission(settings, settings.referenceFolder);
    bool written = true;
    if (options.count("html")) {
        written &=
            writeFile(options.at("html"), grading::htmlReport(settings, reference, submissions));
    }
    if (options.count("json")) {
        if (one && submissions.size() != 1) {
            std::fprintf(stderr,
                         "vantrel-grade-tool: --one needs exactly one submission, found %zu\n",
                         submissions.size());
            return 2;
        }
        written &= writeFile(options.at("json"),
                             one ? grading::jsonResult(settings, submissions.front()) + "\n"
                                 : grading::jsonClass(settings, submissions));
    }
    if (options.count("junit")) {
        written &= writeFile(options.at("junit"), grading::junitReport(settings, submissions));
    }
    std::fputs(grading::markdownTable(settings, submissions).c_str(), stdout);
    if (!written) {
        return 2;
    }
    for (const grading::Submission& s : submissions) {
        if (!s.passed()) {
            return 1;
        }
    }
    return 0;
}

int checkReference(const std::map<std::string, std::string>& options) {
    if (!options.count("results") || !options.count("frames")) {
        return usage("reference needs --results and --frames");
    }
    const grading::Settings settings = settingsFrom(options);
    const std::string problem = grading::referenceProblem(
        settings, grading::readSubmission(settings, settings.referenceFolder));
    if (!problem.empty()) {
        std::printf("%s\n", problem.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        return usage("no command");
    }
    const std::string command = argv[1];
    std::map<std::string, std::string> options;
    std::vector<std::string> rest;
    bool one = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--one") {
            one = true;
        } else if (arg.rfind("--", 0) == 0) {
            if (i + 1 >= argc) {
                return usage(arg + " needs a value");
            }
            options[arg.substr(2)] = argv[++i];
        } else {
            rest.push_back(arg);
        }
    }
    try {
        if (command == "compare") {
            return compare(options, rest);
        }
        if (command == "report") {
            return report(options, one);
        }
        if (command == "reference") {
            return checkReference(options);
        }
        if (command == "frames" && rest.size() == 1) {
            std::string numbers;
            for (const grading::FrameAsked& frame : grading::parseFrames(rest[0])) {
                numbers += (numbers.empty() ? "" : ",") + std::to_string(frame.number);
            }
            std::printf("%s\n", numbers.c_str());
            return 0;
        }
    } catch (const std::string& message) {
        return usage(message);
    }
    return usage("unknown command \"" + command + "\"");
}
