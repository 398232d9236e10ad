// The Markdown table, the results JSON and the JUnit XML.

#include "report.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "text.h"

namespace grading {

namespace {

std::string json(const std::string& text) { return "\"" + escapeJson(text) + "\""; }

double totalSeconds(const Submission& s) { return s.build.seconds + s.run.seconds; }

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

} // namespace

std::string markdownTable(const Settings& settings, const std::vector<Submission>& submissions) {
    std::string table = "| Submission | Builds | Runs | Frames matching | Score | Result |\n"
                        "|---|---|---|---|---|---|\n";
    for (const Submission& s : submissions) {
        table += "| " + escapeMarkdown(s.name) + " | " + (s.built ? "yes" : "no") + " | " +
                 escapeMarkdown(s.runWord) + " | " + s.framesMatching() + " | " +
                 formatNumber(s.score) + "/" + formatNumber(s.maxScore) + " | " +
                 escapeMarkdown(s.verdict()) + " |\n";
    }
    (void)settings;
    return table;
}

std::string jsonResult(const Settings& settings, const Submission& s, const std::string& indent) {
    const std::string in = indent + "  ";
    std::string out = "{\n";
    out += in + "\"name\": " + json(s.name) + ",\n";
    out += in + "\"verdict\": " + json(s.verdict()) + ",\n";
    out += in + "\"score\": " + formatNumber(s.score) + ",\n";
    out += in + "\"max_score\": " + formatNumber(s.maxScore) + ",\n";
    out += in + "\"execution_time\": " + seconds(totalSeconds(s)) + ",\n";
    out += in + "\"output\": " + json(s.verdict()) + ",\n";
    out += in + "\"tests\": [";
    const auto tests = testCases(settings, s);
    for (std::size_t i = 0; i < tests.size(); ++i) {
        const TestCase& t = tests[i];
        std::string output = t.message;
        if (!t.output.empty() && t.output != t.message) {
            output += "\n\n" + t.output;
        }
        out += std::string(i == 0 ? "" : ",") + "\n" + in + "  {\"name\": " + json(t.name) +
               ", \"score\": " + formatNumber(t.score) +
               ", \"max_score\": " + formatNumber(t.maxScore) + ", \"status\": \"" +
               (t.passed ? "passed" : "failed") + "\", \"output\": " + json(output) + "}";
    }
    out += "\n" + in + "]\n" + indent + "}";
    return out;
}

std::string jsonClass(const Settings& settings, const std::vector<Submission>& submissions) {
    std::string out = "{\n  \"reference\": " + json(settings.reference) + ",\n  \"frames\": [";
    for (std::size_t i = 0; i < settings.frames.size(); ++i) {
        out += (i == 0 ? "" : ", ") + std::to_string(settings.frames[i].number);
    }
    out += "],\n  \"tolerance\": " + std::to_string(settings.tolerance) + ",\n";
    out += "  \"submissions\": [";
    for (std::size_t i = 0; i < submissions.size(); ++i) {
        out += std::string(i == 0 ? "" : ",") + "\n    " +
               jsonResult(settings, submissions[i], "    ");
    }
    out += "\n  ]\n}\n";
    return out;
}

std::string junitReport(const Settings& settings, const std::vector<Submission>& submissions) {
    std::string suites;
    int tests = 0;
    int failures = 0;
    int errors = 0;
    double time = 0;
    char stamp[32] = "";
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", std::localtime(&now));
    for (const Submission& s : submissions) {
        const auto cases = testCases(settings, s);
        int suiteFailures = 0;
        int suiteErrors = 0;
        std::string body;
        for (const TestCase& t : cases) {
            body += "    <testcase name=\"" + escapeXml(t.name) + "\" classname=\"" +
                    escapeXml(s.name) + "\" time=\"" + seconds(t.seconds) + "\"";
            if (t.passed) {
                body += "/>\n";
                continue;
            }
            const char* element = t.error ? "error" : "failure";
            (t.error ? suiteErrors : suiteFailures) += 1;
            body += ">\n      <" + std::string(element) + " message=\"" + escapeXml(t.message) +
                    "\" type=\"" + escapeXml(t.kind) + "\">" + escapeXml(t.output) + "</" +
                    element + ">\n    </testcase>\n";
        }
        tests += static_cast<int>(cases.size());
        failures += suiteFailures;
        errors += suiteErrors;
        time += totalSeconds(s);
        suites += "  <testsuite name=\"" + escapeXml(s.name) + "\" tests=\"" +
                  std::to_string(cases.size()) + "\" failures=\"" + std::to_string(suiteFailures) +
                  "\" errors=\"" + std::to_string(suiteErrors) + "\" skipped=\"0\" time=\"" +
                  seconds(totalSeconds(s)) + "\" timestamp=\"" + stamp +
                  "\">\n    <properties>\n      <property name=\"verdict\" value=\"" +
                  escapeXml(s.verdict()) + "\"/>\n      <property name=\"score\" value=\"" +
                  formatNumber(s.score) + "\"/>\n      <property name=\"max_score\" value=\"" +
                  formatNumber(s.maxScore) + "\"/>\n    </properties>\n" + body +
                  "    <system-out>" + escapeXml(s.run.log.substr(0, 16 * 1024)) +
                  "</system-out>\n  </testsuite>\n";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"" +
           escapeXml("vantrel-grade: " + settings.title) + "\" tests=\"" + std::to_string(tests) +
           "\" failures=\"" + std::to_string(failures) + "\" errors=\"" + std::to_string(errors) +
           "\" time=\"" + seconds(time) + "\">\n" + suites + "</testsuites>\n";
}

} // namespace grading
