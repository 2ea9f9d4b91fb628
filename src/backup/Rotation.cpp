#include "backup/Rotation.h"

#include "store/Settings.h"
#include "store/SettingsKeys.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace veltro::backup {

namespace {

int monthNumber(const QDate& date) {
    return date.year() * 12 + date.month() - 1;
}

int whole(const char* key) {
    return static_cast<int>(std::lround(settings::number(key).value_or(0)));
}

}  // namespace

KeepPolicy keepPolicyFromSettings() {
    return {whole(settings::key::SicherungenLetzte), whole(settings::key::SicherungenMonate)};
}

std::vector<BackupFile> backupsToDelete(std::vector<BackupFile> backups, const QDate& today,
                                        const KeepPolicy& policy) {
    std::sort(backups.begin(), backups.end(),
              [](const BackupFile& a, const BackupFile& b) { return a.time > b.time; });
    const int thisMonth = monthNumber(today);
    std::set<int> monthsKept;
    std::vector<BackupFile> going;
    for (std::size_t i = 0; i < backups.size(); ++i) {
        const int month = monthNumber(backups[i].time.date());
        const bool newest = static_cast<int>(i) < policy.last;
        // The first one met of a month is its newest.
        const bool ofItsMonth = month > thisMonth - policy.months && month <= thisMonth &&
                                monthsKept.insert(month).second;
        if (!newest && !ofItsMonth) {
            going.push_back(backups[i]);
        }
    }
    return going;
}

void rotateBackups(const std::filesystem::path& folder, const QDate& today,
                   const KeepPolicy& policy) {
    for (const BackupFile& old : backupsToDelete(listBackups(folder), today, policy)) {
        std::error_code ec;
        std::filesystem::remove(old.path, ec);
    }
}

}  // namespace veltro::backup
