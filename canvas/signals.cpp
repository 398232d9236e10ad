// Ctrl+C and SIGTERM always end a program. SDL turns both into the window's
// close request (SDL_QUIT), which only a program that takes its events ever
// sees: a loop that never polls, or one stuck where it makes no canvas call
// at all, would run on after any number of them. So the canvas puts its own
// handler in front of SDL's:
//
// - the first request goes on to SDL's handler, and the program gets its
//   quit event as before;
// - a second one within SECOND_REQUEST_MS, or a first one when the program
//   has taken no events for NOT_TAKING_EVENTS_MS, ends the program at once,
//   with one line on standard error saying why and the status a shell gives
//   a program the signal ended (130 for Ctrl+C, 143 for SIGTERM).
//
// A stuck program makes no call that could decide this later, so the handler
// decides it itself, with only what is safe there: lock-free atomics, the
// monotonic clock, sigaction, write and _exit. On Windows a console's Ctrl+C
// goes the same way through a console control handler.

#include "canvas/signals.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

#if defined(__EMSCRIPTEN__)

// A page in a browser gets no signals: closing its tab ends it.
void vantrel::detail::catchStopRequests() {}
void vantrel::detail::releaseStopRequests() {}
void vantrel::detail::markTakingEvents(unsigned) {}

#else

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <ctime>
#include <unistd.h>
#endif

namespace {

constexpr std::uint32_t SECOND_REQUEST_MS = 3000;
constexpr std::uint32_t NOT_TAKING_EVENTS_MS = 1000;

// Milliseconds on a monotonic clock. They wrap after 49 days; only
// differences between two readings are ever used.
using Millis = std::uint32_t;
static_assert(std::atomic<Millis>::is_always_lock_free, "the signal handler reads these");
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler reads this");

// When the program last pumped SDL's events (or the time it will, when a
// frame's sleep ends).
std::atomic<Millis> eventsTakenAt{0};
// When the last request to stop was handed on to SDL, if one was.
std::atomic<Millis> handedOnAt{0};
std::atomic<bool> handedOn{false};

// From `since` to `now`; negative when `since` is still ahead.
std::int32_t elapsed(Millis since, Millis now) { return static_cast<std::int32_t>(now - since); }

enum class Verdict { HandOn, SecondRequest, NotTakingEvents };

// What a request to stop that came at `now` does. One handed on is noted.
Verdict judge(Millis now) {
    if (handedOn.load() && elapsed(handedOnAt.load(), now) < std::int32_t{SECOND_REQUEST_MS}) {
        return Verdict::SecondRequest;
    }
    if (elapsed(eventsTakenAt.load(), now) > std::int32_t{NOT_TAKING_EVENTS_MS}) {
        return Verdict::NotTakingEvents;
    }
    handedOnAt.store(now);
    handedOn.store(true);
    return Verdict::HandOn;
}

// The line said before the program ends: built in a buffer of its own, with
// no library call, so that it can be built in a signal handler.
struct Line {
    char text[320];
    std::size_t size = 0;

    void add(const char* part) {
        while (*part != '\0' && size < sizeof text) {
            text[size++] = *part++;
        }
    }
};

Line endingLine(const char* request, Verdict verdict) {
    Line line;
    line.add("Vantrel: ended by ");
    line.add(request);
    if (verdict == Verdict::SecondRequest) {
        line.add(", the second request to stop within 3 seconds (the first was handed to the "
                 "program as a close request, SDL_QUIT, and it had not stopped).\n");
    } else {
        line.add(" at once: the program was not taking events (no isRunning() or pollEvent() "
                 "for over a second), so it could not have seen a close request.\n");
    }
    return line;
}

#if defined(_WIN32)

Millis now() { return GetTickCount(); }

// Runs on a thread of its own that the console starts for each Ctrl+C.
// Handlers run newest first: returning FALSE hands the event on to the C
// runtime's, which calls the SIGINT handler SDL set with signal().
BOOL WINAPI onConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT) {
        return FALSE;
    }
    const Verdict verdict = judge(now());
    if (verdict == Verdict::HandOn) {
        return FALSE;
    }
    const Line line = endingLine("Ctrl+C", verdict);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.text, static_cast<DWORD>(line.size), &written,
              nullptr);
    // Not ExitProcess: it would run the DLLs' clean-up after the main thread
    // was stopped wherever it was, perhaps holding a lock that clean-up needs.
    TerminateProcess(GetCurrentProcess(), 130);
    return TRUE;
}

bool caught = false;

} // namespace

void vantrel::detail::catchStopRequests() {
    markTakingEvents();
    if (!caught) {
        caught = SetConsoleCtrlHandler(onConsoleControl, TRUE) != 0;
    }
}

void vantrel::detail::releaseStopRequests() {
    if (caught) {
        SetConsoleCtrlHandler(onConsoleControl, FALSE);
        caught = false;
    }
}

void vantrel::detail::markTakingEvents(unsigned aheadMs) { eventsTakenAt.store(now() + aheadMs); }

#else

Millis now() {
    timespec time{};
    clock_gettime(CLOCK_MONOTONIC, &time);
    return static_cast<Millis>(time.tv_sec) * 1000u + static_cast<Millis>(time.tv_nsec / 1000000);
}

struct Caught {
    int number;
    const char* request; // as the ending line names it
    struct sigaction previous;
    bool caught;
};

Caught caughtSignals[] = {{SIGINT, "Ctrl+C", {}, false}, {SIGTERM, "SIGTERM", {}, false}};

void onStopSignal(int number, siginfo_t* info, void* context);

struct sigaction ourAction() {
    struct sigaction action {};
    action.sa_sigaction = onStopSignal;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    // One request at a time: the other signal waits while one is judged.
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    return action;
}

bool isHandler(const struct sigaction& action) {
    if ((action.sa_flags & SA_SIGINFO) != 0) {
        return action.sa_sigaction != nullptr;
    }
    return action.sa_handler != SIG_DFL && action.sa_handler != SIG_IGN;
}

void onStopSignal(int number, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    const Caught* entry = &caughtSignals[0];
    while (entry->number != number) {
        ++entry;
    }
    const Verdict verdict = judge(now());
    if (verdict != Verdict::HandOn) {
        const Line line = endingLine(entry->request, verdict);
        std::size_t done = 0;
        while (done < line.size) {
            const ssize_t wrote = write(STDERR_FILENO, line.text + done, line.size - done);
            if (wrote > 0) {
                done += static_cast<std::size_t>(wrote);
            } else if (wrote < 0 && errno != EINTR) {
                break;
            }
        }
        _exit(128 + number);
    }
    const struct sigaction& previous = entry->previous;
    if ((previous.sa_flags & SA_SIGINFO) != 0) {
        previous.sa_sigaction(number, info, context);
    } else {
        previous.sa_handler(number);
    }
    // SDL's handler sets itself again with signal(), in place of this one.
    const struct sigaction again = ourAction();
    sigaction(number, &again, nullptr);
    errno = savedErrno;
}

} // namespace

void vantrel::detail::catchStopRequests() {
    markTakingEvents();
    const struct sigaction action = ourAction();
    for (Caught& entry : caughtSignals) {
        struct sigaction current {};
        if (entry.caught || sigaction(entry.number, nullptr, &current) != 0 ||
            !isHandler(current)) {
            continue;
        }
        entry.previous = current; // before the handler that calls it is in place
        entry.caught = sigaction(entry.number, &action, nullptr) == 0;
    }
}

void vantrel::detail::releaseStopRequests() {
    for (Caught& entry : caughtSignals) {
        struct sigaction current {};
        if (entry.caught && sigaction(entry.number, nullptr, &current) == 0 &&
            (current.sa_flags & SA_SIGINFO) != 0 && current.sa_sigaction == onStopSignal) {
            sigaction(entry.number, &entry.previous, nullptr);
        }
        entry.caught = false;
    }
}

void vantrel::detail::markTakingEvents(unsigned aheadMs) { eventsTakenAt.store(now() + aheadMs); }

#endif // _WIN32
#endif // __EMSCRIPTEN__
