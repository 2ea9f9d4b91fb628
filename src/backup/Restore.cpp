#include "backup/Restore.h"

#include "backup/BackupWriter.h"
#include "store/CardStore.h"
#include "store/SchemaVersion.h"
#include "store/Snapshot.h"
#include "store/StoreError.h"

namespace veltro::backup {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void refuse(const fs::path& file, const QString& reason) {
    throw store::StoreError(QStringLiteral("Die Sicherung „%1“ lässt sich nicht "
                                           "wiederherstellen: %2")
                                .arg(QString::fromStdString(file.filename().string()), reason)
                                .toStdString());
}

}  // namespace

BackupInfo inspectBackup(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        refuse(file, QStringLiteral("Die Datei fehlt."));
    }
    BackupInfo info;
    QString problem;
    try {
        auto backup = store::CardStore::openForReading(file);
        auto check = backup.db().prepare("PRAGMA quick_check");
        info.version = store::storeVersion(backup.db());
        if (!check.step() || check.textOrEmpty(0) != u"ok") {
            problem = QStringLiteral("Die Datei ist beschädigt.");
        } else if (info.version > store::kCurrentStoreVersion) {
            problem = QStringLiteral("Sie stammt von einer neueren Version von Veltro Adressbuch.");
        } else {
            info.cards = backup.cardCount();
        }
    } catch (const store::StoreError& error) {
        problem = store::germanReason(error);
    }
    if (!problem.isEmpty()) {
        refuse(file, problem);
    }
    return info;
}

fs::path restoreBackup(const fs::path& storeFile, const fs::path& backupFile, const QDateTime& now,
                       const KeepPolicy& keep) {
    (void)inspectBackup(backupFile);
    fs::path replaced = BackupWriter(storeFile, now).write();
    {
        auto from = store::Database::open(backupFile);
        from.exec("PRAGMA query_only = ON");
        auto to = store::Database::open(storeFile);
        copyDatabase(from, to);
    }
    // A backup taken during a run carries that run's snapshot and undo log; neither
    // belongs to the store it becomes.
    auto restored = store::CardStore::open(storeFile);
    store::Snapshot::keep(restored.db());
    rotateBackups(backupFolder(storeFile), now.date(), keep);
    return replaced;
}

}  // namespace veltro::backup
