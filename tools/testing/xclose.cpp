// vantrel-xclose: finds a top-level X11 window by its title and either prints
// where it is or asks it to close the way a window manager does (a
// WM_DELETE_WINDOW client message). Used by ./dev demo and the end-to-end
// tests, which run programs in a virtual X display with no window manager.
//
//   vantrel-xclose wait  TITLE [SECONDS]  print the window id once it is mapped
//                                         and has stayed the same for 0.5 s
//   vantrel-xclose close TITLE [SECONDS]  send the close request
//
// The settling time matters: SDL may destroy its first window and make
// another with the same title while it picks a renderer, and a window id
// handed out before that would name a window that is gone.
// Exit status: 0 done, 1 no such window within SECONDS (default 10), 2 usage
// or no X display. Windows that appear and vanish while the search runs (SDL
// makes and destroys a few while it starts) are skipped, never fatal.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

// Set by the error handler; checked after a round trip to the server.
bool errorSeen = false;

// Xlib's default handler ends the process on any protocol error. A window
// destroyed between listing it and asking for its name gives BadWindow (or
// BadDrawable, BadMatch for its attributes); such a window is simply not the
// one sought, so every error is noted and the search goes on.
int noteError(Display*, XErrorEvent*) {
    errorSeen = true;
    return 0;
}

bool hasTitle(Display* display, Window window, const std::string& title) {
    char* name = nullptr;
    bool same = false;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        same = title == name;
        XFree(name);
    }
    return same;
}

bool isViewable(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
}

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
        if (hasTitle(display, children[i], title) && isViewable(display, children[i])) {
            found = children[i];
        } else {
            found = findByTitle(display, children[i], title);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

// Sends WM_DELETE_WINDOW; true when the server accepted it (the window still
// existed when the request arrived).
bool sendClose(Display* display, Window window) {
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    errorSeen = false;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return !errorSeen;
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
    XSetErrorHandler(noteError);
    const bool closing = std::strcmp(argv[1], "close") == 0;
    const std::string title = argv[2];
    const double seconds = argc > 3 ? std::atof(argv[3]) : 10.0;
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<long>(seconds * 1000));

    const auto settle = std::chrono::milliseconds(500);
    Window candidate = 0;
    auto candidateSince = std::chrono::steady_clock::now();
    for (;;) {
        const Window window = findByTitle(display, DefaultRootWindow(display), title);
        if (window != candidate) {
            candidate = window;
            candidateSince = std::chrono::steady_clock::now();
        }
        if (window != 0) {
            if (!closing) {
                if (std::chrono::steady_clock::now() - candidateSince >= settle) {
                    std::printf("0x%lx\n", window);
                    break;
                }
            } else if (sendClose(display, window)) {
                // A window that vanished before the request reached it did
                // not get it: then look again for the one there now.
                break;
            }
        }
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "vantrel-xclose: no window titled \"%s\" %s within %g s\n",
                         title.c_str(), candidate == 0 ? "appeared" : "stayed", seconds);
            XCloseDisplay(display);
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    XCloseDisplay(display);
    return 0;
}
