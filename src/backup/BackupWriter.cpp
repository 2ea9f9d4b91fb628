#include "backup/BackupWriter.h"

#include "backup/BackupFiles.h"
#include "backup/PartialBackups.h"
#include "base/PathText.h"
#include "store/AtomicFile.h"
#include "store/Snapshot.h"
#include "store/StoreError.h"
#include "store/SystemReason.h"

#include <sqlite3.h>

#include <cerrno>
#include <chrono>

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

BackupWriter::BackupWriter(const fs::path& storeFile, const QDateTime& now)
    : storeFile_(storeFile), source_(store::Database::open(storeFile)) {
    const auto startedAt = fs::file_time_type::clock::now();
    // A read inside the transaction waits for a commit in progress and then holds the store.
    source_.exec("BEGIN");
    source_.exec("SELECT count(*) FROM sqlite_master");
    const fs::path folder = backupFolder(storeFile_);
    std::error_code ec;
    fs::create_directories(folder, ec);
    fs::permissions(folder, fs::perms::owner_all, ec);
    removeLeftPartials(folder, startedAt);
    target_ = claimName(folder, now, partial_);
    if (keepsChangesInFile(source_)) {
        try {
            image_ = std::make_unique<store::StoreImage>(storeFile_, partial_.fd());
        } catch (const store::StoreError& error) {
            fs::remove(partial_.path(), ec);
            cannotWrite(target_, store::germanReason(error));
        }
        source_.exec("COMMIT");  // from here on the image keeps what writers change
    }
}

BackupWriter::~BackupWriter() {
    if (!written_ && !leftUnfinished_) {
        image_.reset();
        std::error_code ec;
        fs::remove(partial_.path(), ec);
    }
}

fs::path BackupWriter::write(const std::function<void()>& beforePiece) {
    const fs::path& partial = partial_.path();
    std::error_code ec;
    try {
        if (image_) {
            if (afterTheChange_) {
                if (beforePiece) {
                    beforePiece();
                }
                image_->waitForChange(std::chrono::seconds(2));
            }
            image_->copyRest(beforePiece);
            image_.reset();
        } else {
            auto copy = store::Database::open(partial);
            copyDatabase(source_, copy);
            source_.exec("COMMIT");
        }
        if (rewindRun_) {
            auto copy = store::Database::open(partial);
            store::Snapshot::discard(copy);
        }
    } catch (const store::StoreError& error) {
        fs::remove(partial, ec);
        cannotWrite(target_, store::germanReason(error));
    }
    // On disk before it counts as a backup.
    if (const auto reason = store::putInPlace(partial, target_)) {
        fs::remove(partial, ec);
        cannotWrite(target_, *reason);
    }
    written_ = true;
    return target_;
}

}  // namespace veltro::backup
