#pragma once

#include <QRect>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace veltro::bench {

using Clock = std::chrono::steady_clock;

[[nodiscard]] inline double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// A display of our own: Xvfb on a free number with openbox on it, both ended with this object.
class X11Display {
public:
    // Nothing when Xvfb does not start.
    static std::unique_ptr<X11Display> start();
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    [[nodiscard]] const QString& name() const { return name_; }

private:
    X11Display() = default;
    QString name_;
    int server_ = -1;
    int windowManager_ = -1;
};

// Watches what is painted anywhere on the display (X Damage on the root window) and sends
// input as a user would (XTest). Times are taken when an event reaches us.
class X11Screen {
public:
    // Nothing when the display lacks either extension.
    static std::unique_ptr<X11Screen> open(const QString& display);
    ~X11Screen();
    X11Screen(const X11Screen&) = delete;
    X11Screen& operator=(const X11Screen&) = delete;

    // Forgets the paints so far.
    void forget();
    // Paints that lie wholly within this part of the screen do not count (none when empty).
    void ignore(const QRect& area) { ignored_ = area; }
    // Waits until nothing was painted for `quietMs`, at most `longestMs`; the time of the last
    // paint since forget(), if there was one.
    std::optional<Clock::time_point> lastPaint(int quietMs = 300, int longestMs = 600000);
    // The first paint since forget(), waiting for it at most `longestMs`.
    std::optional<Clock::time_point> firstPaint(int longestMs = 600000);

    // A key (an X keysym) pressed and let go, with Shift, Control or Alt held meanwhile when
    // asked; the time the press was sent.
    Clock::time_point key(unsigned long keysym, unsigned int modifiers = 0);
    void type(const QString& text);
    // A left click at a point of the screen.
    void click(int x, int y);
    // Where the window's top left corner lies on the screen now.
    [[nodiscard]] std::pair<int, int> origin(unsigned long window);

    static constexpr unsigned int kAlt = 1;

private:
    struct Connection;
    explicit X11Screen(std::unique_ptr<Connection> connection);
    void takeEvents(int waitMs);
    [[nodiscard]] unsigned char keycodeOf(unsigned long keysym);

    std::unique_ptr<Connection> x_;
    std::optional<Clock::time_point> first_;
    std::optional<Clock::time_point> last_;
    QRect ignored_;
};

}  // namespace veltro::bench
