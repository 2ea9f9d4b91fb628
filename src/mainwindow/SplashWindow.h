#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;

namespace veltro::mainwindow {

// Form5: the splash window that opens the main window on its timer.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    // onTick opens the main window; it runs once, on the first tick.
    explicit SplashWindow(std::function<void()> onTick, QWidget* parent = nullptr);

    // Shows the window or not, as "Eingangsbild zeigen" says, and starts the timer.
    void start();

    [[nodiscard]] const QTimer& timer() const { return timer_; }

    static QString versionText();
    static QColor bandColour();

private:
    void Timer1_Timer();

    std::function<void()> onTick_;
    QTimer timer_;
    QLabel* image_;
};

}  // namespace veltro::mainwindow
