// Saved data: numbers and text kept by key between runs, in one small file
// per program (saved.txt) in the per-user folder SDL_GetPrefPath gives,
// named by the program; in the recording mode (and so under the grader) in
// the working folder, so that runs stay the same and inside their sandbox.
// The file is written whole or not at all, at every save. One line a key:
// "n KEY<TAB>NUMBER" or "t KEY<TAB>TEXT", with \\, \t and \n escaped.
// In a browser the folder lives in the page's IndexedDB, so that it
// survives a reload.

#include "canvas/canvas.h"

#include "canvas/file_write.h"
#include "canvas/state.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#elif defined(__linux__)
#include <unistd.h>
#elif defined(__EMSCRIPTEN__)
#include <emscripten.h>

// The page's side of the saved data. Module.vantrelSaved is 0 while the
// IndexedDB copy is being read, 1 once it is in place, and 2 where the page
// may not use IndexedDB (a sandboxed page): there the data lasts as long as
// the page.
// clang-format off
EM_JS(void, vantrelMountSaved, (const char* folder), {
    Module.vantrelSaved = 0;
    try {
        FS.mount(IDBFS, {}, UTF8ToString(folder));
        FS.syncfs(true, function(error) { Module.vantrelSaved = error ? 2 : 1; });
    } catch (error) {
        Module.vantrelSaved = 2;
    }
});
EM_JS(int, vantrelSavedState, (), { return Module.vantrelSaved; });
EM_JS(void, vantrelStoreSaved, (), {
    if (Module.vantrelSaved === 1) {
        FS.syncfs(false, function(error) {
            if (error) console.error("Vantrel: could not keep the saved data: " + error);
        });
    }
});
// clang-format on
#endif

namespace {

using vantrel::detail::State;

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c == '\\' ? "\\\\" : c == '\t' ? "\\t" : c == '\n' ? "\\n" : std::string(1, c);
    }
    return out;
}

bool unescape(const std::string& text, std::string* out) {
    out->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            *out += text[i];
            continue;
        }
        if (++i == text.size()) {
            return false;
        }
        const char c = text[i];
        if (c != '\\' && c != 't' && c != 'n') {
            return false;
        }
        *out += c == 't' ? '\t' : c == 'n' ? '\n' : '\\';
    }
    return true;
}

// The program's own name, for its folder: its executable's, without ".exe".
std::string programName() {
    std::string path;
#if defined(_WIN32)
    char buffer[MAX_PATH] = {0};
    if (GetModuleFileNameA(nullptr, buffer, MAX_PATH) > 0) {
        path = buffer;
    }
#elif defined(__linux__)
    char buffer[4096] = {0};
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0) {
        path.assign(buffer, static_cast<std::size_t>(length));
    }
#elif defined(__EMSCRIPTEN__)
    // The page's name: "game" for .../game.html, with nothing a folder
    // name could not hold.
    path = emscripten_run_script_string(
        "(location.pathname.replace(/\\/+$/, '').split('/').pop() || 'program')"
        ".replace(/\\.html?$/, '').replace(/[^A-Za-z0-9._-]/g, '_')");
#endif
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0) {
        name.resize(name.size() - 4);
    }
    return name.empty() ? "program" : name;
}

#ifdef __EMSCRIPTEN__
// Mounts the page's IndexedDB copy of folder and fills it, waiting up to 3 s.
void fetchFromBrowser(std::string folder) {
    if (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    vantrelMountSaved(folder.c_str());
    for (int waited = 0; waited < 3000 && vantrelSavedState() == 0; waited += 10) {
        emscripten_sleep(10);
    }
}

// Writes the folder back to IndexedDB, in the background.
void storeInBrowser() { vantrelStoreSaved(); }
#endif

// Reads the file once; a damaged one gives the defaults and one line on
// standard error, and is replaced at the next save.
void readSaved(State& state) {
    if (state.savedRead) {
        return;
    }
    state.savedRead = true;
    // The recording mode is asked for from outside, before initWorld too.
    const char* record = SDL_getenv("VANTREL_RECORD");
    const bool recording =
        state.recorder != nullptr || (record != nullptr && std::string(record) == "1");
    state.savedFile = recording ? "saved.txt" : "";
    if (state.savedFile.empty()) {
        char* folder = SDL_GetPrefPath("Vantrel", programName().c_str());
        state.savedFile = folder != nullptr ? std::string(folder) + "saved.txt" : "saved.txt";
#ifdef __EMSCRIPTEN__
        if (folder != nullptr) {
            fetchFromBrowser(folder);
        }
#endif
        SDL_free(folder);
    }
    std::ifstream in(state.savedFile, std::ios::binary);
    if (!in) {
        return; // nothing saved yet
    }
    std::string line;
    long number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::size_t tab = line.find('\t');
        std::string key;
        std::string value;
        bool good = line.size() >= 2 && (line[0] == 'n' || line[0] == 't') && line[1] == ' ' &&
                    tab != std::string::npos && unescape(line.substr(2, tab - 2), &key) &&
                    unescape(line.substr(tab + 1), &value);
        char* end = nullptr;
        if (good && line[0] == 'n') {
            errno = 0;
            const double parsed = std::strtod(value.c_str(), &end);
            good = !value.empty() && *end == '\0' && errno == 0;
            if (good) {
                state.savedNumbers[key] = parsed;
            }
        } else if (good) {
            state.savedTexts[key] = value;
        }
        if (!good) {
            std::fprintf(stderr,
                         "Vantrel: the saved data in %s is damaged at line %ld: starting from "
                         "nothing saved (the file is replaced at the next save)\n",
                         state.savedFile.c_str(), number);
            state.savedNumbers.clear();
            state.savedTexts.clear();
            return;
        }
    }
}

void writeSaved(State& state) {
    std::ostringstream out;
    out.precision(17);
    for (const auto& entry : state.savedNumbers) {
        out << "n " << escaped(entry.first) << '\t' << entry.second << '\n';
    }
    for (const auto& entry : state.savedTexts) {
        out << "t " << escaped(entry.first) << '\t' << escaped(entry.second) << '\n';
    }
    std::string cause;
    if (!vantrel::detail::writeWholeFile(state.savedFile, out.str(), &cause)) {
        std::fprintf(stderr, "Vantrel: could not save to %s: %s\n", state.savedFile.c_str(),
                     cause.c_str());
    }
#ifdef __EMSCRIPTEN__
    storeInBrowser();
#endif
}

} // namespace

void Canvas::saveNumber(const std::string& key, double value) {
    readSaved(*state);
    state->savedNumbers[key] = value;
    writeSaved(*state);
}

double Canvas::loadNumber(const std::string& key, double otherwise) {
    readSaved(*state);
    const auto found = state->savedNumbers.find(key);
    return found == state->savedNumbers.end() ? otherwise : found->second;
}

void Canvas::saveText(const std::string& key, const std::string& text) {
    readSaved(*state);
    state->savedTexts[key] = text;
    writeSaved(*state);
}

std::string Canvas::loadText(const std::string& key, const std::string& otherwise) {
    readSaved(*state);
    const auto found = state->savedTexts.find(key);
    return found == state->savedTexts.end() ? otherwise : found->second;
}

std::string Canvas::getSaveFolder() {
    readSaved(*state);
    const std::size_t slash = state->savedFile.find_last_of("/\\");
    return slash == std::string::npos ? "./" : state->savedFile.substr(0, slash + 1);
}
