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
    // The info window: the splash shown without its timer, until clicked.
    void showAsInfo();
    static void showInfo();

    [[nodiscard]] const QTimer& timer() const { return timer_; }

    static QString versionText();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void present(bool withFolder);
    void Timer1_Timer();

    std::function<void()> onTick_;
    QTimer timer_;
    QLabel* image_;
    bool infoMode_ = false;
};

}  // namespace veltro::mainwindow
