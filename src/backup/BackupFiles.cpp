#include "backup/BackupFiles.h"

#include <QRegularExpression>

#include <algorithm>

namespace veltro::backup {

namespace fs = std::filesystem;

QDateTime systemTime() {
    return QDateTime::currentDateTime();
}

fs::path backupFolder(const fs::path& storeFile) {
    return storeFile.parent_path() / kBackupFolder;
}

QString backupName(const QDateTime& time, int number) {
    QString name = QStringLiteral("Kartix-") + time.toString(QStringLiteral("yyyy-MM-dd-HHmm"));
    if (number > 1) {
        name += u'-' + QString::number(number);
    }
    return name + QStringLiteral(".mdb");
}

std::optional<QDateTime> backupTime(const QString& fileName) {
    static const QRegularExpression pattern(
        QStringLiteral("^Kartix-(\\d{4}-\\d\\d-\\d\\d-\\d{4})(-(\\d+))?\\.mdb$"));
    const auto match = pattern.match(fileName);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    QDateTime time = QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd-HHmm"));
    if (!time.isValid()) {
        return std::nullopt;
    }
    // Later ones of a minute sort after the first.
    return time.addMSecs(match.captured(3).isEmpty() ? 0 : match.captured(3).toInt());
}

std::vector<BackupFile> listBackups(const fs::path& folder) {
    std::vector<BackupFile> backups;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) {
            continue;
        }
        if (const auto time = backupTime(QString::fromStdString(it->path().filename().string()))) {
            backups.push_back({it->path(), *time});
        }
    }
    std::sort(backups.begin(), backups.end(),
              [](const BackupFile& a, const BackupFile& b) { return a.time > b.time; });
    return backups;
}

}  // namespace veltro::backup
