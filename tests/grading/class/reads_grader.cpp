// Looks for the grader everywhere a process in the sandbox can see: every
// process's environment, command line, open files, working folder and root,
// the mounts, the user's name and the machine's. It looks for a variable set
// in the grader's environment, for the grader's folder (filled in reversed by
// the test, so that this source does not hold it), and for the grader's user
// and host names; it prints every find, and draws the house only if it found
// anything.
// canvas.h first: the grader's precompiled header then serves it.
#include "canvas/canvas.h"

#include <dirent.h>
#include <fstream>
#include <iostream>
#include <pwd.h>
#include <sstream>
#include <string>
#include <unistd.h>

#include "house.h"

namespace {
std::string folder() {
    const std::string reversed = "@WORK_REVERSED@";
    return std::string(reversed.rbegin(), reversed.rend());
}
std::string marker() { return std::string("grader-") + "secret-" + "93b7"; }

bool found = false;
void look(const std::string& where, const std::string& text, const std::string& name = "") {
    for (const std::string& needle : {marker(), folder(), name}) {
        if (!needle.empty() && text.find(needle) != std::string::npos) {
            std::cout << "LEAK in " << where << ": " << text << std::endl;
            found = true;
        }
    }
}
std::string contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    std::string s = text.str();
    for (char& c : s) {
        if (c == '\0') {
            c = ' ';
        }
    }
    return s;
}
std::string link(const std::string& path) {
    char target[4096];
    const ssize_t got = readlink(path.c_str(), target, sizeof target - 1);
    return got > 0 ? std::string(target, static_cast<size_t>(got)) : std::string();
}
} // namespace

int main(int, char*[]) {
    DIR* proc = opendir("/proc");
    while (dirent* entry = proc ? readdir(proc) : nullptr) {
        const std::string pid = entry->d_name;
        if (pid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const std::string base = "/proc/" + pid + "/";
        for (const char* file : {"environ", "cmdline", "mountinfo"}) {
            look(base + file, contents(base + file));
        }
        look(base + "cwd", link(base + "cwd"));
        look(base + "root", link(base + "root"));
        if (DIR* fds = opendir((base + "fd").c_str())) {
            while (dirent* fd = readdir(fds)) {
                look(base + "fd/" + fd->d_name, link(base + "fd/" + fd->d_name));
            }
            closedir(fds);
        }
    }
    if (proc) {
        closedir(proc);
    }
    for (const char* file : {"/etc/passwd", "/etc/group", "/etc/hosts"}) {
        look(file, contents(file));
    }
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    look("the host name", host, "@HOST_NAME@");
    look("/etc/hostname", contents("/etc/hostname"), "@HOST_NAME@");
    const passwd* user = getpwuid(getuid());
    look("the user's name", user ? user->pw_name : "", "@USER_NAME@");
    return found ? drawHouse() : 1;
}
