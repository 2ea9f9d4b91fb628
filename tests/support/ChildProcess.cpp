#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <thread>

extern char** environ;

namespace veltro::testing {

namespace {

// Our environment with these NAME=value entries added or replaced.
std::vector<std::string> mergedEnvironment(const std::vector<std::string>& changes) {
    std::vector<std::string> result(changes);
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view line(*entry);
        const auto name = line.substr(0, line.find('=') + 1);
        const bool replaced =
            std::any_of(changes.begin(), changes.end(),
                        [&](const std::string& c) { return c.starts_with(name); });
        if (!replaced) {
            result.emplace_back(line);
        }
    }
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& words) {
    std::vector<char*> result;
    for (auto& word : words) {
        result.push_back(word.data());
    }
    result.push_back(nullptr);
    return result;
}

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void execChild(pid_t parent, char* const* argv, char* const* envp,
                            const ChildProcess::Options& options) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) {
        _exit(127);  // the test program died before the line above
    }
    const int devNull = open("/dev/null", O_RDONLY);
    dup2(devNull, STDIN_FILENO);
    dup2(options.outputFd, STDOUT_FILENO);
    dup2(options.outputFd, STDERR_FILENO);
    if (options.keepFd != -1) {
        fcntl(options.keepFd, F_SETFD, 0);  // clear close-on-exec
    }
    execvpe(argv[0], argv, envp);
    _exit(127);
}

bool reaped(pid_t pid, std::chrono::milliseconds within) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (true) {
        const pid_t result = waitpid(pid, nullptr, WNOHANG);
        if (result == pid || (result == -1 && errno == ECHILD)) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const Options& options) {
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<std::string> environment = mergedEnvironment(options.environment);
    const auto argv = pointers(words);
    const auto envp = pointers(environment);

    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == -1) {
        throw std::runtime_error("fork failed: " + std::string(std::strerror(errno)));
    }
    if (pid_ == 0) {
        execChild(parent, argv.data(), envp.data(), options);
    }
    setpgid(pid_, pid_);  // also here, so that stop() finds the group whoever runs first
}

ChildProcess::~ChildProcess() {
    stop();
}

bool ChildProcess::running() {
    if (pid_ == -1) {
        return false;
    }
    if (waitpid(pid_, nullptr, WNOHANG) == 0) {
        return true;
    }
    kill(-pid_, SIGKILL);  // whatever it left behind in its group
    pid_ = -1;
    return false;
}

void ChildProcess::stop(std::chrono::milliseconds grace) {
    if (pid_ == -1) {
        return;
    }
    kill(-pid_, SIGTERM);
    if (!reaped(pid_, grace)) {
        kill(-pid_, SIGKILL);
        reaped(pid_, std::chrono::seconds(5));
    }
    kill(-pid_, SIGKILL);  // whatever it left behind in its group
    pid_ = -1;
}

FileDescriptor::~FileDescriptor() {
    reset();
}

void FileDescriptor::reset(int fd) {
    if (fd_ != -1) {
        close(fd_);
    }
    fd_ = fd;
}

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path == nullptr ? "" : path);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const auto file = std::filesystem::path(folder.empty() ? "." : folder) / program;
        if (access(file.c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace veltro::testing
