#pragma once

#include "store/Sqlite.h"

#include <QDateTime>

#include <filesystem>

namespace veltro::backup {

// A copy of the store as it is the moment the writer is made: it begins reading then, and anyone
// who writes the store meanwhile waits at the end of their transaction until write() is done. Make
// it on the thread that is about to write; write() may run on another. Throws store::StoreError
// with a German text.
class BackupWriter {
public:
    explicit BackupWriter(const std::filesystem::path& storeFile);

    // Writes the copy into the backup folder (made if need be) under the time `now`, and
    // returns its path. The copy is private to its owner and appears only when whole. The
    // file is copied as it lies while the read keeps writers out; a store in write-ahead
    // mode goes through the engine's online backup, since its log holds changes too. Partial
    // copies that killed writers left in the folder before this writer was made are removed.
    std::filesystem::path write(const QDateTime& now);

private:
    std::filesystem::file_time_type startedAt_;
    std::filesystem::path storeFile_;
    store::Database source_;
};

// Copies one database file's content into another through the online backup, in one
// transaction of the target; both connections must be free of transactions of their own.
void copyDatabase(store::Database& from, store::Database& to);

}  // namespace veltro::backup
