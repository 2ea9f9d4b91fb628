#pragma once

#include "backup/PartialBackups.h"
#include "store/Sqlite.h"
#include "store/StoreImage.h"

#include <QDateTime>

#include <filesystem>
#include <functional>
#include <memory>

namespace veltro::backup {

// A copy of the store as it is the moment the writer is made, under a backup name for the time
// `now`. Nobody waits for it: a store file in the usual journal mode is copied as it lay then
// (store::StoreImage keeps each page this process overwrites meanwhile); a store in write-ahead
// mode goes through the engine's online backup in a read transaction, which writers do not wait
// for there either. Make it on the thread that is about to write; write() may run on another.
// Throws store::StoreError with a German text.
class BackupWriter {
public:
    // Partial copies that killed writers left in the backup folder go first.
    BackupWriter(const std::filesystem::path& storeFile, const QDateTime& now);
    BackupWriter(const BackupWriter&) = delete;
    BackupWriter& operator=(const BackupWriter&) = delete;
    ~BackupWriter();

    // The copy of a run's start: the changes the run's snapshot notes are taken back in it,
    // as "Nein" at exit would. For a run that ended without its exit step.
    void rewindRun() { rewindRun_ = true; }
    // The copy begins once the change about to be made is on disk (or after a moment): its
    // writes then do not hold up that change's.
    void afterTheChange() { afterTheChange_ = true; }

    // Writes the copy into the backup folder (made if need be) and returns its path. The copy
    // is private to its owner and appears only when whole. `beforePiece` runs before each
    // piece of the copy (tests hold it there).
    std::filesystem::path write(const std::function<void()>& beforePiece = {});
    // A copy given up on before it was whole stays as a partial copy: the next start takes
    // it for the mark of a run that ended while its backup was being made.
    void leaveUnfinished() { leftUnfinished_ = true; }

private:
    std::filesystem::path storeFile_;
    std::filesystem::path target_;
    PartialBackup partial_;
    store::Database source_;
    std::unique_ptr<store::StoreImage> image_;
    bool rewindRun_ = false;
    bool afterTheChange_ = false;
    bool written_ = false;
    bool leftUnfinished_ = false;
};

// Copies one database file's content into another through the online backup, in one
// transaction of the target; both connections must be free of transactions of their own.
void copyDatabase(store::Database& from, store::Database& to);

}  // namespace veltro::backup
