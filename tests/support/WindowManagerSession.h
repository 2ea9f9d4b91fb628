#pragma once

#include "ChildProcess.h"

#include <optional>
#include <string>

namespace veltro::testing {

// An X server (Xvfb, 1280x1024) on a free display with openbox managing it, for the
// lifetime of this object. Start it before the QApplication, end it after.
class WindowManagerSession {
public:
    // Throws std::runtime_error saying what is missing or what failed.
    WindowManagerSession();
    ~WindowManagerSession();
    WindowManagerSession(const WindowManagerSession&) = delete;
    WindowManagerSession& operator=(const WindowManagerSession&) = delete;

    // ":N", for DISPLAY.
    [[nodiscard]] const std::string& display() const { return display_; }

private:
    void startServer();
    // False when another server took this display first.
    [[nodiscard]] bool tryServer(int number);
    void startWindowManager();
    [[nodiscard]] std::string failure(const std::string& what) const;

    FileDescriptor log_;  // output of both programs, shown when they fail
    std::string display_;
    std::optional<ChildProcess> server_;
    std::optional<ChildProcess> windowManager_;  // declared last: ends first
};

}  // namespace veltro::testing
