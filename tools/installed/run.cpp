// vantrel-run: runs a Vantrel program in the recording mode, headless and on
// a fixed clock, so that an unmodified program can be graded or shown.
// It sets the VANTREL_* variables the canvas reads when it is set up, then
// runs the program, and exits with the program's own status.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <process.h>
#include <stdlib.h>
#else
#include <unistd.h>
#endif

namespace {

const char* const USAGE =
    "usage: vantrel-run [--frames N] [--save LIST] [--out PATTERN] [--input FILE] -- PROGRAM "
    "[ARGS...]\n";

const char* const HELP =
    "Runs a Vantrel program headless (no window, no sound card), on a fixed clock\n"
    "(every frame lasts exactly 1/fps seconds and nothing sleeps), so that two runs\n"
    "draw the same frames. Exits with the program's own status.\n"
    "\n"
    "  --frames N      stop after N frames, as if the window's close button had been\n"
    "                  pressed: the program's own quit handling runs\n"
    "  --save LIST     frames to save as PNG files: numbers separated by commas\n"
    "                  (the first frame is 1), or every:K for every K-th frame\n"
    "  --out PATTERN   file name of a saved frame, printf-style with one integer\n"
    "                  (default frame-%04d.png)\n"
    "  --input FILE    input script: one event a line, pushed at the start of its\n"
    "                  frame, for example\n"
    "                      frame 30 key down LEFT\n"
    "                      frame 45 key up LEFT\n"
    "                      frame 60 mouse move 100 200\n"
    "                      frame 61 mouse click left\n"
    "                      frame 90 close\n"
    "                      frame 100 text José\n"
    "                      frame 110 key down BACKSPACE\n"
    "                      frame 140 key repeat BACKSPACE\n"
    "                      frame 150 pad 0 button A down\n"
    "                      frame 160 pad 0 axis LEFTX -0.5\n"
    "                  (also: mouse down/up BUTTON, mouse wheel STEPS; # starts a\n"
    "                  comment, except in a text line, which types the rest of the\n"
    "                  line after one space, in UTF-8)\n"
    "  --help          this text\n"
    "\n"
    "The same variables can be set by hand: VANTREL_RECORD=1, VANTREL_FRAMES,\n"
    "VANTREL_SAVE_FRAMES, VANTREL_FRAME_PATTERN, VANTREL_INPUT.\n";

int usage(const char* why) {
    std::fprintf(stderr, "vantrel-run: %s\n%s(vantrel-run --help explains)\n", why, USAGE);
    return 2;
}

void set(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

} // namespace

int main(int argc, char* argv[]) {
    int i = 1;
    for (; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--") {
            ++i;
            break;
        }
        if (option == "--help" || option == "-h") {
            std::printf("%s\n%s", USAGE, HELP);
            return 0;
        }
        const char* variable = option == "--frames"  ? "VANTREL_FRAMES"
                               : option == "--save"  ? "VANTREL_SAVE_FRAMES"
                               : option == "--out"   ? "VANTREL_FRAME_PATTERN"
                               : option == "--input" ? "VANTREL_INPUT"
                                                     : nullptr;
        if (variable == nullptr) {
            return usage(("unknown option \"" + option + "\"").c_str());
        }
        if (i + 1 >= argc) {
            return usage((option + " needs a value").c_str());
        }
        // The canvas checks each value when the program sets it up, and
        // names the variable when one cannot be used.
        set(variable, argv[++i]);
    }
    if (i >= argc) {
        return usage("no program to run (put it after --)");
    }
    set("VANTREL_RECORD", "1");
    std::fflush(stdout);
#ifdef _WIN32
    const intptr_t status = _spawnvp(_P_WAIT, argv[i], argv + i);
    if (status == -1) {
        std::fprintf(stderr, "vantrel-run: cannot run %s: %s\n", argv[i], std::strerror(errno));
        return 127;
    }
    return static_cast<int>(status);
#else
    execvp(argv[i], argv + i);
    std::fprintf(stderr, "vantrel-run: cannot run %s: %s\n", argv[i], std::strerror(errno));
    return 127;
#endif
}
