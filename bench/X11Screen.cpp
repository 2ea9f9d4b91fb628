#include "X11Screen.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <filesystem>
#include <map>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

namespace veltro::bench {

namespace {

pid_t spawn(const std::vector<std::string>& words, const std::string& display = {}) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::string_view(*entry).rfind("DISPLAY=", 0) != 0) {
            env.emplace_back(*entry);
        }
    }
    if (!display.empty()) {
        env.push_back("DISPLAY=" + display);
    }
    std::vector<char*> argv;
    std::vector<std::string> args = words;
    for (auto& word : args) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& entry : env) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv.front(), &actions, nullptr, argv.data(), envp.data()) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void end(pid_t pid) {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
}

}  // namespace

std::unique_ptr<X11Display> X11Display::start() {
    std::unique_ptr<X11Display> display(new X11Display);
    int number = 70;
    while (std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) {
        ++number;
    }
    const std::string name = ":" + std::to_string(number);
    display->name_ = QString::fromStdString(name);
    display->server_ = spawn({"Xvfb", name, "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
    for (int attempt = 0; attempt < 100 && display->server_ > 0; ++attempt) {
        if (Display* probe = XOpenDisplay(name.c_str())) {
            XCloseDisplay(probe);
            display->windowManager_ = spawn({"openbox"}, name);
            std::this_thread::sleep_for(std::chrono::milliseconds(500));  // it takes the screen
            return display;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return nullptr;
}

X11Display::~X11Display() {
    end(windowManager_);
    end(server_);
}

struct X11Screen::Connection {
    Display* display = nullptr;
    int damageEvent = 0;
    Damage damage = 0;
    std::map<unsigned long, unsigned char> spareKeys;
    ~Connection() {
        if (display != nullptr) {
            if (damage != 0) {
                XDamageDestroy(display, damage);
            }
            XCloseDisplay(display);
        }
    }
};

std::unique_ptr<X11Screen> X11Screen::open(const QString& name) {
    auto x = std::make_unique<Connection>();
    x->display = XOpenDisplay(name.toLocal8Bit().constData());
    int damageError = 0;
    int xtest[4] = {};
    if (x->display == nullptr ||
        !XDamageQueryExtension(x->display, &x->damageEvent, &damageError) ||
        !XTestQueryExtension(x->display, &xtest[0], &xtest[1], &xtest[2], &xtest[3])) {
        return nullptr;
    }
    x->damage =
        XDamageCreate(x->display, DefaultRootWindow(x->display), XDamageReportRawRectangles);
    XSync(x->display, False);
    return std::unique_ptr<X11Screen>(new X11Screen(std::move(x)));
}

X11Screen::X11Screen(std::unique_ptr<Connection> connection) : x_(std::move(connection)) {}

X11Screen::~X11Screen() = default;

void X11Screen::takeEvents(int waitMs) {
    pollfd watched{ConnectionNumber(x_->display), POLLIN, 0};
    if (XPending(x_->display) == 0) {
        ::poll(&watched, 1, waitMs);
    }
    while (XPending(x_->display) > 0) {
        XEvent event;
        XNextEvent(x_->display, &event);
        if (event.type == x_->damageEvent + XDamageNotify) {
            const XRectangle& area = reinterpret_cast<const XDamageNotifyEvent&>(event).area;
            if (ignored_.contains(QRect(area.x, area.y, area.width, area.height))) {
                continue;
            }
            const auto now = Clock::now();
            first_ = first_.value_or(now);
            last_ = now;
        }
    }
}

void X11Screen::forget() {
    XSync(x_->display, False);
    takeEvents(0);
    first_.reset();
    last_.reset();
}

std::optional<Clock::time_point> X11Screen::lastPaint(int quietMs, int longestMs) {
    const auto begun = Clock::now();
    for (;;) {
        takeEvents(20);
        const auto now = Clock::now();
        if (last_ && msBetween(*last_, now) >= quietMs) {
            return last_;
        }
        if (msBetween(begun, now) >= longestMs) {
            return last_;
        }
    }
}

std::optional<Clock::time_point> X11Screen::firstPaint(int longestMs) {
    const auto begun = Clock::now();
    while (!first_ && msBetween(begun, Clock::now()) < longestMs) {
        takeEvents(20);
    }
    return first_;
}

// A key that gives the keysym without Shift; a spare key made to give it where there is none.
unsigned char X11Screen::keycodeOf(unsigned long keysym) {
    Display* display = x_->display;
    if (const auto spare = x_->spareKeys.find(keysym); spare != x_->spareKeys.end()) {
        return spare->second;
    }
    const KeyCode code = XKeysymToKeycode(display, keysym);
    if (code != 0 && XkbKeycodeToKeysym(display, code, 0, 0) == keysym) {
        return code;
    }
    int low = 0;
    int high = 0;
    XDisplayKeycodes(display, &low, &high);
    for (int candidate = high; candidate >= low; --candidate) {
        if (XkbKeycodeToKeysym(display, static_cast<KeyCode>(candidate), 0, 0) == NoSymbol) {
            KeySym both[2] = {keysym, keysym};
            XChangeKeyboardMapping(display, candidate, 2, both, 1);
            XSync(display, False);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));  // clients reread it
            x_->spareKeys[keysym] = static_cast<unsigned char>(candidate);
            return static_cast<unsigned char>(candidate);
        }
    }
    return 0;
}

Clock::time_point X11Screen::key(unsigned long keysym, unsigned int modifiers) {
    Display* display = x_->display;
    const KeyCode code = keycodeOf(keysym);
    const KeyCode alt = XKeysymToKeycode(display, XK_Alt_L);
    if ((modifiers & kAlt) != 0) {
        XTestFakeKeyEvent(display, alt, True, CurrentTime);
    }
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XFlush(display);
    const auto sent = Clock::now();
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    if ((modifiers & kAlt) != 0) {
        XTestFakeKeyEvent(display, alt, False, CurrentTime);
    }
    XFlush(display);
    return sent;
}

void X11Screen::type(const QString& text) {
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        key(unit < 0x100 ? unit : 0x01000000UL | unit);
    }
}

void X11Screen::click(int x, int y) {
    Display* display = x_->display;
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
}

std::pair<int, int> X11Screen::origin(unsigned long window) {
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(x_->display, window, DefaultRootWindow(x_->display), 0, 0, &x, &y,
                          &child);
    return {x, y};
}

}  // namespace veltro::bench
