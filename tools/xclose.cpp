// vantrel-xclose: finds a top-level X11 window by its title and either prints
// where it is or asks it to close the way a window manager does (a
// WM_DELETE_WINDOW client message). Used by ./dev demo and the end-to-end
// tests, which run programs in a virtual X display with no window manager.
//
//   vantrel-xclose wait  TITLE [SECONDS]  exit 0 once the window is mapped
//   vantrel-xclose close TITLE            send the close request

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

Window findByTitle(Display* display, Window root, const std::string& title) {
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) == 0) {
        return 0;
    }
    Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
            if (title == name) {
                XWindowAttributes attributes;
                if (XGetWindowAttributes(display, children[i], &attributes) != 0 &&
                    attributes.map_state == IsViewable) {
                    found = children[i];
                }
            }
            XFree(name);
        }
        if (found == 0) {
            found = findByTitle(display, children[i], title);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3 || (std::strcmp(argv[1], "wait") != 0 && std::strcmp(argv[1], "close") != 0)) {
        std::fprintf(stderr, "usage: %s wait|close TITLE [SECONDS]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "vantrel-xclose: cannot open the X display (is DISPLAY set?)\n");
        return 2;
    }
    const std::string title = argv[2];
    const double seconds = argc > 3 ? std::atof(argv[3]) : 10.0;
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<long>(seconds * 1000));

    Window window = 0;
    while ((window = findByTitle(display, DefaultRootWindow(display), title)) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "vantrel-xclose: no window titled \"%s\" appeared\n",
                         title.c_str());
            XCloseDisplay(display);
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    if (std::strcmp(argv[1], "close") == 0) {
        XEvent event;
        std::memset(&event, 0, sizeof event);
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        XFlush(display);
    } else {
        std::printf("0x%lx\n", window);
    }
    XCloseDisplay(display);
    return 0;
}
