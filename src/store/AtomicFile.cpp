#include "store/AtomicFile.h"

#include "store/SystemReason.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltro::store {

namespace fs = std::filesystem;

AtomicFile::AtomicFile(const QString& target, Buffering buffering)
    : file_(target), buffering_(buffering) {}

void AtomicFile::allowWritingInPlace() {
    file_.setDirectWriteFallback(true);
}

void AtomicFile::takePermissionsOf(const fs::path& model) {
    permissionsModel_ = model;
}

bool AtomicFile::open() {
    QIODevice::OpenMode mode = QIODevice::WriteOnly;
    if (buffering_ == Buffering::Unbuffered) {
        mode |= QIODevice::Unbuffered;
    }
    if (!file_.open(mode)) {
        reason_ = germanFileReason(file_);
        return false;
    }
    struct stat model {};
    if (permissionsModel_ && ::stat(permissionsModel_->c_str(), &model) == 0) {
        ::fchmod(file_.handle(), model.st_mode & 0666U);
    }
    return true;
}

bool AtomicFile::write(QByteArrayView bytes) {
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file_.write(bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            return fail();
        }
        done += written;
    }
    return true;
}

bool AtomicFile::commit() {
    // A write the disk took only in part shows in the flush; QSaveFile's commit would keep the
    // rest.
    if (!file_.flush() || file_.error() != QFileDevice::NoError) {
        return fail();
    }
    if (!file_.commit()) {
        if (reason_.isEmpty()) {
            reason_ = germanFileReason(file_);
        }
        return false;
    }
    return true;
}

// The first failure is the one to tell; cancelling makes sure no commit follows.
bool AtomicFile::fail() {
    if (reason_.isEmpty()) {
        reason_ = germanFileReason(file_);
    }
    file_.cancelWriting();
    return false;
}

namespace {

// 0 when the file's content reached the disk, else the errno.
int syncToDisk(const fs::path& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

}  // namespace

std::optional<QString> putInPlace(const fs::path& written, const fs::path& target) {
    // The content first: a rename that reached the disk before it would leave an empty or
    // partial file under the target's name after a crash.
    if (const int error = syncToDisk(written, 0); error != 0) {
        return germanSystemReason(error);
    }
    std::error_code ec;
    fs::rename(written, target, ec);
    if (ec) {
        return germanSystemReason(ec.value());
    }
    // The new name lasts once the folder is on disk; the file is in place either way.
    syncToDisk(target.parent_path().empty() ? fs::path(".") : target.parent_path(), O_DIRECTORY);
    return std::nullopt;
}

}  // namespace veltro::store
