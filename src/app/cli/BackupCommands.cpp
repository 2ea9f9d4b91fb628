#include "app/cli/CliCommands.h"

#include "backup/BackupFiles.h"
#include "backup/BackupWriter.h"
#include "backup/Restore.h"
#include "backup/Rotation.h"
#include "store/Schema.h"
#include "store/StoreError.h"

#include <filesystem>

namespace veltro::cli {

namespace fs = std::filesystem;

namespace {

fs::path storeIn(const QString& dir) {
    return fs::path(dir.toStdString()) / store::kStoreFileName;
}

QString nameOf(const fs::path& file) {
    return QString::fromStdString(file.filename().string());
}

// A bare name is one of the store's backups; anything else a path of its own.
fs::path backupArg(const QString& dir, const QString& file) {
    fs::path given(file.toStdString());
    if (given.has_parent_path()) {
        return given;
    }
    return backup::backupFolder(storeIn(dir)) / given;
}

}  // namespace

void backUpFirst(const fs::path& storeFile) {
    const QDateTime now = backup::systemTime();
    try {
        const fs::path copy = backup::BackupWriter(storeFile, now).write();
        backup::rotateBackups(copy.parent_path(), now.date(), backup::keepPolicyFromSettings());
        out() << "Sicherung angelegt: " << nameOf(copy) << Qt::endl;
    } catch (const store::StoreError& error) {
        err() << "Warnung: Die Sicherung ist misslungen; es geht trotzdem weiter. "
              << store::germanReason(error) << Qt::endl;
    }
}

int listBackupsCommand(const QStringList& args) {
    if (args.size() != 1) {
        err() << "Aufruf: veltro-cli backups VERZEICHNIS" << Qt::endl;
        return kUsage;
    }
    for (const auto& file : backup::listBackups(backup::backupFolder(storeIn(args[0])))) {
        QString cards;
        try {
            cards = QStringLiteral("%1 Karten").arg(backup::inspectBackup(file.path).cards);
        } catch (const store::StoreError&) {
            cards = QStringLiteral("nicht lesbar");
        }
        out() << nameOf(file.path) << "  " << file.time.toString(QStringLiteral("dd.MM.yyyy HH:mm"))
              << "  " << cards << '\n';
    }
    out().flush();
    return kOk;
}

int restoreCommand(const QStringList& args) {
    if (args.size() != 2) {
        err() << "Aufruf: veltro-cli restore VERZEICHNIS SICHERUNG" << Qt::endl;
        return kUsage;
    }
    const fs::path file = backupArg(args[0], args[1]);
    return whileLocked(args[0], [&] {
        const fs::path replaced = backup::restoreBackup(
            storeIn(args[0]), file, backup::systemTime(), backup::keepPolicyFromSettings());
        out() << "Sicherung " << nameOf(file) << " wiederhergestellt; die bisherige Kartei ist "
              << "gesichert als " << nameOf(replaced) << '.' << Qt::endl;
        return kOk;
    });
}

}  // namespace veltro::cli
