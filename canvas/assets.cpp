// Asset lookup: the working directory first, then the program's own folder.

#include "canvas/assets.h"

#include <SDL.h>

namespace vantrel {
namespace detail {

namespace {

bool readable(const std::string& path) {
    SDL_RWops* stream = SDL_RWFromFile(path.c_str(), "rb");
    if (stream == nullptr) {
        return false;
    }
    SDL_RWclose(stream);
    return true;
}

bool isAbsolute(const std::string& path) {
    if (!path.empty() && (path[0] == '/' || path[0] == '\\')) {
        return true;
    }
    // A Windows drive letter: C:/... or C:\...
    return path.size() > 2 && path[1] == ':' && (path[2] == '/' || path[2] == '\\');
}

std::string programFolder() {
    char* base = SDL_GetBasePath();
    std::string folder = base != nullptr ? base : "";
    SDL_free(base);
    return folder;
}

} // namespace

AssetPath findAsset(const std::string& path) {
    AssetPath result{path, false, "\"" + path + "\""};
    if (path.empty()) {
        return result;
    }
    if (readable(path)) {
        result.found = true;
        return result;
    }
    if (isAbsolute(path)) {
        return result;
    }
    const std::string folder = programFolder();
    if (!folder.empty()) {
        const std::string beside = folder + path;
        result.tried += ", \"" + beside + "\"";
        if (readable(beside)) {
            result.path = beside;
            result.found = true;
        }
    }
    return result;
}

std::string notFoundMessage(const std::string& path, const AssetPath& lookup) {
    return "Couldn't open " + path + " (looked in: " + lookup.tried + ")";
}

} // namespace detail
} // namespace vantrel
