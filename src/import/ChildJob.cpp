#include "import/ChildJob.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>

namespace veltro::import {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kWriteBuffer = 64 * 1024;
constexpr std::uint32_t kMaxFrame = 64U * 1024U * 1024U;
constexpr int kWaitSliceMs = 50;
// Room the child may take beyond what it inherits; a damaged file can make a reader
// allocate without end.
constexpr rlim_t kExtraAddressSpace = rlim_t{2} * 1024 * 1024 * 1024;

class UniqueFd {
public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    [[nodiscard]] int get() const { return fd_; }

private:
    int fd_;
};

// Kills and reaps the child unless it was waited for.
class ChildProcess {
public:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            wait();
        }
    }
    int wait() {
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        return status;
    }

private:
    pid_t pid_;
};

// Splits the byte stream back into frames.
class FrameParser {
public:
    // False when the stream is not made of frames.
    bool feed(QByteArrayView bytes, const ChildJob::OnFrame& onFrame, bool& stop) {
        buffer_.append(bytes);
        qsizetype at = 0;
        while (buffer_.size() - at >= 5) {
            std::uint32_t size = 0;
            std::memcpy(&size, buffer_.constData() + at + 1, sizeof size);
            if (size > kMaxFrame) {
                return false;
            }
            if (buffer_.size() - at - 5 < static_cast<qsizetype>(size)) {
                break;
            }
            const char tag = buffer_[at];
            const QByteArrayView payload(buffer_.constData() + at + 5, size);
            at += 5 + static_cast<qsizetype>(size);
            if (!onFrame(tag, payload)) {
                stop = true;
                break;
            }
        }
        buffer_.remove(0, at);
        return true;
    }
    [[nodiscard]] bool clean() const { return buffer_.isEmpty(); }

private:
    QByteArray buffer_;
};

void limitAddressSpace() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    unsigned long pages = 0;
    if (statm != nullptr) {
        if (std::fscanf(statm, "%lu", &pages) != 1) {
            pages = 0;
        }
        std::fclose(statm);
    }
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) +
                         kExtraAddressSpace;
    const rlimit value{limit, limit};
    ::setrlimit(RLIMIT_AS, &value);
}

void silenceOutput() {
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (devNull >= 0) {
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        ::close(devNull);
    }
}

[[noreturn]] void runChild(const ChildJob::Work& work, int fd) {
    std::signal(SIGPIPE, SIG_IGN);
    silenceOutput();  // the reader library talks on stderr about every damaged page
    limitAddressSpace();
    int status = 1;
    try {
        FrameWriter writer(fd);
        status = work(writer);
        writer.flush();
    } catch (...) {
        status = 1;
    }
    ::_exit(status);
}

}  // namespace

void FrameWriter::append(const void* data, std::size_t size) {
    buffer_.append(static_cast<const char*>(data), size);
    if (buffer_.size() >= kWriteBuffer) {
        flush();
    }
}

void FrameWriter::frame(char tag, std::string_view payload) {
    const auto size = static_cast<std::uint32_t>(payload.size());
    append(&tag, 1);
    append(&size, sizeof size);
    append(payload.data(), payload.size());
}

void FrameWriter::flush() {
    std::size_t written = 0;
    while (written < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + written, buffer_.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ::_exit(3);  // the parent has stopped listening
        }
        written += static_cast<std::size_t>(n);
    }
    buffer_.clear();
}

ChildJob::Outcome ChildJob::run(const OnFrame& onFrame, const OnWait& onWait) const {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return Outcome::Failed;
    }
    const UniqueFd readEnd(fds[0]);
    std::optional<UniqueFd> writeEnd(std::in_place, fds[1]);
    std::fflush(nullptr);  // the child must not write the parent's buffered output again
    const pid_t pid = ::fork();
    if (pid < 0) {
        return Outcome::Failed;
    }
    if (pid == 0) {
        runChild(work_, fds[1]);
    }
    writeEnd.reset();  // so that the child's end is the last: its exit ends the stream
    ChildProcess child(pid);
    const Outcome outcome = listen(readEnd.get(), onFrame, onWait);
    if (outcome != Outcome::Finished) {
        return outcome;  // the child is killed on the way out
    }
    const int status = child.wait();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? Outcome::Finished : Outcome::Failed;
}

ChildJob::Outcome ChildJob::listen(int fd, const OnFrame& onFrame, const OnWait& onWait) const {
    FrameParser parser;
    auto lastData = Clock::now();
    auto lastWait = lastData;
    for (;;) {
        pollfd poller{fd, POLLIN, 0};
        const int ready = ::poll(&poller, 1, kWaitSliceMs);
        if (ready < 0 && errno != EINTR) {
            return Outcome::Failed;
        }
        const auto now = Clock::now();
        if (now - lastWait >= std::chrono::milliseconds(kWaitSliceMs)) {
            lastWait = now;
            if (onWait && !onWait()) {
                return Outcome::Stopped;
            }
        }
        if (ready <= 0) {
            if (now - lastData > patience_) {
                return Outcome::Failed;
            }
            continue;
        }
        char chunk[64 * 1024];
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) {
            return parser.clean() ? Outcome::Finished : Outcome::Failed;
        }
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            return Outcome::Failed;
        }
        lastData = now;
        bool stop = false;
        if (!parser.feed(QByteArrayView(chunk, n), onFrame, stop)) {
            return Outcome::Failed;
        }
        if (stop) {
            return Outcome::Stopped;
        }
    }
}

}  // namespace veltro::import
