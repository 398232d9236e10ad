#ifndef VANTREL_CANVAS_FILE_WRITE_H
#define VANTREL_CANVAS_FILE_WRITE_H

// Writing a file whole or not at all. Everything Vantrel writes goes through
// here: the canvas's saved images and frames, and the grading tool's reports
// and difference pictures (it compiles this file in too). Internal; not
// installed.

#include <SDL.h>

#include <string>

namespace vantrel {
namespace detail {

/// Writes `bytes` to `path`, whole or not at all: into a new file in the
/// same folder, written, flushed to the disk and closed, which then takes
/// the place of `path`. On any failure the new file is removed, a file that
/// was at `path` stays as it was, and the result is false with the cause in
/// *cause (the system's words, e.g. "File too large"); callers name the file.
/// A write past the process's file size limit fails with that cause instead
/// of ending the program with SIGXFSZ.
bool writeWholeFile(const std::string& path, const std::string& bytes, std::string* cause);

/// The surface encoded as a PNG file, in memory. False with the cause in *cause.
bool encodePng(SDL_Surface* surface, std::string* png, std::string* cause);

/// encodePng, then writeWholeFile.
bool savePng(SDL_Surface* surface, const std::string& path, std::string* cause);

/// Whether a file can be made in the folder `path` names a file in: makes
/// one, as writeWholeFile would, and removes it; `path` itself is not
/// touched. False with the cause in *cause.
bool canWriteBeside(const std::string& path, std::string* cause);

} // namespace detail
} // namespace vantrel

#endif
