#include "backup/BackupWriter.h"

#include "backup/BackupFiles.h"
#include "backup/PartialBackups.h"
#include "base/PathText.h"
#include "store/AtomicFile.h"
#include "store/StoreError.h"
#include "store/SystemReason.h"

#include <sqlite3.h>

#include <array>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace veltro::backup {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void cannotWrite(const fs::path& file, const QString& reason = {}) {
    QString text =
        QStringLiteral("Die Sicherung „%1“ lässt sich nicht anlegen.").arg(pathText(file));
    if (!reason.isEmpty()) {
        text += u' ' + reason;
    }
    throw store::StoreError(text.toStdString());
}

// A new, empty partial file only its owner may read, under a name not taken yet.
fs::path claimName(const fs::path& folder, const QDateTime& now, PartialBackup& partial) {
    for (int number = 1;; ++number) {
        fs::path target = folder / backupName(now, number).toStdString();
        std::error_code ec;
        if (fs::exists(target, ec)) {
            continue;
        }
        // A partial file of that name is another writer's: it was not left, or it was
        // removed just before.
        if (const int error = partial.claim(target); error == EEXIST) {
            continue;
        } else if (error != 0) {
            cannotWrite(target, store::germanSystemReason(error));
        }
        return target;
    }
}

class FileDescriptor {
public:
    FileDescriptor(const fs::path& file, int flags)
        : fd_(::open(file.c_str(), flags | O_CLOEXEC)) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    [[nodiscard]] int get() const { return fd_; }

private:
    int fd_;
};

// The system's reason, in German.
[[noreturn]] void failedCopy() {
    throw store::StoreError(store::germanSystemReason(errno).toStdString());
}

// The kernel copies without the pages passing through this process; where it cannot
// (another file system, an old kernel), the bytes are read and written.
void copyBytes(int from, int to, off_t size) {
    off_t done = 0;
    while (done < size) {
        const ssize_t copied =
            ::copy_file_range(from, nullptr, to, nullptr, static_cast<std::size_t>(size - done), 0);
        if (copied > 0) {
            done += copied;
            continue;
        }
        if (copied == 0 ||
            (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)) {
            failedCopy();
        }
        break;
    }
    std::array<char, 1 << 16> buffer{};
    while (done < size) {
        const ssize_t got = ::pread(from, buffer.data(), buffer.size(), done);
        if (got <= 0) {
            failedCopy();
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t put =
                ::write(to, buffer.data() + written, static_cast<std::size_t>(got - written));
            if (put < 0) {
                failedCopy();
            }
            written += put;
        }
        done += got;
    }
}

// The store file as it lies on disk. Only sound while the source's read lock keeps every
// writer out of the file.
void copyStoreFile(const fs::path& from, const fs::path& to) {
    const FileDescriptor source(from, O_RDONLY);
    const FileDescriptor target(to, O_WRONLY | O_TRUNC);
    struct stat info {};
    if (source.get() < 0 || target.get() < 0 || ::fstat(source.get(), &info) != 0) {
        failedCopy();
    }
    copyBytes(source.get(), target.get(), info.st_size);
}

// In write-ahead mode the latest changes may still lie in the log beside the file.
bool keepsChangesInFile(store::Database& db) {
    auto mode = db.prepare("PRAGMA journal_mode");
    return mode.step() && mode.textOrEmpty(0).compare(u"wal", Qt::CaseInsensitive) != 0;
}

}  // namespace

void copyDatabase(store::Database& from, store::Database& to) {
    sqlite3_backup* backup = sqlite3_backup_init(to.handle(), "main", from.handle(), "main");
    if (backup == nullptr) {
        throw store::StoreError(sqlite3_errmsg(to.handle()), sqlite3_extended_errcode(to.handle()),
                                sqlite3_system_errno(to.handle()));
    }
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE || finished != SQLITE_OK) {
        throw store::StoreError(sqlite3_errmsg(to.handle()),
                                finished != SQLITE_OK ? finished : stepped,
                                sqlite3_system_errno(to.handle()));
    }
}

BackupWriter::BackupWriter(const fs::path& storeFile)
    : startedAt_(fs::file_time_type::clock::now()),
      storeFile_(storeFile),
      source_(store::Database::open(storeFile)) {
    // A read inside the transaction takes the lock that holds the store as it is.
    source_.exec("BEGIN");
    source_.exec("SELECT count(*) FROM sqlite_master");
}

fs::path BackupWriter::write(const QDateTime& now) {
    const fs::path folder = backupFolder(storeFile_);
    std::error_code ec;
    fs::create_directories(folder, ec);
    fs::permissions(folder, fs::perms::owner_all, ec);
    removeLeftPartials(folder, startedAt_);
    PartialBackup claimed;
    fs::path target = claimName(folder, now, claimed);
    const fs::path& partial = claimed.path();
    try {
        if (keepsChangesInFile(source_)) {
            copyStoreFile(storeFile_, partial);
        } else {
            auto copy = store::Database::open(partial);
            copyDatabase(source_, copy);
        }
    } catch (const store::StoreError& error) {
        fs::remove(partial, ec);
        cannotWrite(target, store::germanReason(error));
    }
    source_.exec("COMMIT");
    // On disk before it counts as a backup.
    if (const auto reason = store::putInPlace(partial, target)) {
        fs::remove(partial, ec);
        cannotWrite(target, *reason);
    }
    return target;
}

}  // namespace veltro::backup
