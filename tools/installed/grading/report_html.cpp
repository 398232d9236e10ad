// The HTML report: one page a teacher opens to see at a glance who drew what.

#include "report.h"

#include "text.h"

namespace grading {

namespace {

// Images larger than this are named, not shown: a frame is a few kilobytes,
// and a submission could have saved anything under that name.
constexpr std::size_t IMAGE_LIMIT = 4 << 20;
// Logs are shown up to this size, with a note of what was left out.
constexpr std::size_t LOG_SHOWN = 64 * 1024;

const char* const STYLE = R"(
body { font-family: sans-serif; margin: 1.5em; color: #222; }
table { border-collapse: collapse; }
th, td { border: 1px solid #ccc; padding: 0.3em 0.6em; text-align: left; vertical-align: top; }
.pass { color: #087f23; font-weight: bold; }
.fail { color: #b00020; font-weight: bold; }
section { border-top: 2px solid #ddd; margin-top: 2em; }
.frames { display: flex; flex-wrap: wrap; gap: 1em; align-items: flex-start; }
figure { margin: 0; }
figcaption { font-size: 90%; color: #555; }
img { max-width: 360px; border: 1px solid #999; }
.missing { width: 240px; height: 120px; border: 1px dashed #999; display: flex;
           align-items: center; justify-content: center; color: #777; font-size: 90%; }
pre { background: #f6f6f6; padding: 0.5em; overflow: auto; max-height: 30em; }
)";

std::string anchor(const Submission& s) { return "s-" + escapeHtml(s.folder); }

std::string verdictHtml(const Submission& s) {
    return s.passed() ? "<span class=\"pass\">PASS</span>"
                      : "<span class=\"fail\">FAIL</span>: " + escapeHtml(s.detail);
}

// An image inline, or a box that says why there is none.
std::string figure(const std::string& path, const std::string& caption, const std::string& why) {
    std::string body;
    long long size = 0;
    const std::string bytes = path.empty() ? "" : readStart(path, IMAGE_LIMIT + 1, &size);
    if (path.empty()) {
        body = "<div class=\"missing\">" + escapeHtml(why) + "</div>";
    } else if (size > static_cast<long long>(IMAGE_LIMIT)) {
        body = "<div class=\"missing\">too large to show (" + formatBytes(size) + ")</div>";
    } else if (bytes.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0) {
        body = "<div class=\"missing\">not a PNG image</div>";
    } else {
        body = "<img alt=\"" + escapeHtml(caption) + "\" src=\"data:image/png;base64," +
               base64(bytes) + "\">";
    }
    return "<figure>" + body + "<figcaption>" + escapeHtml(caption) + "</figcaption></figure>";
}

std::string frameHtml(const Settings& settings, const Frame& frame) {
    std::string state;
    switch (frame.state) {
    case FrameState::Match:
        state = "<span class=\"pass\">matches</span>: " + std::to_string(frame.differing) + " of " +
                std::to_string(frame.total) + " pixels differ";
        break;
    case FrameState::Differs:
        state = "<span class=\"fail\">differs</span>: " + std::to_string(frame.differing) + " of " +
                std::to_string(frame.total) + " pixels differ (at most " +
                std::to_string(settings.tolerance) + " may)" +
                (frame.note.empty() ? "" : "; " + escapeHtml(frame.note));
        break;
    case FrameState::Missing:
        state = "<span class=\"fail\">not saved</span>" +
                (frame.note.empty() ? "" : ": " + escapeHtml(frame.note));
        break;
    case FrameState::Unreadable:
        state = "<span class=\"fail\">not compared</span>: " + escapeHtml(frame.note);
        break;
    }
    return "<h3>Frame " + std::to_string(frame.number) + " (" + formatNumber(frame.weight) +
           (frame.weight == 1 ? " point" : " points") + "): " + state +
           "</h3>\n<div class=\"frames\">" +
           figure(frame.referenceImage, "reference", "no reference frame") +
           figure(frame.submissionImage, "submission", "not saved") +
           figure(frame.differenceImage, "difference (red: differs)", "no difference image") +
           "</div>\n";
}

std::string logHtml(const std::string& title, const Step& step) {
    std::string shown = step.log.substr(0, LOG_SHOWN);
    std::string note;
    if (step.logSize > static_cast<long long>(shown.size())) {
        note = " (the first " + formatBytes(static_cast<long long>(shown.size())) + " of " +
               formatBytes(step.logSize) + ")";
    }
    if (step.logSize == 0) {
        note = " (empty)";
    }
    return "<details><summary>" + escapeHtml(title) + note + "</summary><pre>" + escapeHtml(shown) +
           "</pre></details>\n";
}

} // namespace

std::string htmlReport(const Settings& settings, const Submission& reference,
                       const std::vector<Submission>& submissions) {
    int passed = 0;
    for (const Submission& s : submissions) {
        passed += s.passed() ? 1 : 0;
    }
    std::string frames;
    for (const FrameAsked& asked : settings.frames) {
        frames += (frames.empty() ? "" : ", ") + std::to_string(asked.number);
    }
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>Grading: " +
                       escapeHtml(settings.title) + "</title>\n<style>" + STYLE +
                       "</style>\n</head>\n<body>\n<h1>Grading: " + escapeHtml(settings.title) +
                       "</h1>\n<p>Reference: " + escapeHtml(settings.reference) +
                       ". Frames compared: " + frames + ". A frame matches when at most " +
                       std::to_string(settings.tolerance) +
                       " of its pixels differ from the reference's. " + std::to_string(passed) +
                       " of " + std::to_string(submissions.size()) + " passed.</p>\n";
    page += "<table>\n<tr><th>Submission</th><th>Builds</th><th>Runs</th><th>Frames "
            "matching</th><th>Score</th><th>Result</th></tr>\n";
    for (const Submission& s : submissions) {
        page += "<tr><td><a href=\"#" + anchor(s) + "\">" + escapeHtml(s.name) + "</a></td><td>" +
                (s.built ? "yes" : "no") + "</td><td>" + escapeHtml(s.runWord) + "</td><td>" +
                s.framesMatching() + "</td><td>" + formatNumber(s.score) + "/" +
                formatNumber(s.maxScore) + "</td><td>" + verdictHtml(s) + "</td></tr>\n";
    }
    page += "</table>\n";
    for (const Submission& s : submissions) {
        page += "<section id=\"" + anchor(s) + "\">\n<h2>" + escapeHtml(s.name) + "</h2>\n<p>" +
                verdictHtml(s) + "<br>Score " + formatNumber(s.score) + " of " +
                formatNumber(s.maxScore) + ".</p>\n";
        if (s.built && s.run.reported) {
            for (const Frame& frame : s.frames) {
                page += frameHtml(settings, frame);
            }
        }
        page += logHtml("Build log", s.build);
        if (s.built) {
            page += logHtml("Run log", s.run);
        }
        page += "</section>\n";
    }
    page += "<section id=\"reference\">\n<h2>Reference: " + escapeHtml(settings.reference) +
            "</h2>\n" + logHtml("Build log", reference.build) + logHtml("Run log", reference.run) +
            "</section>\n</body>\n</html>\n";
    return page;
}

} // namespace grading
