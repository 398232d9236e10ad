#ifndef VANTREL_CANVAS_FAILURE_H
#define VANTREL_CANVAS_FAILURE_H

// How the canvas reports a failure it cannot recover from: by throwing the
// message. Internal to the canvas; not installed.

#include <cstdio>
#include <string>

namespace vantrel {
namespace detail {

/// In a browser an exception nobody catches ends the program without the
/// terminate handler ever running, so its message would be lost: there the
/// message goes to standard error (which the page shows) first. Elsewhere
/// this does nothing, and the terminate handler prints uncaught messages.
inline void announceFailure(const char* message) {
#ifdef __EMSCRIPTEN__
    std::fprintf(stderr, "%s\n", message);
    std::fflush(stderr);
#else
    (void)message;
#endif
}

/// Throws message as a const char*, announced first in a browser.
[[noreturn]] inline void fail(const char* message) {
    announceFailure(message);
    throw message;
}

/// Throws message as a std::string, announced first in a browser.
[[noreturn]] inline void fail(const std::string& message) {
    announceFailure(message.c_str());
    throw message;
}

/// Throws error (a std::exception), announced first in a browser.
template <typename Error> [[noreturn]] void failWith(const Error& error) {
    announceFailure(error.what());
    throw error;
}

} // namespace detail
} // namespace vantrel

#endif
