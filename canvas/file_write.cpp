// Writing a file whole or not at all, and PNG files encoded in memory first.
//
// A file is written under a new name in its target's folder and takes the
// target's place only once every byte of it is on the disk: a full disk, a
// file size limit or a crash half-way leaves the earlier file, never a
// broken one. Within one folder the replacing is one step (rename on POSIX;
// MoveFileExW on Windows, where rename refuses an existing target).

#include "canvas/file_write.h"

#include <SDL_image.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

namespace vantrel {
namespace detail {

namespace {

std::atomic<unsigned> filesStarted{0};

// The folder part of path, with its last separator; "" for the working folder.
std::string folderOf(const std::string& path) {
#ifdef _WIN32
    const std::size_t end = path.find_last_of("/\\:");
#else
    const std::size_t end = path.find_last_of('/');
#endif
    return end == std::string::npos ? "" : path.substr(0, end + 1);
}

// A name no other writer (in this process or another) is using, beside
// path: ".NAME.PID-N.tmp", the name cut short so that it stays a valid one.
std::string newNameBeside(const std::string& path) {
    const std::string folder = folderOf(path);
#ifdef _WIN32
    const long pid = _getpid();
#else
    const long pid = static_cast<long>(getpid());
#endif
    return folder + "." + path.substr(folder.size(), 64) + "." + std::to_string(pid) + "-" +
           std::to_string(filesStarted++) + ".tmp";
}

#ifdef _WIN32

// Paths are UTF-8, as SDL takes them; Windows' own calls take UTF-16.
std::wstring wide(const std::string& utf8) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring text(size > 0 ? static_cast<std::size_t>(size) : 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &text[0], size);
    text.resize(text.size() - 1);
    return text;
}

int openNew(const std::string& name) {
    return _wopen(wide(name).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                  _S_IREAD | _S_IWRITE);
}

bool writeAll(int file, const char* data, std::size_t size) {
    while (size > 0) {
        const unsigned part = size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size);
        const int written = _write(file, data, part);
        if (written <= 0) {
            errno = written == 0 ? EIO : errno;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool flushToDisk(int file) { return _commit(file) == 0; }
bool closeFile(int file) { return _close(file) == 0; }
void removeFile(const std::string& name) { _wunlink(wide(name).c_str()); }

std::string systemMessage(DWORD code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && std::strchr("\r\n. ", message.back()) != nullptr) {
        message.pop_back();
    }
    return message;
}

bool replace(const std::string& from, const std::string& to, std::string* cause) {
    if (MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    *cause = systemMessage(GetLastError());
    return false;
}

void keepPermissions(int, const std::string&) {}
void flushFolder(const std::string&) {}

#else

int openNew(const std::string& name) {
    int flags = O_WRONLY | O_CREAT | O_EXCL;
#ifdef O_CLOEXEC
    flags |= O_CLOEXEC;
#endif
    return open(name.c_str(), flags, 0666);
}

bool writeAll(int file, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(file, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            errno = written == 0 ? EIO : errno;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// A file system that cannot sync (EINVAL) has nothing more to write.
bool flushToDisk(int file) { return fsync(file) == 0 || errno == EINVAL; }
bool closeFile(int file) { return close(file) == 0; }
void removeFile(const std::string& name) { unlink(name.c_str()); }

bool replace(const std::string& from, const std::string& to, std::string* cause) {
    if (std::rename(from.c_str(), to.c_str()) == 0) {
        return true;
    }
    *cause = std::strerror(errno);
    return false;
}

// The file replacing an earlier one gets its permissions (whoever could read
// it still can); where the file system has no permissions, it keeps its own.
void keepPermissions(int file, const std::string& path) {
    struct stat earlier;
    if (stat(path.c_str(), &earlier) == 0 && S_ISREG(earlier.st_mode)) {
        (void)fchmod(file, earlier.st_mode & 0777);
    }
}

// Makes the new name itself last through a power cut; the file's bytes
// already do, so a folder that cannot be synced is no failure.
void flushFolder(const std::string& path) {
    const std::string folder = folderOf(path);
    const int handle = open(folder.empty() ? "." : folder.c_str(), O_RDONLY);
    if (handle >= 0) {
        (void)fsync(handle);
        close(handle);
    }
}

#endif

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
// A write past the file size limit (RLIMIT_FSIZE) raises SIGXFSZ, which ends
// the program unless it is ignored or caught. While this lives the signal is
// blocked in this thread only (the program's own handling of it, and other
// threads, are left alone), so such a write fails with EFBIG; the signal it
// raised is taken off again before the thread's mask is put back.
class FileSizeSignalHeld {
public:
    FileSizeSignalHeld() {
        sigemptyset(&signal);
        sigaddset(&signal, SIGXFSZ);
        held =
            pthread_sigmask(SIG_BLOCK, &signal, &before) == 0 && sigismember(&before, SIGXFSZ) == 0;
    }
    ~FileSizeSignalHeld() {
        if (!held) {
            return;
        }
        sigset_t pending;
        int taken = 0;
        if (sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ) == 1) {
            sigwait(&signal, &taken);
        }
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
    }
    FileSizeSignalHeld(const FileSizeSignalHeld&) = delete;
    FileSizeSignalHeld& operator=(const FileSizeSignalHeld&) = delete;

private:
    sigset_t signal;
    sigset_t before;
    bool held = false;
};
#else
// Nothing to hold where there is no SIGXFSZ (a constructor of its own keeps
// the unused-variable warning away).
struct FileSizeSignalHeld {
    FileSizeSignalHeld() {}
};
#endif

// A new file beside path, open for writing, its name in *name; -1 with errno set.
int openBeside(const std::string& path, std::string* name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = newNameBeside(path);
        const int file = openNew(*name);
        if (file >= 0 || errno != EEXIST) {
            return file;
        }
    }
    return -1;
}

// ---- PNG files in memory -----------------------------------------------------
// An SDL stream that grows a std::string; its position may be moved back
// (encoders fill in lengths afterwards) or past the end (a gap reads zeros).

struct Growing {
    std::string bytes;
    std::size_t at = 0;
    std::string failure; ///< why a write was refused, if one was
};

Growing& growing(SDL_RWops* stream) { return *static_cast<Growing*>(stream->hidden.unknown.data1); }

Sint64 SDLCALL growingSize(SDL_RWops* stream) {
    return static_cast<Sint64>(growing(stream).bytes.size());
}

Sint64 SDLCALL growingSeek(SDL_RWops* stream, Sint64 offset, int whence) {
    Growing& g = growing(stream);
    const Sint64 from = whence == RW_SEEK_SET   ? 0
                        : whence == RW_SEEK_CUR ? static_cast<Sint64>(g.at)
                                                : static_cast<Sint64>(g.bytes.size());
    if (offset < -from) {
        return SDL_SetError("cannot seek before the start of a PNG file");
    }
    g.at = static_cast<std::size_t>(from + offset);
    return static_cast<Sint64>(g.at);
}

size_t SDLCALL growingRead(SDL_RWops*, void*, size_t, size_t) {
    SDL_SetError("a PNG file being written is not read");
    return 0;
}

size_t SDLCALL growingWrite(SDL_RWops* stream, const void* data, size_t size, size_t count) {
    Growing& g = growing(stream);
    if (size != 0 && count > static_cast<size_t>(-1) / size) {
        g.failure = "the PNG file would be too large";
        return 0;
    }
    const std::size_t length = size * count;
    try {
        if (g.bytes.size() < g.at + length) {
            g.bytes.resize(g.at + length);
        }
    } catch (const std::bad_alloc&) {
        g.failure = "out of memory for the PNG file";
        return 0;
    }
    std::memcpy(&g.bytes[g.at], data, length);
    g.at += length;
    return count;
}

int SDLCALL growingClose(SDL_RWops* stream) {
    SDL_FreeRW(stream);
    return 0;
}

} // namespace

bool writeWholeFile(const std::string& path, const std::string& bytes, std::string* cause) {
    const FileSizeSignalHeld held;
    std::string name;
    const int file = openBeside(path, &name);
    if (file < 0) {
        *cause = std::strerror(errno);
        return false;
    }
    keepPermissions(file, path);
    bool written = writeAll(file, bytes.data(), bytes.size()) && flushToDisk(file);
    int error = errno;
    if (!closeFile(file) && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        *cause = std::strerror(error);
        removeFile(name);
        return false;
    }
    if (!replace(name, path, cause)) {
        removeFile(name);
        return false;
    }
    flushFolder(path);
    return true;
}

bool encodePng(SDL_Surface* surface, std::string* png, std::string* cause) {
    Growing into;
    SDL_RWops* stream = SDL_AllocRW();
    if (stream == nullptr) {
        *cause = SDL_GetError();
        return false;
    }
    stream->size = growingSize;
    stream->seek = growingSeek;
    stream->read = growingRead;
    stream->write = growingWrite;
    stream->close = growingClose;
    stream->type = SDL_RWOPS_UNKNOWN;
    stream->hidden.unknown.data1 = &into;
    const bool encoded = IMG_SavePNG_RW(surface, stream, 0) == 0;
    SDL_RWclose(stream);
    // Some encoders go on past a write that failed; the file would lack it.
    if (!encoded || !into.failure.empty()) {
        *cause = !into.failure.empty() ? into.failure : IMG_GetError();
        return false;
    }
    *png = std::move(into.bytes);
    return true;
}

bool savePng(SDL_Surface* surface, const std::string& path, std::string* cause) {
    std::string png;
    return encodePng(surface, &png, cause) && writeWholeFile(path, png, cause);
}

bool canWriteBeside(const std::string& path, std::string* cause) {
    std::string name;
    const int file = openBeside(path, &name);
    if (file < 0) {
        *cause = std::strerror(errno);
        return false;
    }
    closeFile(file);
    removeFile(name);
    return true;
}

} // namespace detail
} // namespace vantrel
