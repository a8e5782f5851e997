// The real dialog under the test display: it shows its caption as the window
// title, takes the keyboard, fits the screen and answers from the keyboard and
// the mouse, under no window manager and under one that shows its frames late,
// and it survives its connection going away at any point. Each box runs in a
// child process, which exits with the answer; xdotool plays the user.

#include "platform/platform.h"
#include "support/late_frame_wm.h"

#include <gtest/gtest.h>
// After gtest, whose templates use names that Xlib defines as macros.
#include <X11/Xlib.h>

#include <dirent.h>
#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <sstream>
#include <string>

// Where a case cuts the box's connection. Just before the box makes one of
// these calls, this program's own definitions of them shut the socket down,
// as a server that goes away at that moment would, and pass the call on to
// Xlib. The box's code is the game's, unchanged.
enum Cut {
    kNoCut,
    kServerQuits,
    kWhileOpening,
    kKeysQueued,
    kBeforeFirstText,
    kBeforeFreeGC,
    kBeforeFreeFont,
    kBeforeClose
};
static Cut s_cut = kNoCut;

namespace {

// Every wait is on a condition, with a bound generous enough for a loaded
// machine; it ends as soon as the condition holds.
const int WAIT_SECONDS = 60;

bool wait_for(const std::function<bool()> &done) {
    const time_t deadline = time(nullptr) + WAIT_SECONDS;
    while (!done()) {
        if (time(nullptr) >= deadline)
            return false;
        usleep(50 * 1000);
    }
    return true;
}

} // namespace

template <typename Call> static Call xlib(const char *name) {
    return reinterpret_cast<Call>(dlsym(RTLD_NEXT, name));
}

static void cut_at(Cut here, Display *display) {
    if (s_cut == here) {
        s_cut = kNoCut;
        shutdown(ConnectionNumber(display), SHUT_RDWR);
    }
}

// The loss shows before XOpenDisplay returns, as when the server goes during
// the requests that XOpenDisplay makes itself.
Display *XOpenDisplay(const char *name) {
    Display *display = xlib<Display *(*)(const char *)>("XOpenDisplay")(name);
    if (display && s_cut == kWhileOpening) {
        cut_at(kWhileOpening, display);
        XSync(display, False);
    }
    return display;
}

// Cut at the box's first flush after it has looked up a key, once kQueuedKeys
// more key presses are queued that it has not handled yet.
constexpr int kQueuedKeys = 40;
static bool s_key_handled = false;

KeySym XLookupKeysym(XKeyEvent *key, int index) {
    s_key_handled = true;
    return xlib<KeySym (*)(XKeyEvent *, int)>("XLookupKeysym")(key, index);
}

static Bool count_key(Display *, XEvent *event, XPointer count) {
    if (event->type == KeyPress)
        ++*reinterpret_cast<int *>(count);
    return False;
}

int XFlush(Display *display) {
    if (s_cut == kKeysQueued && s_key_handled) {
        wait_for([display] {
            int keys = 0;
            XEvent none;
            XCheckIfEvent(display, &none, count_key, reinterpret_cast<XPointer>(&keys));
            return keys >= kQueuedKeys;
        });
        cut_at(kKeysQueued, display);
    }
    return xlib<int (*)(Display *)>("XFlush")(display);
}

int XDrawString(Display *display, Drawable window, GC gc, int x, int y, const char *text,
                int length) {
    cut_at(kBeforeFirstText, display);
    return xlib<int (*)(Display *, Drawable, GC, int, int, const char *, int)>("XDrawString")(
        display, window, gc, x, y, text, length);
}

int XFreeGC(Display *display, GC gc) {
    cut_at(kBeforeFreeGC, display);
    return xlib<int (*)(Display *, GC)>("XFreeGC")(display, gc);
}

int XFreeFont(Display *display, XFontStruct *font) {
    cut_at(kBeforeFreeFont, display);
    return xlib<int (*)(Display *, XFontStruct *)>("XFreeFont")(display, font);
}

int XCloseDisplay(Display *display) {
    cut_at(kBeforeClose, display);
    return xlib<int (*)(Display *)>("XCloseDisplay")(display);
}

namespace {

// The command's output, without the line end that closes it.
std::string run(const std::string &command) {
    std::string out;
    FILE *p = popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[256];
    while (std::fgets(buf, sizeof buf, p))
        out += buf;
    pclose(p);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

// The child's exit codes: past kAnswered, the answer (so that no exit of
// Xlib's passes for one); otherwise an X error or a lost connection of the
// box's reached the handler that was there before it, a handler was not put
// back, a descriptor the box opened is still open, or the box never made the
// call where its connection was to be cut.
constexpr int kAnswered = 100;
constexpr int kStrayError = 90;
constexpr int kHandlerLost = 91;
constexpr int kDescriptorLeft = 92;
constexpr int kNeverCut = 93;

int handler_before_the_box(Display *, XErrorEvent *) {
    _exit(kStrayError);
}

int io_handler_before_the_box(Display *) {
    _exit(kStrayError);
}

int open_descriptors() {
    int count = 0;
    if (DIR *dir = opendir("/proc/self/fd")) {
        while (readdir(dir))
            ++count;
        closedir(dir);
    }
    return count;
}

// Runs the box in this child and exits with its answer, unless the box left
// the process otherwise than it found it or was not cut where it was to be.
[[noreturn]] void box_then_exit(const char *text, const char *caption, unsigned style) {
    XSetErrorHandler(handler_before_the_box);
    XSetIOErrorHandler(io_handler_before_the_box);
    int descriptors = open_descriptors();
    int answer = platform_message_box(text, caption, style);
    bool handlers_back = XSetErrorHandler(nullptr) == handler_before_the_box &&
                         XSetIOErrorHandler(nullptr) == io_handler_before_the_box;
    bool cut_made = s_cut == kNoCut || s_cut == kServerQuits;
    _exit(!handlers_back                      ? kHandlerLost
          : open_descriptors() != descriptors ? kDescriptorLeft
          : !cut_made                         ? kNeverCut
                                              : kAnswered + answer);
}

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

Geometry geometry(const std::string &window) {
    std::istringstream shell(run("xwininfo -id " + window +
                                 " | sed -n 's/^ *\\(Absolute upper-left [XY]\\|Width\\|"
                                 "Height\\): *//p'"));
    Geometry g;
    shell >> g.x >> g.y >> g.width >> g.height;
    return g;
}

// Shows a box in a child, with its connection cut at `cut`, lets `user` act on
// its window and returns the answer, or -1. Without a user no window is waited
// for: the box is to end by itself.
int answer_box(const char *text, const char *caption, unsigned style,
               const std::function<void(const std::string &window)> &user, Cut cut = kNoCut) {
    pid_t child = fork();
    if (child == 0) {
        s_cut = cut;
        box_then_exit(text, caption, style);
    }
    // This child's own window: the box of the case before may still be going.
    // A search that meets a window as it goes away ends in an X error and
    // finds nothing; the next one looks again.
    std::string id, focus;
    bool shown = false;
    if (user) {
        shown = wait_for([&] {
            id = run("xdotool search --onlyvisible --pid " + std::to_string(child) + " --name '^" +
                     caption + "$' 2>/dev/null | head -n1");
            return !id.empty();
        });
        EXPECT_TRUE(shown) << "no window titled " << caption << " within " << WAIT_SECONDS << " s";
    }
    if (shown) {
        // Typed keys go to the focus, which the box takes once it is shown.
        bool focused = wait_for([&] {
            focus = run("xdotool getwindowfocus 2>/dev/null");
            return focus == id;
        });
        EXPECT_TRUE(focused) << "the box " << id << " never took the focus; it is on " << focus;
        user(id);
    }
    int status = 0;
    if (wait_for([&] { return waitpid(child, &status, WNOHANG) == child; })) {
        if (WIFEXITED(status) && WEXITSTATUS(status) > kAnswered)
            return WEXITSTATUS(status) - kAnswered;
        if (WIFEXITED(status))
            ADD_FAILURE() << "the box's process exited with code " << WEXITSTATUS(status);
        else
            ADD_FAILURE() << "the box died of signal " << WTERMSIG(status);
        return -1;
    }
    ADD_FAILURE() << "the box did not close within " << WAIT_SECONDS << " s";
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}

// The same, with the user's action a shell command; %W stands for the window.
int answer_box(const char *text, const char *caption, unsigned style, const std::string &user) {
    return answer_box(text, caption, style, [&](const std::string &window) {
        std::string cmd = user;
        for (size_t at; (at = cmd.find("%W")) != std::string::npos;)
            cmd.replace(at, 2, window);
        run(cmd);
    });
}

// Clicks the last button: No of a question, OK of a fatal box. The buttons
// sit side by side at the bottom centre, 88 pixels wide with 10 between.
void click_last_button(const std::string &window, const Geometry &g, int buttons) {
    int x = (g.width - (buttons * 98 - 10)) / 2 + (buttons - 1) * 98 + 44;
    run("xdotool mousemove --window " + window + " " + std::to_string(x) + " " +
        std::to_string(g.height - 30) + " click 1");
}

// Starts an Xvfb of the test's own; its pid, and its display in `display`
// (empty when it did not start). The server picks a free display itself
// (-displayfd) and writes its number once it takes connections, so servers
// started at the same time by other runs never race for a number.
pid_t start_xvfb(std::string &display, const char *screen = "1024x768x24") {
    display.clear();
    int fds[2];
    if (pipe(fds) != 0)
        return 0;
    pid_t server = fork();
    if (server == 0) {
        close(fds[0]);
        std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen, "-nolisten", "tcp",
               "-noreset", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        display += c;
    close(fds[0]);
    if (!display.empty())
        display.insert(0, ":");
    return server;
}

void stop(pid_t &process, int signal = SIGTERM) {
    if (process > 0) {
        kill(process, signal);
        waitpid(process, nullptr, 0);
        process = 0;
    }
}

// Each case runs on an X server of its own: key state that earlier programs
// left in a shared server (seen after the game's own end-to-end runs) can
// swallow the first keys typed into a new window.
class MessageBox : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!std::getenv("DISPLAY") || std::system("command -v Xvfb >/dev/null") != 0)
            return;
        std::string display;
        s_server = start_xvfb(display);
        if (display.empty()) {
            ADD_FAILURE() << "the test's own Xvfb did not start";
            return;
        }
        setenv("DISPLAY", display.c_str(), 1);
    }
    static void TearDownTestSuite() { stop(s_server); }
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X display";
    }
    static inline pid_t s_server = 0;
};

TEST_F(MessageBox, QuestionAnswersFromTheKeyboard) {
    const unsigned q = MB_YESNO | MB_ICONQUESTION;
    // Typed at the keyboard: the box has taken the focus.
    EXPECT_EQ(answer_box("Fullscreen?", "Question", q, "xdotool key y"), IDYES);
    EXPECT_EQ(answer_box("Fullscreen?", "Question", q, "xdotool key n"), IDNO);
    // Yes has the focus first; Tab and the arrows move it.
    EXPECT_EQ(answer_box("Fullscreen?", "Question", q, "xdotool key Return"), IDYES);
    EXPECT_EQ(answer_box("Fullscreen?", "Question", q, "xdotool key Tab Return"), IDNO);
    EXPECT_EQ(answer_box("Fullscreen?", "Question", q, "xdotool key Right space"), IDNO);
    EXPECT_EQ(answer_box("Fullscreen?", "Question", q, "xdotool key Right Left space"), IDYES);
}

TEST_F(MessageBox, QuestionAnswersFromTheMouse) {
    auto click_no = [](const std::string &window) {
        click_last_button(window, geometry(window), 2);
    };
    EXPECT_EQ(answer_box("Fullscreen?", "Question", MB_YESNO | MB_ICONQUESTION, click_no), IDNO);
    // A window that another client destroys is a box closed unanswered.
    EXPECT_EQ(
        answer_box("Fullscreen?", "Question", MB_YESNO | MB_ICONQUESTION, "xdotool windowclose %W"),
        IDNO);
}

TEST_F(MessageBox, FatalBoxHasOneButton) {
    const char *text = "Corrupted EXE file, re-download please!\n\nInternal error: file not found.";
    EXPECT_EQ(answer_box(text, "Fatal", MB_ICONHAND, "xdotool key Return"), IDOK);
    // Y and N mean nothing to an OK box; Escape dismisses it.
    EXPECT_EQ(answer_box(text, "Fatal", MB_ICONHAND, "xdotool key y n Escape"), IDOK);
}

// A message passed through from a library can be any length.
TEST_F(MessageBox, LongTextsFitTheScreen) {
    std::string lines, words;
    for (int i = 1; i <= 200; ++i)
        lines += "Line " + std::to_string(i) + " of a long report\n";
    while (words.size() < 5000)
        words += "the library said ";
    struct Case {
        const char *name;
        std::string text;
        unsigned style;
        int buttons, answer;
    } cases[] = {
        {"200 lines", lines, MB_YESNO | MB_ICONQUESTION, 2, IDNO},
        {"one 5,000-character word", std::string(5000, 'W'), MB_ICONHAND, 1, IDOK},
        {"one 5,000-character line of words", words, MB_ICONHAND, 1, IDOK},
        // Drawn 0 pixels wide, but a line's bytes must still fit one request.
        {"300,000 tabs", std::string(300000, '\t'), MB_ICONHAND, 1, IDOK},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Geometry g;
        auto look_then_click = [&](const std::string &window) {
            g = geometry(window);
            click_last_button(window, g, c.buttons);
        };
        EXPECT_EQ(answer_box(c.text.c_str(), "Long", c.style, look_then_click), c.answer);
        EXPECT_GE(g.x, 0);
        EXPECT_GE(g.y, 0);
        EXPECT_LE(g.x + g.width, 1024);
        EXPECT_LE(g.y + g.height, 768);
        EXPECT_LE(g.width, 1024 * 2 / 3) << "wider than two thirds of the screen";
    }
}

// Under a window manager that frames each box and shows the frame 20 to 100 ms
// after the box: the box must wait until it is shown to take the keyboard.
class MessageBoxUnderLateFrames : public MessageBox {
  protected:
    static void SetUpTestSuite() {
        MessageBox::SetUpTestSuite();
        int ready[2];
        if (s_server <= 0 || pipe(ready) != 0)
            return;
        s_wm = fork();
        if (s_wm == 0) {
            close(ready[0]);
            late_frame_wm({20, 60, 100}, ready[1]);
            _exit(1);
        }
        close(ready[1]);
        char byte;
        s_wm_ready = read(ready[0], &byte, 1) == 1;
        close(ready[0]);
    }
    static void TearDownTestSuite() {
        stop(s_wm);
        MessageBox::TearDownTestSuite();
    }
    void SetUp() override {
        MessageBox::SetUp();
        if (IsSkipped())
            return;
        if (s_server <= 0)
            GTEST_SKIP() << "needs an X server of its own to manage";
        ASSERT_TRUE(s_wm_ready) << "the window manager did not start";
    }
    static inline pid_t s_wm = 0;
    static inline bool s_wm_ready = false;
};

TEST_F(MessageBoxUnderLateFrames, BoxesTakeTheKeyboardOnceShown) {
    const unsigned q = MB_YESNO | MB_ICONQUESTION;
    EXPECT_EQ(answer_box("Fullscreen?", "Question", q, "xdotool key y"), IDYES);
    EXPECT_EQ(answer_box("Fullscreen?", "Question", q, "xdotool key n"), IDNO);
    EXPECT_EQ(answer_box("SDL Timer set failed!", "Fatal", MB_ICONHAND, "xdotool key Return"),
              IDOK);
}

// The connection can go at any moment (the desktop session ends, the server
// is restarted): before the answer the box answers as it does without a
// display; once answered, the answer stands. Either way the process goes on,
// with the handlers it had and without the box's socket, and the box asks
// nothing more of a connection it knows is gone: Xlib keeps every request
// made after the loss and has no room for more than 16 KB of them.
TEST_F(MessageBox, ALostConnectionNeverEndsTheProcess) {
    const unsigned q = MB_YESNO | MB_ICONQUESTION;
    // Each Tab redraws the box; the last key would answer it.
    std::string keys, report;
    for (int i = 0; i < kQueuedKeys; ++i)
        keys += " Tab";
    keys += " y";
    for (int i = 1; i <= 200; ++i)
        report += "Line " + std::to_string(i) + std::string(300, '=') + "\n";
    struct Case {
        const char *name;
        Cut cut;
        unsigned style;
        std::string keys; // typed into the box, if it is to be answered
        int answer;
        std::string text = "Fullscreen?";
        const char *screen = nullptr; // a server of the case's own, this size
    } cases[] = {
        {"the server quits while the box waits", kServerQuits, q, "", IDNO, "Fullscreen?",
         "1024x768x24"},
        {"lost while the display opens", kWhileOpening, q, "", IDNO},
        {"lost with keys queued", kKeysQueued, q, keys, IDNO},
        {"lost before a large text is drawn", kBeforeFirstText, MB_ICONHAND, "", IDOK, report,
         "3840x2160x24"},
        {"lost after the answer", kBeforeFreeGC, q, "y", IDYES},
        {"lost between the frees of a fatal box", kBeforeFreeFont, MB_ICONHAND, "Return", IDOK},
        {"lost as the display closes", kBeforeClose, q, "y", IDYES},
    };
    const std::string display = std::getenv("DISPLAY");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        pid_t server = 0;
        if (c.screen) {
            std::string own;
            server = start_xvfb(own, c.screen);
            ASSERT_FALSE(own.empty()) << "a second Xvfb did not start";
            setenv("DISPLAY", own.c_str(), 1);
        }
        // No user where the box is to end by itself.
        std::function<void(const std::string &)> user;
        if (c.cut == kServerQuits)
            user = [&](const std::string &) { stop(server, SIGKILL); };
        else if (!c.keys.empty())
            user = [&](const std::string &) { run("xdotool key " + c.keys); };
        EXPECT_EQ(answer_box(c.text.c_str(), "Cut", c.style, user, c.cut), c.answer);
        stop(server);
        setenv("DISPLAY", display.c_str(), 1);
    }
}

TEST(MessageBoxWithoutDisplay, WritesToStandardErrorAndSaysNo) {
    pid_t child = fork();
    if (child == 0) {
        unsetenv("DISPLAY");
        if (!freopen("/dev/null", "w", stderr))
            _exit(99);
        int yes_no = platform_message_box("Fullscreen?", "Question", MB_YESNO | MB_ICONQUESTION);
        int ok = platform_message_box("SDL Timer set failed!", "Fatal", MB_ICONHAND);
        _exit(yes_no == IDNO && ok == IDOK ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace
