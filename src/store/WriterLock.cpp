#include "store/WriterLock.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace veltro::store {

namespace {

// Readable by others so that a second user of a shared folder can still open and lock it:
// flock() needs no write access.
constexpr mode_t kLockFileMode = 0644;

int openLockFile(const std::filesystem::path& file) {
    int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kLockFileMode);
    if (fd < 0 && (errno == EACCES || errno == EROFS)) {
        const int firstError = errno;
        fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            errno = firstError;
        }
    }
    return fd;
}

}  // namespace

WriterLock WriterLock::tryAcquire(const std::filesystem::path& directory) {
    const int fd = openLockFile(directory / kLockFileName);
    if (fd < 0) {
        return {State::Unavailable, -1, errno};
    }
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        return {State::Held, fd, 0};
    }
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK) {
        return {State::InUse, -1, 0};
    }
    return {State::Unavailable, -1, error};
}

WriterLock::WriterLock(WriterLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      state_(std::exchange(other.state_, State::Unavailable)),
      error_(other.error_) {}

WriterLock& WriterLock::operator=(WriterLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
        state_ = std::exchange(other.state_, State::Unavailable);
        error_ = other.error_;
    }
    return *this;
}

WriterLock::~WriterLock() {
    release();
}

void WriterLock::release() noexcept {
    // Closing the only descriptor of the open file drops the lock; the file stays.
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

QString WriterLock::problem() const {
    if (state_ != State::Unavailable) {
        return {};
    }
    switch (error_) {
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("Das Verzeichnis gibt es nicht.");
        case EACCES:
        case EPERM:
            return QStringLiteral("Keine Berechtigung, die Sperrdatei %1 anzulegen.")
                .arg(QLatin1String(kLockFileName));
        case EROFS:
            return QStringLiteral("Das Verzeichnis ist schreibgeschützt.");
        default:
            return QString::fromLocal8Bit(std::strerror(error_));
    }
}

}  // namespace veltro::store
