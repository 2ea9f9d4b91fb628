#include "StoreState.h"
#include "TestHome.h"
#include "VersionOneStore.h"

#include "backup/BackupFiles.h"
#include "backup/BackupWriter.h"
#include "backup/Restore.h"
#include "store/CardStore.h"
#include "store/Schema.h"
#include "store/SchemaVersion.h"
#include "store/Snapshot.h"
#include "store/StoreError.h"
#include "store/UndoLog.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace veltro;
using namespace veltro::backup;
using veltro::testing::exactTables;
using veltro::testing::numberOf;
using veltro::testing::TestHome;
namespace fs = std::filesystem;

namespace {

const QDateTime kRestoredAt(QDate(2026, 12, 7), QTime(9, 30));

// A backup made by the release before the undo log: a store of version 2 in the folder.
fs::path versionTwoBackup(const TestHome& home) {
    const fs::path made = home.dir() / "alt";
    veltro::testing::makeVersionTwoStore(made, {QStringLiteral("Alt")},
                                         {{QStringLiteral("Früher"), QStringLiteral("Alt")},
                                          {QStringLiteral("Damals"), QStringLiteral("Alt")}});
    const fs::path backup = backupFolder(home.storeFile()) / "Kartix-2026-11-30-1800.mdb";
    fs::create_directories(backup.parent_path());
    fs::rename(made / store::kStoreFileName, backup);
    return backup;
}

class Restoring : public ::testing::Test {
protected:
    void SetUp() override {
        veltro::testing::makeStore(home_.dir(), {QStringLiteral("Neu")},
                                   {{QStringLiteral("Heute"), QStringLiteral("Neu")}});
        // The program runs: a snapshot and a step of the undo log are in the store.
        auto store = store::CardStore::open(home_.storeFile());
        store::Snapshot::take(store.db());
        store::UndoStep step(store.db(), QStringLiteral("Neue Kategorie"));
        store.addCategory(QStringLiteral("Noch eine"));
        step.commit();
        current_ = exactTables(store.db());
    }
    TestHome home_;
    QStringList current_;
};

TEST_F(Restoring, ABackupOfThePreviousVersionComesBackUpgradedAndTheStoreBecomesABackup) {
    const fs::path backup = versionTwoBackup(home_);
    QStringList backedUp;
    {
        auto db = store::Database::open(backup);
        backedUp = exactTables(db);
    }
    EXPECT_EQ(inspectBackup(backup).cards, 2);
    EXPECT_EQ(inspectBackup(backup).version, 2);

    const fs::path replaced = restoreBackup(home_.storeFile(), backup, kRestoredAt, {10, 12});

    auto store = store::CardStore::open(home_.storeFile());
    EXPECT_EQ(veltro::testing::userVersion(store.db()), store::kCurrentStoreVersion);
    EXPECT_EQ(exactTables(store.db()), backedUp);  // card identities included
    EXPECT_EQ(store::UndoLog::undoName(store.db()), std::nullopt);
    EXPECT_EQ(numberOf(store.db(), "SELECT count(*) FROM zKontakte"), 0);

    EXPECT_EQ(replaced.filename(), "Kartix-2026-12-07-0930.mdb");
    auto old = store::Database::open(replaced);
    EXPECT_EQ(exactTables(old), current_);
    EXPECT_TRUE(fs::exists(backup));
}

TEST_F(Restoring, AFileThatIsNoStoreOfOursIsRefusedAndTheStoreStays) {
    const fs::path folder = backupFolder(home_.storeFile());
    fs::create_directories(folder);
    std::ofstream(folder / "Kartix-2026-12-01-1000.mdb") << "keine Kartei";
    const fs::path newer = versionTwoBackup(home_);
    store::Database::open(newer).exec("PRAGMA user_version = 99");
    for (const fs::path& file :
         {folder / "Kartix-2026-12-01-1000.mdb", newer, folder / "fehlt.mdb"}) {
        try {
            restoreBackup(home_.storeFile(), file, kRestoredAt, {10, 12});
            FAIL() << "restored " << file;
        } catch (const store::StoreError& error) {
            EXPECT_TRUE(QString::fromUtf8(error.what()).startsWith(u"Die Sicherung „"))
                << error.what();
        }
    }
    auto db = store::Database::open(home_.storeFile());
    EXPECT_EQ(exactTables(db), current_);
    EXPECT_EQ(listBackups(folder).size(), 2U);  // no copy of the store was made
}

}  // namespace
