#pragma once

#include "backup/BackupFiles.h"

#include <QDate>

#include <filesystem>
#include <vector>

namespace veltro::backup {

// How many backups stay: the newest `last`, and for each of the `months` calendar months
// up to the current one the newest of that month.
struct KeepPolicy {
    int last = 10;
    int months = 12;
};

// The policy of the options dialog.
[[nodiscard]] KeepPolicy keepPolicyFromSettings();

// Of these backups (in any order), those the policy lets go.
[[nodiscard]] std::vector<BackupFile> backupsToDelete(std::vector<BackupFile> backups,
                                                      const QDate& today, const KeepPolicy& policy);

// Deletes the backups of the folder the policy lets go; a file that will not go stays.
void rotateBackups(const std::filesystem::path& folder, const QDate& today,
                   const KeepPolicy& policy);

}  // namespace veltro::backup
