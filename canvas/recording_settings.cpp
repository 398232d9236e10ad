// The recording mode's settings: the VANTREL_* variables and the input
// script, read once and checked before the first frame, so that a mistake in
// a grader's script stops the run with a message rather than in mid-run.

#include "canvas/recording.h"

#include "canvas/utf8.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vantrel {
namespace detail {

namespace {

// A whole-string decimal number from low to high, or false.
bool readNumber(const std::string& text, long low, long high, long& value) {
    if (text.empty() || text.size() > 18) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || !(text[0] == '-' || (text[0] >= '0' && text[0] <= '9'))) {
        return false;
    }
    if (parsed < low || parsed > high) {
        return false;
    }
    value = static_cast<long>(parsed);
    return true;
}

const char* variable(const char* name) {
    const char* value = SDL_getenv(name);
    return value != nullptr && value[0] != '\0' ? value : nullptr;
}

std::string found(const std::vector<std::string>& words, std::size_t i) {
    return i < words.size() ? "\"" + words[i] + "\"" : "the end of the line";
}

bool readButton(const std::string& word, Uint8& button) {
    std::string lower(word);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "left") {
        button = SDL_BUTTON_LEFT;
    } else if (lower == "middle") {
        button = SDL_BUTTON_MIDDLE;
    } else if (lower == "right") {
        button = SDL_BUTTON_RIGHT;
    } else {
        return false;
    }
    return true;
}

// The word's place among names (separated by spaces), in any case, or -1.
int readName(const std::string& word, const char* names) {
    std::istringstream list(names);
    int place = 0;
    for (std::string name; list >> name; ++place) {
        if (SDL_strcasecmp(word.c_str(), name.c_str()) == 0) {
            return place;
        }
    }
    return -1;
}

// SDL_CONTROLLER_BUTTON_* and SDL_CONTROLLER_AXIS_* without the prefix, in
// SDL's order (the touchpad, which a virtual pad lacks, left out).
const char* const PAD_BUTTONS = "A B X Y BACK GUIDE START LEFTSTICK RIGHTSTICK LEFTSHOULDER "
                                "RIGHTSHOULDER DPAD_UP DPAD_DOWN DPAD_LEFT DPAD_RIGHT MISC1 "
                                "PADDLE1 PADDLE2 PADDLE3 PADDLE4";
const char* const PAD_AXES = "LEFTX LEFTY RIGHTX RIGHTY TRIGGERLEFT TRIGGERRIGHT";

// A whole-string decimal fraction from low to high, or false.
bool readFraction(const std::string& text, double low, double high, double& value) {
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(parsed >= low && parsed <= high)) {
        return false;
    }
    value = parsed;
    return true;
}

// Coordinates and wheel steps: anything a window of 16-bit size could use.
constexpr long COORDINATE_LIMIT = 100000;

// A text line ("frame 12 text José") types the rest of the line after
// "text" and one space or tab, exactly as written, # and spaces included (a
// carriage return that ends the line aside). Returns false for any other
// line; for a text line, fills words with its first three words.
bool splitTextLine(const std::string& line, std::vector<std::string>& words, std::string& text) {
    const char* const blanks = " \t\r\v\f";
    std::size_t at = 0;
    std::vector<std::string> first;
    while (first.size() < 3) {
        const std::size_t start = line.find_first_not_of(blanks, at);
        if (start == std::string::npos) {
            return false;
        }
        at = line.find_first_of(blanks, start);
        first.push_back(line.substr(start, at == std::string::npos ? at : at - start));
        if (at == std::string::npos) {
            break;
        }
    }
    if (first.size() < 3 || first[2] != "text" || first[0] != "frame") {
        return false;
    }
    text = at == std::string::npos ? "" : line.substr(at + 1);
    if (!text.empty() && text.back() == '\r') {
        text.pop_back();
    }
    words = first;
    return true;
}

ScriptedInput readLine(const std::vector<std::string>& w, const std::string& where,
                       const std::string& text) {
    auto expected = [&](std::size_t i, const std::string& what) {
        return where + ": expected " + what + ", found " + found(w, i);
    };
    ScriptedInput input;
    if (w[0] != "frame") {
        throw expected(0, "\"frame\"");
    }
    if (w.size() < 2 || !readNumber(w[1], 1, LONG_MAX / 2, input.frame)) {
        throw expected(1, "a frame number (1 or more)");
    }
    std::size_t next = 3;
    if (w.size() > 2 && w[2] == "close") {
        input.kind = ScriptedInput::Close;
    } else if (w.size() > 2 && w[2] == "text") {
        input.kind = ScriptedInput::Text;
        if (text.empty()) {
            throw where + ": expected the text to type after \"text\" and one space, found the "
                          "end of the line";
        }
        if (!isUtf8(text.data(), text.size())) {
            throw where + ": expected text in UTF-8 (save the script as UTF-8), found bytes "
                          "that are not";
        }
        input.text = text;
    } else if (w.size() > 2 && w[2] == "key") {
        if (w.size() < 4 || (w[3] != "down" && w[3] != "up" && w[3] != "repeat")) {
            throw expected(3, "\"down\", \"up\" or \"repeat\"");
        }
        input.kind = w[3] == "down" ? ScriptedInput::KeyDown
                     : w[3] == "up" ? ScriptedInput::KeyUp
                                    : ScriptedInput::KeyRepeat;
        if (w.size() < 5 || (input.key = SDL_GetKeyFromName(w[4].c_str())) == SDLK_UNKNOWN) {
            throw expected(4, "a key name (LEFT, RIGHT, UP, DOWN, SPACE, RETURN, ESCAPE, A, 1...)");
        }
        next = 5;
    } else if (w.size() > 2 && w[2] == "mouse") {
        const std::string action = w.size() > 3 ? w[3] : "";
        long a = 0;
        long b = 0;
        if (action == "move") {
            input.kind = ScriptedInput::MouseMove;
            if (w.size() < 5 || !readNumber(w[4], -COORDINATE_LIMIT, COORDINATE_LIMIT, a)) {
                throw expected(4, "an x position in pixels");
            }
            if (w.size() < 6 || !readNumber(w[5], -COORDINATE_LIMIT, COORDINATE_LIMIT, b)) {
                throw expected(5, "a y position in pixels");
            }
            input.x = static_cast<int>(a);
            input.y = static_cast<int>(b);
            next = 6;
        } else if (action == "click" || action == "down" || action == "up") {
            input.kind = action == "click"  ? ScriptedInput::MouseClick
                         : action == "down" ? ScriptedInput::MouseDown
                                            : ScriptedInput::MouseUp;
            if (w.size() < 5 || !readButton(w[4], input.button)) {
                throw expected(4, "a button: left, middle or right");
            }
            next = 5;
        } else if (action == "wheel") {
            input.kind = ScriptedInput::MouseWheel;
            if (w.size() < 5 || !readNumber(w[4], -COORDINATE_LIMIT, COORDINATE_LIMIT, a)) {
                throw expected(4, "a number of wheel steps (positive: away from the user)");
            }
            input.y = static_cast<int>(a);
            next = 5;
        } else {
            throw expected(3, "\"move\", \"click\", \"down\", \"up\" or \"wheel\"");
        }
    } else if (w.size() > 2 && w[2] == "pad") {
        long pad = 0;
        if (w.size() < 4 || !readNumber(w[3], 0, 7, pad)) {
            throw expected(3, "a pad number from 0 to 7");
        }
        input.pad = static_cast<int>(pad);
        const std::string part = w.size() > 4 ? w[4] : "";
        if (part == "button") {
            if (w.size() < 6 || (input.control = readName(w[5], PAD_BUTTONS)) < 0) {
                throw expected(5, "a button (A, B, X, Y, BACK, START, LEFTSHOULDER, DPAD_UP...)");
            }
            if (w.size() < 7 || (w[6] != "down" && w[6] != "up")) {
                throw expected(6, "\"down\" or \"up\"");
            }
            input.kind = w[6] == "down" ? ScriptedInput::PadButtonDown : ScriptedInput::PadButtonUp;
        } else if (part == "axis") {
            if (w.size() < 6 || (input.control = readName(w[5], PAD_AXES)) < 0) {
                throw expected(5, "an axis (LEFTX, LEFTY, RIGHTX, RIGHTY, TRIGGERLEFT, "
                                  "TRIGGERRIGHT)");
            }
            const bool trigger = input.control >= SDL_CONTROLLER_AXIS_TRIGGERLEFT;
            if (w.size() < 7 || !readFraction(w[6], trigger ? 0 : -1, 1, input.value)) {
                throw expected(6, trigger ? "a trigger value from 0 to 1"
                                          : "an axis value from -1 to 1");
            }
            input.kind = ScriptedInput::PadAxis;
        } else {
            throw expected(4, "\"button\" or \"axis\"");
        }
        next = 7;
    } else {
        throw expected(2, "\"key\", \"text\", \"mouse\", \"pad\" or \"close\"");
    }
    if (w.size() > next) {
        throw expected(next, "the end of the line");
    }
    return input;
}

} // namespace

std::vector<ScriptedInput> parseInputScript(std::istream& in, const std::string& fileName) {
    std::vector<ScriptedInput> script;
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        std::vector<std::string> w;
        std::string typed;
        if (!splitTextLine(text, w, typed)) {
            const std::size_t hash = text.find('#');
            if (hash != std::string::npos) {
                text.erase(hash);
            }
            std::istringstream words(text);
            for (std::string word; words >> word;) {
                w.push_back(word);
            }
        }
        if (w.empty()) {
            continue;
        }
        ScriptedInput input = readLine(w, fileName + ":" + std::to_string(number), typed);
        input.line = number;
        script.push_back(input);
    }
    // Same frame: in the order written.
    std::stable_sort(
        script.begin(), script.end(),
        [](const ScriptedInput& a, const ScriptedInput& b) { return a.frame < b.frame; });
    return script;
}

void parseSaveFrames(const std::string& list, RecordingSettings& settings) {
    const std::string what = "VANTREL_SAVE_FRAMES: expected frame numbers (1 or more) separated "
                             "by commas, or every:K, found \"" +
                             list + "\"";
    long value = 0;
    if (list.compare(0, 6, "every:") == 0) {
        if (!readNumber(list.substr(6), 1, LONG_MAX / 2, value)) {
            throw what;
        }
        settings.saveEvery = value;
        return;
    }
    std::stringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        if (!readNumber(item, 1, LONG_MAX / 2, value)) {
            throw what;
        }
        settings.saveFrames.push_back(value);
    }
    if (settings.saveFrames.empty() || list.back() == ',') {
        throw what;
    }
    std::sort(settings.saveFrames.begin(), settings.saveFrames.end());
}

void checkFramePattern(const std::string& pattern) {
    int conversions = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            continue;
        }
        std::size_t j = i + 1;
        if (j < pattern.size() && pattern[j] == '%') {
            i = j;
            continue;
        }
        if (j < pattern.size() && pattern[j] == '0') {
            ++j;
        }
        std::size_t digits = 0;
        while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9' && digits < 3) {
            ++j;
            ++digits;
        }
        if (j >= pattern.size() || (pattern[j] != 'd' && pattern[j] != 'i')) {
            throw "VANTREL_FRAME_PATTERN: expected one integer conversion such as %04d (and %% "
                  "for a percent sign), found \"" +
                pattern + "\"";
        }
        ++conversions;
        i = j;
    }
    if (conversions != 1) {
        throw "VANTREL_FRAME_PATTERN: expected exactly one integer conversion such as %04d, "
              "found " +
            std::to_string(conversions) + " in \"" + pattern + "\"";
    }
}

std::string frameFileName(const std::string& pattern, long frame) {
    // The pattern was checked: one integer conversion, turned into %ld here.
    std::string format;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        format += pattern[i];
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == '%') {
            format += pattern[++i];
        } else if (pattern[i] == '%') {
            while (++i < pattern.size() && pattern[i] != 'd' && pattern[i] != 'i') {
                format += pattern[i];
            }
            format += "ld";
        }
    }
    const int size = std::snprintf(nullptr, 0, format.c_str(), frame);
    std::string name(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    std::snprintf(&name[0], name.size() + 1, format.c_str(), frame);
    return name;
}

bool isFrameToSave(const RecordingSettings& settings, long frame) {
    if (settings.saveEvery > 0 && frame % settings.saveEvery == 0) {
        return true;
    }
    return std::binary_search(settings.saveFrames.begin(), settings.saveFrames.end(), frame);
}

RecordingSettings readRecordingSettings() {
    RecordingSettings settings;
    const char* record = variable("VANTREL_RECORD");
    if (record == nullptr || std::string(record) != "1") {
        return settings;
    }
    settings.on = true;
    if (const char* frames = variable("VANTREL_FRAMES")) {
        if (!readNumber(frames, 1, LONG_MAX / 2, settings.frames)) {
            throw std::string("VANTREL_FRAMES: expected a number of frames (1 or more), found \"") +
                frames + "\"";
        }
    }
    if (const char* list = variable("VANTREL_SAVE_FRAMES")) {
        parseSaveFrames(list, settings);
    }
    if (const char* pattern = variable("VANTREL_FRAME_PATTERN")) {
        settings.pattern = pattern;
    }
    checkFramePattern(settings.pattern);
    if (const char* input = variable("VANTREL_INPUT")) {
        settings.inputFile = input;
    }
    return settings;
}

void loadInputScript(RecordingSettings& settings) {
    if (settings.inputFile.empty()) {
        return;
    }
    std::ifstream file(settings.inputFile);
    if (!file) {
        throw "VANTREL_INPUT: cannot read the input script \"" + settings.inputFile + "\"";
    }
    settings.script = parseInputScript(file, settings.inputFile);
}

} // namespace detail
} // namespace vantrel
