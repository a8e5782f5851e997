// A small modal dialog drawn with Xlib, for the start-up question and the
// fatal messages: an icon, the text, and OK or Yes/No buttons. It runs as a
// chain of steps over one record (open, lay out, make the window, run) with one
// shutdown that always runs. This file defines nothing else, so that test
// programs can put a stand-in in its place at link time.
//
// The box is often the last thing the game says, so no X error may end the
// process from here: while a box is up, errors on its connection are counted
// instead of reaching Xlib's default handler, which would exit, and a lost
// connection ends the box as if there had been no display, or with the answer
// already given.
//
// Once its connection is lost, Xlib keeps every request made after it in its
// 16 KB buffer and writes past its end when that is full. So the box sends what
// it draws a few KB at a time and looks for the loss after each send; once it
// knows, it makes no request but those of its shutdown.

#include "platform/platform.h"

#include "platform/message_box_text.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kPad = 16;
constexpr int kIconSize = 32;
constexpr int kButtonW = 88;
constexpr int kButtonH = 28;
constexpr int kButtonGap = 10;
constexpr int kMinWidth = 260;
// Height kept free for a window manager's title bar and borders, so that the
// frame around the box fits on the screen too.
constexpr int kFrameRoom = 64;
// The most text bytes in one request: far below the 16 KB that Xlib keeps.
constexpr size_t kTextPiece = 2048;

enum Colour { kFace, kText, kWhite, kButtonFace, kButtonDown, kEdge, kBlue, kRed, kColours };
constexpr unsigned char kRgb[kColours][3] = {
    {236, 236, 236}, {20, 20, 20},    {255, 255, 255}, {250, 250, 250},
    {190, 190, 190}, {120, 120, 120}, {40, 96, 200},   {200, 30, 30},
};

struct Button {
    const char *label;
    int answer;
    int x, y;
};

struct Dialog {
    Display *display = nullptr;
    Window window = 0;
    GC gc = nullptr;
    XFontStruct *font = nullptr;
    Atom wm_delete = 0;
    unsigned long pixel[kColours] = {};
    std::vector<unsigned long> allocated; // freed with the box
    XErrorHandler previous_handler = nullptr;
    XIOErrorHandler previous_io_handler = nullptr;
    int errors = 0;           // X errors on this connection while the box is up
    bool opening = false;     // inside XOpenDisplay
    bool lost = false;        // the connection is gone; Xlib only frees from now on
    bool focus_asked = false; // the keyboard is ours, or on its way
    std::vector<std::string> lines;
    std::vector<Button> buttons;
    int focus = 0;
    int pressed = -1; // button under a held mouse button
    bool question = false;
    bool icon = false;
    int width = 0, height = 0;
    int text_x = 0, text_y = 0, line_h = 0;
    int answer = 0;
};

// Xlib hands errors to one handler per process, with no room for our record.
Dialog *s_open = nullptr;

int record_error(Display *display, XErrorEvent *error) {
    if (s_open && display == s_open->display) {
        s_open->errors++;
        return 0;
    }
    return s_open && s_open->previous_handler ? s_open->previous_handler(display, error) : 0;
}

// A lost connection goes to the process's handler, then to the display's exit
// handler; Xlib's defaults for both exit. The box's own handlers return
// instead: Xlib marks the display dead, and from then on its calls on it
// return at once and only free what they hold, so the box runs on to its
// shutdown. Inside XOpenDisplay the display cannot be given its exit handler
// yet; from there alone the handler jumps back into open_display, which is
// still running, and the half-opened display is never touched again but for
// its socket, which is closed.
std::jmp_buf s_opening;

int connection_lost(Display *display) {
    if (s_open && s_open->opening) {
        close(ConnectionNumber(display));
        std::longjmp(s_opening, 1);
    }
    if (s_open && display == s_open->display)
        return 0;
    return s_open && s_open->previous_io_handler ? s_open->previous_io_handler(display) : 0;
}

void box_lost(Display *, void *dialog) {
    static_cast<Dialog *>(dialog)->lost = true;
}

// Each colour once per box; where the colour map is full, black or white.
void allocate_colours(Dialog &d) {
    int screen = DefaultScreen(d.display);
    Colormap map = DefaultColormap(d.display, screen);
    for (int i = 0; i < kColours; ++i) {
        const unsigned char *c = kRgb[i];
        XColor colour;
        colour.red = c[0] * 257;
        colour.green = c[1] * 257;
        colour.blue = c[2] * 257;
        colour.flags = DoRed | DoGreen | DoBlue;
        if (XAllocColor(d.display, map, &colour)) {
            d.pixel[i] = colour.pixel;
            d.allocated.push_back(colour.pixel);
        } else {
            d.pixel[i] = (c[0] + c[1] + c[2]) / 3 > 127 ? WhitePixel(d.display, screen)
                                                        : BlackPixel(d.display, screen);
        }
    }
}

int text_width(Dialog &d, const std::string &s) {
    return XTextWidth(d.font, s.c_str(), int(s.size()));
}

bool open_display(Dialog &d) {
    s_open = &d;
    d.previous_handler = XSetErrorHandler(record_error);
    d.previous_io_handler = XSetIOErrorHandler(connection_lost);
    d.opening = true;
    if (setjmp(s_opening)) {
        d.opening = false;
        return false;
    }
    d.display = XOpenDisplay(nullptr);
    d.opening = false;
    if (!d.display)
        return false;
    XSetIOErrorExitHandler(d.display, box_lost, &d);
    allocate_colours(d);
    d.font = XLoadQueryFont(d.display, "-*-helvetica-medium-r-normal--14-*-*-*-*-*-iso8859-1");
    if (!d.font)
        d.font = XLoadQueryFont(d.display, "fixed");
    return d.font != nullptr;
}

// The answer without a display, and when the window is closed.
int unanswered(unsigned style) {
    return (style & 0x0f) == MB_YESNO ? IDNO : IDOK;
}

// The box grows with its text up to two thirds of the screen's width and the
// screen's height less room for a frame; past that the text wraps, and what
// still does not fit is cut short.
void lay_out(Dialog &d, const char *text, unsigned style) {
    d.question = (style & 0xf0) == MB_ICONQUESTION;
    if ((style & 0x0f) == MB_YESNO)
        d.buttons = {{"Yes", IDYES, 0, 0}, {"No", IDNO, 0, 0}};
    else
        d.buttons = {{"OK", IDOK, 0, 0}};
    d.icon = (style & 0xf0) != 0;
    d.answer = unanswered(style);

    int screen = DefaultScreen(d.display);
    int screen_w = DisplayWidth(d.display, screen);
    int screen_h = DisplayHeight(d.display, screen);
    d.line_h = d.font->ascent + d.font->descent + 2;
    d.text_x = kPad + (d.icon ? kIconSize + kPad : 0);
    int max_text_w = std::max(screen_w * 2 / 3, kMinWidth) - d.text_x - kPad;
    int max_lines = (screen_h - kFrameRoom - 3 * kPad - kButtonH) / d.line_h;
    XFontStruct *font = d.font;
    d.lines = message_box_lines(text, max_text_w, max_lines,
                                [font](char c) { return XTextWidth(font, &c, 1); });

    int text_w = 0;
    for (const std::string &line : d.lines)
        text_w = std::max(text_w, text_width(d, line));
    int text_h = int(d.lines.size()) * d.line_h;
    int body_h = std::max(text_h, d.icon ? kIconSize : 0);
    d.text_y = kPad + (body_h - text_h) / 2 + d.font->ascent;
    int buttons_w = int(d.buttons.size()) * kButtonW + (int(d.buttons.size()) - 1) * kButtonGap;
    d.width = std::max({d.text_x + text_w + kPad, buttons_w + 2 * kPad, kMinWidth});
    d.width = std::min(d.width, screen_w);
    d.height = std::min(kPad + body_h + kPad + kButtonH + kPad, screen_h);

    int x = (d.width - buttons_w) / 2;
    for (Button &b : d.buttons) {
        b.x = x;
        b.y = d.height - kPad - kButtonH;
        x += kButtonW + kButtonGap;
    }
}

void set_atom_property(Dialog &d, const char *name, const char *value) {
    Atom property = XInternAtom(d.display, name, False);
    Atom atom = XInternAtom(d.display, value, False);
    XChangeProperty(d.display, d.window, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char *>(&atom), 1);
}

// False when the server refused any of it: the box cannot be shown.
bool make_window(Dialog &d, const char *caption) {
    int screen = DefaultScreen(d.display);
    int x = std::max(0, (DisplayWidth(d.display, screen) - d.width) / 2);
    int y = std::max(0, (DisplayHeight(d.display, screen) - d.height) / 2);
    XSetWindowAttributes attrs;
    attrs.background_pixel = d.pixel[kFace];
    attrs.event_mask = ExposureMask | VisibilityChangeMask | FocusChangeMask | KeyPressMask |
                       ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
    d.window = XCreateWindow(d.display, RootWindow(d.display, screen), x, y, unsigned(d.width),
                             unsigned(d.height), 0, CopyFromParent, InputOutput, CopyFromParent,
                             CWBackPixel | CWEventMask, &attrs);

    XStoreName(d.display, d.window, caption);
    Atom utf8 = XInternAtom(d.display, "UTF8_STRING", False);
    XChangeProperty(d.display, d.window, XInternAtom(d.display, "_NET_WM_NAME", False), utf8, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char *>(caption),
                    int(std::strlen(caption)));
    XClassHint class_hint;
    char res_name[] = "quorrin-dialog";
    char res_class[] = "Quorrin";
    class_hint.res_name = res_name;
    class_hint.res_class = res_class;
    XSetClassHint(d.display, d.window, &class_hint);
    set_atom_property(d, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG");
    long pid = long(getpid());
    XChangeProperty(d.display, d.window, XInternAtom(d.display, "_NET_WM_PID", False), XA_CARDINAL,
                    32, PropModeReplace, reinterpret_cast<unsigned char *>(&pid), 1);
    set_atom_property(d, "_NET_WM_STATE", "_NET_WM_STATE_MODAL");

    // A fixed size: the layout does not stretch.
    XSizeHints *hints = XAllocSizeHints();
    hints->flags = PPosition | PMinSize | PMaxSize;
    hints->x = x;
    hints->y = y;
    hints->min_width = hints->max_width = d.width;
    hints->min_height = hints->max_height = d.height;
    XSetWMNormalHints(d.display, d.window, hints);
    XFree(hints);
    // The keyboard is wanted: the answer can be typed.
    XWMHints wm_hints;
    wm_hints.flags = InputHint | StateHint;
    wm_hints.input = True;
    wm_hints.initial_state = NormalState;
    XSetWMHints(d.display, d.window, &wm_hints);

    d.wm_delete = XInternAtom(d.display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d.display, d.window, &d.wm_delete, 1);
    d.gc = XCreateGC(d.display, d.window, 0, nullptr);
    XSetFont(d.display, d.gc, d.font->fid);
    XSync(d.display, False);
    if (d.errors || d.lost)
        return false;
    XMapRaised(d.display, d.window);
    return true;
}

// Sends what is drawn so far; false once the connection is known lost.
bool sent(Dialog &d) {
    XFlush(d.display);
    return !d.lost;
}

void draw_icon(Dialog &d) {
    int x = kPad, y = kPad + (std::max(int(d.lines.size()) * d.line_h, kIconSize) - kIconSize) / 2;
    if (d.question) {
        XSetForeground(d.display, d.gc, d.pixel[kBlue]);
        XFillArc(d.display, d.window, d.gc, x, y, kIconSize, kIconSize, 0, 360 * 64);
        XSetForeground(d.display, d.gc, d.pixel[kWhite]);
        // A question mark built from an arc, a stem and a dot.
        XSetLineAttributes(d.display, d.gc, 3, LineSolid, CapRound, JoinRound);
        XDrawArc(d.display, d.window, d.gc, x + 10, y + 6, 12, 11, -90 * 64, 270 * 64);
        XDrawLine(d.display, d.window, d.gc, x + 16, y + 17, x + 16, y + 20);
        XFillArc(d.display, d.window, d.gc, x + 14, y + 23, 5, 5, 0, 360 * 64);
    } else {
        // The stop sign: a red octagon with a white bar.
        XPoint oct[8];
        const int c = 10;
        int pts[8][2] = {{c, 0},
                         {kIconSize - c, 0},
                         {kIconSize, c},
                         {kIconSize, kIconSize - c},
                         {kIconSize - c, kIconSize},
                         {c, kIconSize},
                         {0, kIconSize - c},
                         {0, c}};
        for (int i = 0; i < 8; ++i) {
            oct[i].x = short(x + pts[i][0]);
            oct[i].y = short(y + pts[i][1]);
        }
        XSetForeground(d.display, d.gc, d.pixel[kRed]);
        XFillPolygon(d.display, d.window, d.gc, oct, 8, Convex, CoordModeOrigin);
        XSetForeground(d.display, d.gc, d.pixel[kWhite]);
        XSetLineAttributes(d.display, d.gc, 4, LineSolid, CapRound, JoinRound);
        XDrawLine(d.display, d.window, d.gc, x + 10, y + 10, x + 22, y + 22);
        XDrawLine(d.display, d.window, d.gc, x + 22, y + 10, x + 10, y + 22);
    }
    XSetLineAttributes(d.display, d.gc, 1, LineSolid, CapButt, JoinMiter);
}

// A line in pieces of at most kTextPiece bytes, each sent before the next.
bool draw_line(Dialog &d, int y, const std::string &line) {
    int x = d.text_x;
    for (size_t at = 0; at < line.size(); at += kTextPiece) {
        int n = int(std::min(kTextPiece, line.size() - at));
        XDrawString(d.display, d.window, d.gc, x, y, line.data() + at, n);
        x += XTextWidth(d.font, line.data() + at, n);
        if (!sent(d))
            return false;
    }
    return true;
}

void draw(Dialog &d) {
    if (d.lost)
        return;
    XClearWindow(d.display, d.window);
    if (d.icon)
        draw_icon(d);
    XSetForeground(d.display, d.gc, d.pixel[kText]);
    if (!sent(d))
        return;
    int y = d.text_y;
    for (const std::string &line : d.lines) {
        if (!draw_line(d, y, line))
            return;
        y += d.line_h;
    }
    for (size_t i = 0; i < d.buttons.size(); ++i) {
        const Button &b = d.buttons[i];
        bool down = int(i) == d.pressed;
        XSetForeground(d.display, d.gc, d.pixel[down ? kButtonDown : kButtonFace]);
        XFillRectangle(d.display, d.window, d.gc, b.x, b.y, kButtonW, kButtonH);
        XSetForeground(d.display, d.gc, d.pixel[kEdge]);
        XDrawRectangle(d.display, d.window, d.gc, b.x, b.y, kButtonW, kButtonH);
        if (int(i) == d.focus) {
            XSetForeground(d.display, d.gc, d.pixel[kBlue]);
            XDrawRectangle(d.display, d.window, d.gc, b.x + 1, b.y + 1, kButtonW - 2, kButtonH - 2);
            XDrawRectangle(d.display, d.window, d.gc, b.x + 3, b.y + 3, kButtonW - 6, kButtonH - 6);
        }
        XSetForeground(d.display, d.gc, d.pixel[kText]);
        int w = text_width(d, b.label);
        int ty = b.y + (kButtonH + d.font->ascent - d.font->descent) / 2;
        XDrawString(d.display, d.window, d.gc, b.x + (kButtonW - w) / 2, ty, b.label,
                    int(std::strlen(b.label)));
    }
    XFlush(d.display);
}

int button_at(const Dialog &d, int x, int y) {
    for (size_t i = 0; i < d.buttons.size(); ++i) {
        const Button &b = d.buttons[i];
        if (x >= b.x && x < b.x + kButtonW && y >= b.y && y < b.y + kButtonH)
            return int(i);
    }
    return -1;
}

// Returns true when the dialog is answered (d.answer holds the answer).
bool handle_key(Dialog &d, XKeyEvent &key) {
    KeySym sym = XLookupKeysym(&key, 0);
    int count = int(d.buttons.size());
    switch (sym) {
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
        d.answer = d.buttons[size_t(d.focus)].answer;
        return true;
    case XK_Tab:
    case XK_Right:
    case XK_Down:
        d.focus = (key.state & ShiftMask) && sym == XK_Tab ? (d.focus + count - 1) % count
                                                           : (d.focus + 1) % count;
        draw(d);
        return false;
    case XK_ISO_Left_Tab:
    case XK_Left:
    case XK_Up:
        d.focus = (d.focus + count - 1) % count;
        draw(d);
        return false;
    case XK_y:
        if (count == 2) {
            d.answer = IDYES;
            return true;
        }
        return false;
    case XK_n:
        if (count == 2) {
            d.answer = IDNO;
            return true;
        }
        return false;
    case XK_Escape:
        if (count == 1) {
            d.answer = IDOK;
            return true;
        }
        return false;
    default:
        return false;
    }
}

// Takes the keyboard, so Enter and the letters answer at once; but only once
// the box is viewable: a window manager may frame it and show the frame a
// little later, and the focus cannot go to a window that is not shown. A
// request that fails all the same (the frame went again) is retried at the
// next exposure.
void take_focus(Dialog &d) {
    XWindowAttributes attrs;
    if (d.lost || d.focus_asked || !XGetWindowAttributes(d.display, d.window, &attrs) ||
        attrs.map_state != IsViewable)
        return;
    int errors = d.errors;
    XSetInputFocus(d.display, d.window, RevertToParent, CurrentTime);
    XSync(d.display, False);
    d.focus_asked = d.errors == errors;
}

// The next event; false once the connection is lost, even with events still
// queued, which would only ask for more drawing. XNextEvent is only asked for
// an event already queued: left waiting on a connection that goes away, it
// reads past the end of its queue.
bool next_event(Dialog &d, XEvent &event) {
    while (!d.lost && !XPending(d.display)) {
        pollfd connection = {ConnectionNumber(d.display), POLLIN, 0};
        poll(&connection, 1, -1);
    }
    if (d.lost)
        return false;
    XNextEvent(d.display, &event);
    return true;
}

// True once answered (d.answer holds the answer), false when the connection is
// lost before that.
bool run(Dialog &d) {
    for (;;) {
        XEvent event;
        if (!next_event(d, event))
            return false;
        switch (event.type) {
        case MapNotify:
        case VisibilityNotify:
            take_focus(d);
            break;
        case FocusIn:
            // The window manager gave it (not the pointer merely passing over).
            if (event.xfocus.detail != NotifyPointer)
                d.focus_asked = true;
            break;
        case Expose:
            take_focus(d);
            if (event.xexpose.count == 0)
                draw(d);
            break;
        case KeyPress:
            if (handle_key(d, event.xkey))
                return true;
            break;
        case ButtonPress:
            if (event.xbutton.button == Button1) {
                d.pressed = button_at(d, event.xbutton.x, event.xbutton.y);
                if (d.pressed >= 0)
                    d.focus = d.pressed;
                draw(d);
            }
            break;
        case ButtonRelease:
            if (event.xbutton.button == Button1 && d.pressed >= 0) {
                int over = button_at(d, event.xbutton.x, event.xbutton.y);
                int was = d.pressed;
                d.pressed = -1;
                if (over == was) {
                    d.answer = d.buttons[size_t(over)].answer;
                    return true;
                }
                draw(d);
            }
            break;
        case ClientMessage:
            if (Atom(event.xclient.data.l[0]) == d.wm_delete)
                return true; // the answer stays No, or OK
            break;
        case DestroyNotify:
            // Another client destroyed the window: the box is closed
            // unanswered, and its window is not destroyed again.
            if (event.xdestroywindow.window == d.window) {
                d.window = 0;
                return true;
            }
            break;
        default:
            break;
        }
    }
}

// On a lost connection too: the calls then only free the box's memory, and
// closing the display closes its socket.
void shut_down(Dialog &d) {
    if (d.display) {
        if (d.gc)
            XFreeGC(d.display, d.gc);
        if (d.window)
            XDestroyWindow(d.display, d.window);
        if (d.font)
            XFreeFont(d.display, d.font);
        if (!d.allocated.empty())
            XFreeColors(d.display, DefaultColormap(d.display, DefaultScreen(d.display)),
                        d.allocated.data(), int(d.allocated.size()), 0);
        // Closing flushes what is left, so errors stay ours until then.
        XCloseDisplay(d.display);
    }
    if (s_open == &d) {
        XSetErrorHandler(d.previous_handler);
        XSetIOErrorHandler(d.previous_io_handler);
        s_open = nullptr;
    }
}

// From opening the display to the answer; false when the box could not be
// shown, or its connection was lost before it was answered.
bool show(Dialog &d, const char *text, const char *caption, unsigned style) {
    if (!open_display(d))
        return false;
    lay_out(d, text, style);
    return make_window(d, caption) && run(d);
}

} // namespace

int platform_message_box(const char *text, const char *caption, unsigned style) {
    if (!text)
        text = "";
    if (!caption)
        caption = "";
    Dialog d;
    bool shown = show(d, text, caption, style);
    shut_down(d);
    if (shown)
        return d.answer;
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return unanswered(style);
}
