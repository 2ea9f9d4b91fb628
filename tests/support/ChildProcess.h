#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace veltro::testing {

// A helper program in a process group of its own. The destructor ends the whole group;
// should the test program die first, the kernel sends the helper SIGTERM.
class ChildProcess {
public:
    struct Options {
        int outputFd = -1;                     // receives stdout and stderr
        int keepFd = -1;                       // stays open in the child under this number
        std::vector<std::string> environment;  // NAME=value, added to or replacing ours
    };

    // Starts program (looked up in PATH) with these arguments.
    // Throws std::runtime_error when it cannot fork.
    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const Options& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    [[nodiscard]] bool running();
    // SIGTERM to the group, SIGKILL after the grace period; reaps the child.
    void stop(std::chrono::milliseconds grace = std::chrono::seconds(3));

private:
    pid_t pid_ = -1;
};

// A file descriptor, closed with its owner.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    [[nodiscard]] int get() const { return fd_; }
    void reset(int fd = -1);

private:
    int fd_;
};

// True when program is an executable file in one of PATH's folders.
[[nodiscard]] bool onPath(const std::string& program);

}  // namespace veltro::testing
