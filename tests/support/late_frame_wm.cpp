// The frames draw nothing and give no focus: a window inside one gets the
// keyboard only by asking for it once it can be seen.

#include "support/late_frame_wm.h"

#include <X11/Xlib.h>
#include <unistd.h>

namespace {

constexpr int kBorder = 2;
constexpr int kTitle = 20;

bool s_refused = false; // another window manager holds the screen

int note_error(Display *, XErrorEvent *error) {
    if (error->error_code == BadAccess)
        s_refused = true;
    return 0; // windows may go while we handle them
}

void frame(Display *display, Window client, int delay_ms) {
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(display, client, &attrs))
        return;
    Window root = DefaultRootWindow(display);
    Window box =
        XCreateSimpleWindow(display, root, attrs.x, attrs.y, unsigned(attrs.width + 2 * kBorder),
                            unsigned(attrs.height + kTitle + kBorder), 0, 0, 0x808080);
    XSelectInput(display, box, SubstructureNotifyMask); // to hear the client go
    XAddToSaveSet(display, client);
    XReparentWindow(display, client, box, kBorder, kTitle);
    XMapWindow(display, client);
    XSync(display, False);
    usleep(useconds_t(delay_ms) * 1000);
    XMapWindow(display, box);
    XSync(display, False);
}

} // namespace

void late_frame_wm(const std::vector<int> &delays_ms, int ready_fd) {
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return;
    XSetErrorHandler(note_error);
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(display, False);
    if (s_refused || write(ready_fd, "r", 1) != 1)
        return;
    size_t next = 0;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapRequest) {
            frame(display, event.xmaprequest.window, delays_ms[next++ % delays_ms.size()]);
        } else if (event.type == ConfigureRequest) {
            const XConfigureRequestEvent &request = event.xconfigurerequest;
            XWindowChanges changes{
                request.x,     request.y,     request.width, request.height, request.border_width,
                request.above, request.detail};
            XConfigureWindow(display, request.window, unsigned(request.value_mask), &changes);
        } else if (event.type == DestroyNotify && event.xdestroywindow.event != root) {
            XDestroyWindow(display, event.xdestroywindow.event); // its client went
        }
    }
}
