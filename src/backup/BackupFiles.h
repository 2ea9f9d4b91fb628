#pragma once

#include <QDateTime>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace veltro::backup {

// The local time; tests put a clock of their own in its place.
using Clock = std::function<QDateTime()>;
[[nodiscard]] QDateTime systemTime();

// Backups live in "Sicherungen" beside the store, one file each, named after their local
// time: Kartix-2026-12-07-0930.mdb, and Kartix-2026-12-07-0930-2.mdb for a second one in
// the same minute.
inline constexpr const char* kBackupFolder = "Sicherungen";

[[nodiscard]] std::filesystem::path backupFolder(const std::filesystem::path& storeFile);
[[nodiscard]] QString backupName(const QDateTime& time, int number = 1);
// The time a backup's name gives; nothing for files of other names.
[[nodiscard]] std::optional<QDateTime> backupTime(const QString& fileName);

struct BackupFile {
    std::filesystem::path path;
    QDateTime time;
};

// The backups in the folder, newest first; other files are no concern of ours.
[[nodiscard]] std::vector<BackupFile> listBackups(const std::filesystem::path& folder);

}  // namespace veltro::backup
