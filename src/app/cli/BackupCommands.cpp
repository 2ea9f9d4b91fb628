#include "app/cli/CliCommands.h"

#include "backup/BackupFiles.h"
#include "backup/BackupWriter.h"
#include "backup/Restore.h"
#include "backup/Rotation.h"
#include "base/Counted.h"
#include "base/Failure.h"
#include "store/Schema.h"
#include "store/StoreError.h"

#include <filesystem>
#include <memory>

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

QString backupFailed(const QString& reason) {
    return QStringLiteral("Warnung: Die Sicherung ist misslungen; es geht trotzdem weiter. ") +
           reason;
}

}  // namespace

void backUpFirst(const fs::path& storeFile) {
    BackupAlongside(storeFile).finish();
}

BackupAlongside::BackupAlongside(const fs::path& storeFile) {
    const QDateTime now = backup::systemTime();
    try {
        auto writer = std::make_shared<backup::BackupWriter>(storeFile, now);
        const backup::KeepPolicy keep = backup::keepPolicyFromSettings();
        copy_ = std::async(std::launch::async, [writer, now, keep]() -> Said {
            try {
                const fs::path copy = writer->write();
                backup::rotateBackups(copy.parent_path(), now.date(), keep);
                return {QStringLiteral("Sicherung angelegt: ") + nameOf(copy)};
            } catch (...) {  // nothing may leave the thread
                return {backupFailed(describeFailure(std::current_exception()).text), true};
            }
        });
    } catch (const store::StoreError& error) {
        err() << backupFailed(store::germanReason(error)) << Qt::endl;
    }
}

void BackupAlongside::finish() {
    if (!copy_.valid()) {
        return;
    }
    const Said said = copy_.get();
    (said.failed ? err() : out()) << said.text << Qt::endl;
}

int listBackupsCommand(const QStringList& args) {
    if (args.size() != 1) {
        return usage("backups",
                     QStringLiteral("Das Verzeichnis fehlt oder es ist mehr angegeben."));
    }
    std::error_code ec;
    if (!fs::is_directory(fs::path(args[0].toStdString()), ec)) {
        err() << "Das Verzeichnis " << args[0] << " gibt es nicht." << Qt::endl;
        return kFailed;
    }
    const auto backups = backup::listBackups(backup::backupFolder(storeIn(args[0])));
    if (backups.empty()) {
        err() << "In " << args[0] << " gibt es keine Sicherung." << Qt::endl;
    }
    for (const auto& file : backups) {
        QString cards;
        try {
            cards = counted(backup::inspectBackup(file.path).cards, "Karte", "Karten");
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
        return usage("restore", QStringLiteral("Verzeichnis und Sicherung sind nötig."));
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
