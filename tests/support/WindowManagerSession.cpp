#include "WindowManagerSession.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <thread>

namespace veltro::testing {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto startTimeout = std::chrono::seconds(15);
// Clear of the numbers desktops use and where xvfb-run starts.
constexpr int firstDisplay = 110;
constexpr int serverAttempts = 50;
// The packaged configuration, so that a developer's own openbox settings change nothing.
constexpr const char* openboxConfig = "/etc/xdg/openbox/rc.xml";

// An unlinked temporary file: nothing to remove afterwards.
int anonymousFile() {
    std::string name = (std::filesystem::temp_directory_path() / "veltro-wm-XXXXXX").string();
    const int fd = mkostemp(name.data(), O_CLOEXEC | O_APPEND);
    if (fd == -1) {
        throw std::runtime_error("cannot create a log file: " + std::string(std::strerror(errno)));
    }
    unlink(name.c_str());
    return fd;
}

enum class Report { line, closed, timedOut };

// Waits for one line on fd, or for its writer to close it.
Report waitForLine(int fd, Clock::duration timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, 100) <= 0) {
            continue;
        }
        char c = 0;
        if (read(fd, &c, 1) != 1) {
            return Report::closed;
        }
        if (c == '\n') {
            return Report::line;
        }
    }
    return Report::timedOut;
}

// No server claims display n, not even one that died and left its lock or socket behind.
bool displayFree(int number) {
    const std::string n = std::to_string(number);
    return !std::filesystem::exists("/tmp/.X11-unix/X" + n) &&
           !std::filesystem::exists("/tmp/.X" + n + "-lock");
}

// A fresh folder under the temporary directory, removed with its contents.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "veltro-wm-XXXXXX").string();
        if (mkdtemp(name.data()) == nullptr) {
            throw std::runtime_error("cannot create a folder: " +
                                     std::string(std::strerror(errno)));
        }
        path_ = name;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

void requireInstalled(const std::string& program) {
    if (!onPath(program)) {
        throw std::runtime_error(program +
                                 " is not installed; scripts/install-deps installs it. Tests "
                                 "under a window manager cannot run without it.");
    }
}

}  // namespace

WindowManagerSession::WindowManagerSession() : log_(anonymousFile()) {
    requireInstalled("Xvfb");
    requireInstalled("openbox");
    startServer();
    startWindowManager();
}

WindowManagerSession::~WindowManagerSession() = default;

void WindowManagerSession::startServer() {
    int number = firstDisplay;
    for (int attempt = 0; attempt < serverAttempts; ++attempt, ++number) {
        while (!displayFree(number)) {
            ++number;
        }
        if (tryServer(number)) {
            display_ = ":" + std::to_string(number);
            return;
        }
    }
    throw std::runtime_error(failure("Xvfb ended on each of the displays it was given"));
}

bool WindowManagerSession::tryServer(int number) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed: " + std::string(std::strerror(errno)));
    }
    const FileDescriptor readEnd(ends[0]);
    FileDescriptor writeEnd(ends[1]);
    // The server's lock file decides who gets the display; -displayfd reports when the
    // winner accepts clients. (Without a display number the server would skip the lock and
    // could unlink another server's socket.)
    server_.emplace("Xvfb",
                    std::vector<std::string>{":" + std::to_string(number), "-displayfd",
                                             std::to_string(writeEnd.get()), "-screen", "0",
                                             "1280x1024x24", "-nolisten", "tcp"},
                    ChildProcess::Options{log_.get(), writeEnd.get(), {}});
    writeEnd.reset();
    switch (waitForLine(readEnd.get(), startTimeout)) {
        case Report::line:
            return true;
        case Report::closed:  // it lost the display to another server and ends
            server_.reset();
            return false;
        case Report::timedOut:
            break;
    }
    throw std::runtime_error(failure("Xvfb on :" + std::to_string(number) + " did not get ready"));
}

void WindowManagerSession::startWindowManager() {
    // Ready means openbox has run its start-up command, at the end of its start-up. Having
    // claimed the screen is not enough: a window shown in between is never activated.
    const TemporaryFolder folder;
    const auto ready = folder.path() / "ready";
    std::vector<std::string> args{"--sm-disable", "--startup", "touch '" + ready.string() + "'"};
    if (std::filesystem::exists(openboxConfig)) {
        args.insert(args.end(), {"--config-file", openboxConfig});
    }
    windowManager_.emplace("openbox", args,
                           ChildProcess::Options{log_.get(), -1, {"DISPLAY=" + display_}});
    const auto deadline = Clock::now() + startTimeout;
    while (!std::filesystem::exists(ready)) {
        if (!windowManager_->running()) {
            throw std::runtime_error(failure("openbox ended during start-up"));
        }
        if (Clock::now() >= deadline) {
            throw std::runtime_error(failure("openbox did not finish its start-up"));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string WindowManagerSession::failure(const std::string& what) const {
    // The end of the log: what went wrong last, after any displays lost to other servers.
    constexpr off_t shown = 4096;
    const off_t end = lseek(log_.get(), 0, SEEK_END);
    std::string output(shown, '\0');
    const ssize_t size =
        pread(log_.get(), output.data(), output.size(), std::max<off_t>(0, end - shown));
    output.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    return what + (output.empty() ? std::string(".") : ". Its output:\n" + output);
}

}  // namespace veltro::testing
