#pragma once

#include "backup/Rotation.h"

#include <QDateTime>

#include <cstdint>
#include <filesystem>

namespace veltro::backup {

// What a backup holds, read without changing it.
struct BackupInfo {
    std::int64_t cards = 0;
    int version = 0;  // of the store's layout, see store/SchemaVersion.h
};

// Throws store::StoreError with a German text when the file is no store this program can
// put back: not a store, damaged, or made by a newer version of the program.
[[nodiscard]] BackupInfo inspectBackup(const std::filesystem::path& file);

// Puts the backup in the store's place. The store as it was becomes a backup itself
// first; then the backup's content replaces the store's in one transaction, is brought up
// to this program's layout, and starts with no run in progress and an empty undo log.
// Returns the backup of the replaced store. Nobody else may have the store open. Throws
// store::StoreError with a German text; the store is then as it was.
std::filesystem::path restoreBackup(const std::filesystem::path& storeFile,
                                    const std::filesystem::path& backupFile, const QDateTime& now,
                                    const KeepPolicy& keep);

}  // namespace veltro::backup
