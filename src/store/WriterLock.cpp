#include "store/WriterLock.h"

#include "store/StorePath.h"
#include "store/SystemReason.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace veltro::store {

namespace fs = std::filesystem;

namespace {

// The folder as the caller named it, made absolute, for telling it from the real one.
fs::path asGiven(const fs::path& directory) {
    std::error_code ec;
    fs::path folder = fs::absolute(directory, ec).lexically_normal();
    return folder.has_filename() ? folder : folder.parent_path();
}

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

fs::path WriterLock::lockFile(const fs::path& directory) {
    return realStoreFile(directory).parent_path() / kLockFileName;
}

WriterLock WriterLock::tryAcquire(const fs::path& directory) {
    const fs::path file = lockFile(directory);
    const int fd = openLockFile(file);
    if (fd < 0) {
        WriterLock unavailable(State::Unavailable, -1, errno);
        if (file.parent_path() != asGiven(directory)) {
            unavailable.elsewhere_ = file.parent_path();
        }
        return unavailable;
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
      error_(other.error_),
      elsewhere_(std::move(other.elsewhere_)) {}

WriterLock& WriterLock::operator=(WriterLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
        state_ = std::exchange(other.state_, State::Unavailable);
        error_ = other.error_;
        elsewhere_ = std::move(other.elsewhere_);
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
    QString text = reason();
    if (!elsewhere_.empty()) {
        text += QStringLiteral(" Die Kartei liegt in %1.")
                    .arg(QString::fromStdString(elsewhere_.string()));
    }
    return text;
}

QString WriterLock::reason() const {
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
            return germanSystemReason(error_);
    }
}

}  // namespace veltro::store
