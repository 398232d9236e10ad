#ifndef VANTREL_CANVAS_ASSETS_H
#define VANTREL_CANVAS_ASSETS_H

// Where the files a program names (sounds, fonts, images) are found. Internal
// to the canvas; not installed.

#include <string>

namespace vantrel {
namespace detail {

/// The outcome of looking a file up.
struct AssetPath {
    std::string path;  ///< the path to open: where it was found, else as given
    bool found;        ///< false when no place had a readable file
    std::string tried; ///< every place looked, quoted and joined with ", "
};

/// Looks for the file at path as given (a relative path is taken from the
/// working directory) and, when a relative path is not found there, beside
/// the running program (SDL_GetBasePath), so a program started from another
/// folder still finds the files next to it.
AssetPath findAsset(const std::string& path);

/// "Couldn't open PATH (looked in: PLACES)", for messages about a file
/// findAsset did not find.
std::string notFoundMessage(const std::string& path, const AssetPath& lookup);

} // namespace detail
} // namespace vantrel

#endif
