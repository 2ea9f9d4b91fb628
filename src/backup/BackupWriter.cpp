#include "backup/BackupWriter.h"

#include "backup/BackupFiles.h"
#include "store/StoreError.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

namespace veltro::backup {

namespace fs = std::filesystem;

namespace {

QString pathText(const fs::path& path) {
    return QString::fromStdString(path.string());
}

[[noreturn]] void cannotWrite(const fs::path& file, const QString& reason = {}) {
    QString text =
        QStringLiteral("Die Sicherung „%1“ lässt sich nicht anlegen.").arg(pathText(file));
    if (!reason.isEmpty()) {
        text += u' ' + reason;
    }
    throw store::StoreError(text.toStdString());
}

// A new, empty file only its owner may read, under a name not taken yet.
fs::path claimName(const fs::path& folder, const QDateTime& now) {
    for (int number = 1;; ++number) {
        fs::path target = folder / backupName(now, number).toStdString();
        std::error_code ec;
        if (fs::exists(target, ec)) {
            continue;
        }
        const fs::path partial = fs::path(target).concat(".tmp");
        fs::remove(partial, ec);
        const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            cannotWrite(target);
        }
        ::close(fd);
        return target;
    }
}

}  // namespace

void copyDatabase(store::Database& from, store::Database& to) {
    sqlite3_backup* backup = sqlite3_backup_init(to.handle(), "main", from.handle(), "main");
    if (backup == nullptr) {
        throw store::StoreError(sqlite3_errmsg(to.handle()), sqlite3_extended_errcode(to.handle()));
    }
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE || finished != SQLITE_OK) {
        throw store::StoreError(sqlite3_errmsg(to.handle()),
                                finished != SQLITE_OK ? finished : stepped);
    }
}

BackupWriter::BackupWriter(const fs::path& storeFile)
    : storeFile_(storeFile), source_(store::Database::open(storeFile)) {
    // A read inside the transaction takes the lock that holds the store as it is.
    source_.exec("BEGIN");
    source_.exec("SELECT count(*) FROM sqlite_master");
}

fs::path BackupWriter::write(const QDateTime& now) {
    const fs::path folder = backupFolder(storeFile_);
    std::error_code ec;
    fs::create_directories(folder, ec);
    fs::permissions(folder, fs::perms::owner_all, ec);
    fs::path target = claimName(folder, now);
    const fs::path partial = fs::path(target).concat(".tmp");
    try {
        auto copy = store::Database::open(partial);
        copyDatabase(source_, copy);
    } catch (const store::StoreError& error) {
        fs::remove(partial, ec);
        cannotWrite(target, store::germanReason(error));
    }
    source_.exec("COMMIT");
    fs::rename(partial, target, ec);
    if (ec) {
        fs::remove(partial, ec);
        cannotWrite(target);
    }
    return target;
}

}  // namespace veltro::backup
