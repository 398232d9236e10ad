// Linked into every test program: before anything else of the program runs,
// it creates the file VANTREL_STARTED_FILE names, if set. The Windows tests'
// runner (tools/testing/windows/wine-run.sh) tells from that file whether Wine
// started the program at all, so that only a program Wine never started is
// run again.

#include <cstdio>
#include <cstdlib>

namespace {

struct StartedMarker {
    StartedMarker() {
        const char* path = std::getenv("VANTREL_STARTED_FILE");
        if (path != nullptr && path[0] != '\0') {
            if (std::FILE* file = std::fopen(path, "w")) {
                std::fclose(file);
            }
        }
    }
};

const StartedMarker marker;

} // namespace
