#pragma once

#include "Bench.h"

#include "mainwindow/MainWindow.h"
#include "platform/QtPlatform.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace veltro::bench {

// Answers every question with one answer and every input with what `input` gives; no
// dialog ever opens.
class AnsweringPlatform final : public platform::QtPlatform {
public:
    explicit AnsweringPlatform(platform::Answer answer, std::function<QString()> input = {})
        : answer_(answer), input_(std::move(input)) {}
    platform::Answer message(const platform::MessageRequest&) override { return answer_; }
    QString input(const platform::InputRequest&) override { return input_ ? input_() : QString(); }
    void beep() override {}

private:
    platform::Answer answer_;
    std::function<QString()> input_;
};

// Installs a platform for the lifetime of this object.
class PlatformScope {
public:
    explicit PlatformScope(std::unique_ptr<platform::Platform> platform);
    ~PlatformScope();
    PlatformScope(const PlatformScope&) = delete;
    PlatformScope& operator=(const PlatformScope&) = delete;

private:
    std::unique_ptr<platform::Platform> previous_;
};

// One loaded and shown main window over a scratch copy of the store, its full-text index
// built, so that what is measured does not share the processor with the build.
class LoadedWindow {
public:
    // On a scratch copy of its own, named by `tag`.
    LoadedWindow(const BenchContext& context, std::int64_t cards,
                 const std::string& tag = "window");
    mainwindow::MainWindow& operator*() { return window_; }
    mainwindow::MainWindow* operator->() { return &window_; }

    void chooseCategory(const QString& name);
    // Reads the store again as after an import, and waits until the full-text index has
    // read it too.
    void reloadAndWait();
    // Handles what is pending until the window is painted again where it changed
    // (card list, card view, panels), as the screen shows it.
    void repaint();
    // The same, then paints the whole window, every widget, once more.
    void repaintWhole();

private:
    QTemporaryDir config_;
    mainwindow::MainWindow window_;
};

// The window the metrics of a window in use share, one store size at a time: loading a
// million cards again for each of them would take minutes.
[[nodiscard]] LoadedWindow& sharedWindow(const BenchContext& context, std::int64_t cards);
// Ends the shared window; main calls it before the application ends.
void releaseSharedWindow();

}  // namespace veltro::bench
