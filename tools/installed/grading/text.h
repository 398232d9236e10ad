#ifndef VANTREL_GRADING_TEXT_H
#define VANTREL_GRADING_TEXT_H

// Text helpers for the grading reports: reading files that a submission may
// have made as large or as strange as it liked, and escaping their text for
// HTML, JSON, XML and Markdown.

#include <string>
#include <vector>

namespace grading {

/// At most `limit` bytes from the start of `path` ("" when it cannot be read);
/// `size` gets the file's whole size (0 when missing).
std::string readStart(const std::string& path, std::size_t limit, long long* size = nullptr);

/// Whether `path` is a regular file (not a link, folder or device).
bool isRegularFile(const std::string& path);

/// The text's lines, without their line ends ("\n", "\r\n").
std::vector<std::string> splitLines(const std::string& text);

/// The text with invalid UTF-8 replaced by U+FFFD and control characters
/// other than tab and line feed removed: safe in JSON, XML and HTML.
std::string cleanText(const std::string& text);

/// One line of text for a table cell or a message: cleaned, line breaks and
/// tabs turned into spaces, at most `limit` bytes (cut at a character).
std::string oneLine(const std::string& text, std::size_t limit = 300);

std::string escapeHtml(const std::string& text);     ///< cleaned, <>&"' escaped
std::string escapeJson(const std::string& text);     ///< cleaned, inside "..."
std::string escapeXml(const std::string& text);      ///< cleaned, for text and attributes
std::string escapeMarkdown(const std::string& text); ///< one line, | and other marks escaped

/// Standard base64 (RFC 4648), for data: URIs.
std::string base64(const std::string& bytes);

/// 3 as "3", 2.5 as "2.5", 1/3 as "0.33": points in tables and reports.
std::string formatNumber(double value);

/// "Segmentation fault (SIGSEGV)" for 11, ...; "signal N" for one not listed.
std::string signalName(int signal);

/// 8388608 as "8 MB", 1536 as "1.5 KB".
std::string formatBytes(long long bytes);

} // namespace grading

#endif
