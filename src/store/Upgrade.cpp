#include "store/Upgrade.h"

#include "base/PathText.h"
#include "store/AtomicFile.h"
#include "store/SchemaVersion.h"
#include "store/StoreError.h"

#include <QString>

#include <fcntl.h>
#include <unistd.h>

namespace veltro::store {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void refuseNewer(int version) {
    throw StoreError(QStringLiteral("Die Kartei wurde mit einer neueren Version von Veltro "
                                    "Adressbuch angelegt (Version %1). Diese Version kann sie "
                                    "nicht bearbeiten.")
                         .arg(version)
                         .toStdString());
}

// A consistent copy through the engine, written under a passing name and put in place when
// complete, so an earlier copy is replaced only by a whole one.
void writeBackup(Database& db, const fs::path& target) {
    const fs::path partial = fs::path(target).concat(".tmp");
    std::error_code ec;
    fs::remove(partial, ec);
    // The cards never stand in a copy that others may read, whatever the umask.
    const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw StoreError(QStringLiteral("Die Sicherungskopie „%1“ lässt sich nicht anlegen.")
                             .arg(pathText(partial))
                             .toStdString());
    }
    ::close(fd);
    try {
        auto vacuum = db.prepare("VACUUM INTO ?1");
        vacuum.bind(1, pathText(partial));
        vacuum.run();
    } catch (const StoreError&) {
        fs::remove(partial, ec);
        throw;
    }
    if (const auto reason = putInPlace(partial, target)) {
        fs::remove(partial, ec);
        throw StoreError(QStringLiteral("Die Sicherungskopie „%1“ lässt sich nicht anlegen. %2")
                             .arg(pathText(target), *reason)
                             .toStdString());
    }
}

void runStep(Database& db, const UpgradeStep& step, const std::function<void(int)>& beforeCommit) {
    const int to = step.from + 1;
    try {
        writeBackup(db, upgradeBackupFile(db.file(), step.from));
        Transaction tx(db);
        // Another program may have taken the same step meanwhile.
        if (storeVersion(db) != step.from) {
            return;
        }
        applyStep(db, step);
        if (beforeCommit) {
            beforeCommit(to);
        }
        tx.commit();
    } catch (const StoreError& e) {
        throw StoreError(QStringLiteral("Die Kartei ließ sich nicht von Version %1 auf Version %2 "
                                        "umstellen; sie bleibt, wie sie war.\n%3")
                             .arg(step.from)
                             .arg(to)
                             .arg(germanReason(e))
                             .toStdString());
    }
}

}  // namespace

fs::path upgradeBackupFile(const fs::path& store, int version) {
    return fs::path(store).concat(".bak-v" + std::to_string(version));
}

void upgradeStore(Database& db, const std::function<void(int)>& beforeCommit) {
    const int version = storeVersion(db);
    if (version > kCurrentStoreVersion) {
        refuseNewer(version);
    }
    for (const UpgradeStep& step : upgradeSteps()) {
        if (storeVersion(db) == step.from) {
            runStep(db, step, beforeCommit);
        }
    }
}

}  // namespace veltro::store
