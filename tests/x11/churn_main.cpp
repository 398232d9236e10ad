// vantrel-xchurn: a hostile X client for testing vantrel-xclose. It maps one
// window titled TARGET, then creates, names, maps and destroys other windows
// (each with a child) as fast as it can, so that a search of the window tree
// keeps meeting windows that vanish under it. It exits 0 when TARGET receives
// the WM_DELETE_WINDOW close request, 1 when SECONDS pass without one.
//
//   vantrel-xchurn TARGET SECONDS

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s TARGET SECONDS\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "vantrel-xchurn: cannot open the X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    const Window target = XCreateSimpleWindow(display, root, 10, 10, 50, 50, 0, 0, 0);
    XStoreName(display, target, argv[1]);
    XSetWMProtocols(display, target, const_cast<Atom*>(&deleteWindow), 1);
    XMapWindow(display, target);
    XFlush(display);

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::atoi(argv[2]) * 1000);
    unsigned long made = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage &&
                static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) {
                std::printf("vantrel-xchurn: close request received after %lu windows\n", made);
                XCloseDisplay(display);
                return 0;
            }
        }
        const std::string name = "churn " + std::to_string(made++);
        const Window passing = XCreateSimpleWindow(display, root, 0, 0, 20, 20, 0, 0, 0);
        const Window child = XCreateSimpleWindow(display, passing, 0, 0, 5, 5, 0, 0, 0);
        XStoreName(display, passing, name.c_str());
        XStoreName(display, child, name.c_str());
        XMapWindow(display, child);
        XMapWindow(display, passing);
        XFlush(display);
        XDestroyWindow(display, passing);
        XFlush(display);
    }
    std::fprintf(stderr, "vantrel-xchurn: no close request within %s s (%lu windows made)\n",
                 argv[2], made);
    XCloseDisplay(display);
    return 1;
}
