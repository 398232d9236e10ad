// Text helpers for the grading reports.

#include "text.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <fstream>

namespace grading {

std::string readStart(const std::string& path, std::size_t limit, long long* size) {
    if (size != nullptr) {
        *size = 0;
    }
    if (!isRegularFile(path)) {
        return "";
    }
    std::ifstream in(path, std::ios::binary);
    in.seekg(0, std::ios::end);
    const long long whole = static_cast<long long>(in.tellg());
    if (size != nullptr && whole > 0) {
        *size = whole;
    }
    in.seekg(0, std::ios::beg);
    std::string bytes(whole > 0 && static_cast<unsigned long long>(whole) < limit
                          ? static_cast<std::size_t>(whole)
                          : limit,
                      '\0');
    in.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount() > 0 ? in.gcount() : 0));
    return bytes;
}

bool isRegularFile(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

namespace {

// Length of the valid UTF-8 sequence at text[i], or 0 when it is not one
// (overlong forms, surrogates and code points past U+10FFFF included).
std::size_t utf8Length(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned long low = 0;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        low = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    unsigned long code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < low || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

} // namespace

std::string cleanText(const std::string& text) {
    std::string clean;
    clean.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t length = utf8Length(text, i);
        if (length == 0) {
            clean += "\xEF\xBF\xBD"; // U+FFFD
            ++i;
        } else if (length == 1 && ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F)) {
            ++i; // control characters: not allowed in XML, noise elsewhere
        } else {
            clean.append(text, i, length);
            i += length;
        }
    }
    return clean;
}

std::string oneLine(const std::string& text, std::size_t limit) {
    std::string line = cleanText(text);
    for (char& c : line) {
        if (c == '\n' || c == '\t') {
            c = ' ';
        }
    }
    const std::size_t first = line.find_first_not_of(' ');
    line.erase(0, first == std::string::npos ? line.size() : first);
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    if (line.size() > limit) {
        std::size_t cut = limit;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
            --cut; // not inside a character
        }
        line = line.substr(0, cut) + "…";
    }
    return line;
}

namespace {

// The cleaned text with each character `replace` names a replacement for
// replaced by it.
template <typename Replace> std::string escapeWith(const std::string& text, Replace replace) {
    std::string out;
    for (char c : cleanText(text)) {
        const char* with = replace(c);
        if (with != nullptr) {
            out += with;
        } else {
            out += c;
        }
    }
    return out;
}

// The five characters HTML and XML give a meaning to.
const char* markupEntity(char c) {
    switch (c) {
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '&':
        return "&amp;";
    case '"':
        return "&quot;";
    default:
        return nullptr;
    }
}

} // namespace

std::string escapeHtml(const std::string& text) {
    return escapeWith(text, [](char c) { return c == '\'' ? "&#39;" : markupEntity(c); });
}

std::string escapeJson(const std::string& text) {
    return escapeWith(text, [](char c) -> const char* {
        switch (c) {
        case '"':
            return "\\\"";
        case '\\':
            return "\\\\";
        case '\n':
            return "\\n";
        case '\t':
            return "\\t";
        default:
            return nullptr;
        }
    });
}

std::string escapeXml(const std::string& text) {
    return escapeWith(text, [](char c) -> const char* {
        switch (c) {
        case '\'':
            return "&apos;";
        case '\n':
            return "&#10;";
        case '\t':
            return "&#9;";
        default:
            return markupEntity(c);
        }
    });
}

std::string escapeMarkdown(const std::string& text) {
    std::string out;
    for (char c : oneLine(text)) {
        // A table cell ends at |; the others would start emphasis, code or
        // links, or (<) raw HTML in most renderers. (An underscore inside a
        // name, as in first_last, starts nothing.)
        if (c == '|' || c == '\\' || c == '`' || c == '*' || c == '[' || c == ']' || c == '<' ||
            c == '>') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

std::string base64(const std::string& bytes) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned long n = static_cast<unsigned char>(bytes[i]) << 16 |
                                static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                static_cast<unsigned char>(bytes[i + 2]);
        out += digits[n >> 18];
        out += digits[(n >> 12) & 63];
        out += digits[(n >> 6) & 63];
        out += digits[n & 63];
    }
    if (i < bytes.size()) {
        unsigned long n = static_cast<unsigned long>(static_cast<unsigned char>(bytes[i])) << 16;
        if (i + 1 < bytes.size()) {
            n |= static_cast<unsigned long>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        }
        out += digits[n >> 18];
        out += digits[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? digits[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string formatNumber(double value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    char text[32];
    if (std::fabs(value - std::round(value)) < 1e-9) {
        std::snprintf(text, sizeof text, "%.0f", value);
    } else {
        std::snprintf(text, sizeof text, "%.2f", value);
        std::string s(text);
        while (s.back() == '0') {
            s.pop_back();
        }
        if (s.back() == '.') {
            s.pop_back();
        }
        return s;
    }
    return text;
}

std::string signalName(int signal) {
    switch (signal) {
    case 1:
        return "hang-up (SIGHUP)";
    case 2:
        return "interrupted (SIGINT)";
    case 4:
        return "illegal instruction (SIGILL)";
    case 5:
        return "trap (SIGTRAP)";
    case 6:
        return "aborted (SIGABRT)";
    case 7:
        return "bus error (SIGBUS)";
    case 8:
        return "arithmetic error, such as a division by zero (SIGFPE)";
    case 9:
        return "killed (SIGKILL)";
    case 11:
        return "segmentation fault (SIGSEGV)";
    case 13:
        return "broken pipe (SIGPIPE)";
    case 14:
        return "alarm (SIGALRM)";
    case 15:
        return "terminated (SIGTERM)";
    case 24:
        return "CPU time limit (SIGXCPU)";
    case 25:
        return "file size limit (SIGXFSZ)";
    case 31:
        return "bad system call (SIGSYS)";
    default:
        return "signal " + std::to_string(signal);
    }
}

std::string formatBytes(long long bytes) {
    const char* units[] = {"bytes", "KB", "MB", "GB"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024 && unit < 3) {
        value /= 1024;
        ++unit;
    }
    return formatNumber(std::round(value * 10) / 10) + " " + units[unit];
}

} // namespace grading
