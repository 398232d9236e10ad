#ifndef VANTREL_GRADING_REPORT_H
#define VANTREL_GRADING_REPORT_H

// The grading results in the forms they are read in: a Markdown table for
// pasting, one HTML page to look at, results JSON as autograding services
// take it (Gradescope's results.json), and JUnit XML for CI-based grading.
// All four tell the same story, from the same Submission records.

#include <string>
#include <vector>

#include "results.h"

namespace grading {

/// | Submission | Builds | Runs | Frames matching | Score | Result |, one row each.
std::string markdownTable(const Settings& settings, const std::vector<Submission>& submissions);

/// One self-contained page: a summary, then per submission its verdict, each
/// compared frame as reference / submission / difference side by side
/// (images inline as data: URIs) and its build and run logs folded away.
std::string htmlReport(const Settings& settings, const Submission& reference,
                       const std::vector<Submission>& submissions);

/// One submission in Gradescope's results.json form: score, max_score,
/// execution_time, output and tests[] (name, score, max_score, status, output).
std::string jsonResult(const Settings& settings, const Submission& submission,
                       const std::string& indent = "");

/// The whole class: {"frames": [...], "tolerance": N, "submissions": [...]},
/// each element in the form jsonResult writes, with its "name" and "verdict".
std::string jsonClass(const Settings& settings, const std::vector<Submission>& submissions);

/// JUnit XML: a testsuite per submission, a testcase per test.
std::string junitReport(const Settings& settings, const std::vector<Submission>& submissions);

} // namespace grading

#endif
