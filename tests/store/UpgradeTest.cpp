#include "StoreState.h"
#include "TestHome.h"
#include "VersionOneStore.h"

#include "store/CardStore.h"
#include "store/Compaction.h"
#include "store/Schema.h"
#include "store/SchemaVersion.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"
#include "store/StoreError.h"
#include "store/UndoLog.h"
#include "store/Upgrade.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <string>

using namespace veltro::store;
using namespace veltro::testing;
namespace fs = std::filesystem;

namespace {

// A store of the release before versions: categories, Null and empty fields, rich text,
// a card without heading, and a gap in the row ids.
void makeOldStore(const fs::path& dir) {
    makeVersionOneStore(
        dir, {QStringLiteral("Privat"), QStringLiteral("Firma"), QStringLiteral("Leer")},
        {{QStringLiteral("Müller"),
          QStringLiteral("Privat"),
          {{Field::Telefon, QStringLiteral("0711 12345")}, {Field::Anrede, QString()}}},
         {QStringLiteral("Gelöscht"), QStringLiteral("Privat")},
         {QStringLiteral("O'Neill"),
          QStringLiteral("Firma"),
          {{Field::Notizen, QStringLiteral("{\\rtf1 {\\b fett}}")}}},
         {QStringLiteral("Zeta"), QStringLiteral("Privat")}});
    auto db = Database::open(dir / kStoreFileName);
    db.exec("DELETE FROM Kontakte WHERE Schlagworte = 'Gelöscht'");
    db.exec("INSERT INTO Kontakte (Vorname) VALUES ('ohne Schlagworte')");
}

// Every value of the original tables with its type and bytes.
QStringList originalTables(Database& db) {
    return exactCards(db) + exactRowsOf(db, "tblAdrCfg", {"KategorieName"});
}

QStringList originalTables(const fs::path& file) {
    auto db = Database::open(file);
    return originalTables(db);
}

// Every object of the layout with its SQL, whitespace evened out.
QStringList layout(Database& db) {
    QStringList objects;
    auto stmt = db.prepare("SELECT type, name, sql FROM sqlite_master ORDER BY type, name");
    while (stmt.step()) {
        objects << stmt.textOrEmpty(0) + u' ' + stmt.textOrEmpty(1) + u' ' +
                       stmt.textOrEmpty(2).simplified();
    }
    return objects;
}

TEST(StoreUpgrade, AVersionOneStoreComesForwardWithEveryCardCategoryAndSetting) {
    TestHome home;
    makeOldStore(home.dir());
    veltro::settings::write(veltro::settings::key::List1FontName, QStringLiteral("Courier"));
    const QStringList before = originalTables(home.storeFile());

    auto store = CardStore::open(home.storeFile());
    Database& db = store.db();
    EXPECT_EQ(userVersion(db), kCurrentStoreVersion);
    EXPECT_EQ(originalTables(db), before);
    EXPECT_EQ(veltro::settings::read(veltro::settings::key::List1FontName),
              QStringLiteral("Courier"));

    EXPECT_EQ(numberOf(db, "SELECT count(*) FROM KartenInfo"), 4);
    EXPECT_EQ(
        numberOf(db, "SELECT count(*) FROM Kontakte k JOIN KartenInfo i ON i.KarteId = k.rowid"),
        4);
    EXPECT_EQ(numberOf(db, "SELECT count(DISTINCT Uid) FROM KartenInfo"), 4);
    auto rows = db.prepare("SELECT Uid, Angelegt, Geaendert FROM KartenInfo");
    while (rows.step()) {
        EXPECT_TRUE(isUuid(rows.textOrEmpty(0))) << rows.textOrEmpty(0).toStdString();
        EXPECT_TRUE(isUtcTime(rows.textOrEmpty(1))) << rows.textOrEmpty(1).toStdString();
        EXPECT_EQ(rows.textOrEmpty(1), rows.textOrEmpty(2));
    }

    // The copy beside it is the store as it was, readable by its owner only.
    const fs::path backupFile = upgradeBackupFile(home.storeFile(), 1);
    EXPECT_EQ(backupFile.filename(), "Kartix.mdb.bak-v1");
    EXPECT_EQ(fs::status(backupFile).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    auto backup = Database::open(backupFile);
    EXPECT_EQ(userVersion(backup), 0);
    EXPECT_EQ(originalTables(backup), before);
    EXPECT_EQ(numberOf(backup, "SELECT count(*) FROM sqlite_master WHERE sql LIKE '*KartenInfo*'"),
              0);
}

TEST(StoreUpgrade, AnUpgradedStoreHasTheLayoutOfANewOne) {
    TestHome oldHome;
    makeOldStore(oldHome.dir());
    TestHome newHome;
    createEmptyStore(newHome.dir());
    EXPECT_EQ(layout(CardStore::open(oldHome.storeFile()).db()),
              layout(CardStore::open(newHome.storeFile()).db()));
}

TEST(StoreUpgrade, ACurrentStoreIsLeftAloneEvenAfterCompaction) {
    TestHome home;
    makeOldStore(home.dir());
    const QStringList info = kartenInfoRows(CardStore::open(home.storeFile()).db());
    for (int version = 1; version < kCurrentStoreVersion; ++version) {
        fs::remove(upgradeBackupFile(home.storeFile(), version));
    }
    DatenbankKomprimieren(home.dir(), CompactWhen::Always);
    auto store = CardStore::open(home.storeFile());
    EXPECT_EQ(kartenInfoRows(store.db()), info);
    EXPECT_EQ(filesIn(home.dir()), std::vector<std::string>{"Kartix.mdb"});
}

struct FailingUpgrade {
    const char* name;
    std::function<void(const fs::path& store)> arrange;
    std::function<void(int version)> beforeCommit;
};

void PrintTo(const FailingUpgrade& param, std::ostream* out) {
    *out << param.name;
}

class UpgradeFailure : public ::testing::TestWithParam<FailingUpgrade> {};

TEST_P(UpgradeFailure, LeavesTheStoreAtItsVersionWithItsDataAndSaysSo) {
    TestHome home;
    makeOldStore(home.dir());
    const QStringList before = originalTables(home.storeFile());
    GetParam().arrange(home.storeFile());
    {
        auto db = Database::open(home.storeFile());
        try {
            upgradeStore(db, GetParam().beforeCommit);
            FAIL() << "the upgrade reported success";
        } catch (const StoreError& e) {
            EXPECT_EQ(e.code(), 0);
            EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(
                QStringLiteral("Die Kartei ließ sich nicht von Version 1 auf Version 2 umstellen; "
                               "sie bleibt, wie sie war.\n")))
                << e.what();
        }
        EXPECT_EQ(userVersion(db), 0);
        EXPECT_EQ(numberOf(db, "SELECT count(*) FROM sqlite_master WHERE sql LIKE '*KartenInfo*'"),
                  0);
        EXPECT_EQ(originalTables(db), before);
    }
    for (const auto& name : filesIn(home.dir())) {
        EXPECT_FALSE(name.ends_with(".tmp")) << name;
    }
    // Once the cause is gone the next open succeeds.
    std::error_code ec;
    fs::remove_all(upgradeBackupFile(home.storeFile(), 1), ec);
    EXPECT_EQ(userVersion(CardStore::open(home.storeFile()).db()), kCurrentStoreVersion);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, UpgradeFailure,
    ::testing::Values(FailingUpgrade{
                          "StepFails", [](const fs::path&) {},
                          [](int) { throw StoreError("disk I/O error", SQLITE_IOERR_WRITE); }},
                      // Without its copy no step runs.
                      FailingUpgrade{"BackupCannotBeWritten",
                                     [](const fs::path& store) {
                                         fs::create_directory(upgradeBackupFile(store, 1));
                                         fs::create_directory(upgradeBackupFile(store, 1) /
                                                              "besetzt");
                                     },
                                     {}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(StoreUpgrade, AVersionTwoStoreGetsTheUndoLogAndKeepsItsIdentities) {
    TestHome home;
    makeVersionTwoStore(home.dir(), {QStringLiteral("K")},
                        {{QStringLiteral("Eins"), QStringLiteral("K")},
                         {QStringLiteral("Zwei"), QStringLiteral("K")}});
    QStringList before;
    {
        auto db = Database::open(home.storeFile());
        ASSERT_EQ(userVersion(db), 2);
        before = exactTables(db);
    }
    auto store = CardStore::open(home.storeFile());
    EXPECT_EQ(userVersion(store.db()), kCurrentStoreVersion);
    EXPECT_EQ(exactTables(store.db()), before);
    EXPECT_TRUE(fs::exists(upgradeBackupFile(home.storeFile(), 2)));
    {
        UndoStep step(store.db(), QStringLiteral("Karte löschen"));
        store.deleteCard(*store.findByHeading(u"Eins"));
        step.commit();
    }
    ASSERT_TRUE(UndoLog::undo(store.db()));
    EXPECT_EQ(exactTables(store.db()), before);
}

// A dump and reload loses the version number but keeps the tables.
TEST(StoreUpgrade, AStoreThatLostItsVersionNumberKeepsItsCardIdentities) {
    TestHome home;
    makeStore(home.dir(), {QStringLiteral("K")}, {{QStringLiteral("Eins"), QStringLiteral("K")}});
    QStringList info;
    {
        auto db = Database::open(home.storeFile());
        info = kartenInfoRows(db);
        db.exec("PRAGMA user_version = 0");
    }
    auto store = CardStore::open(home.storeFile());
    EXPECT_EQ(userVersion(store.db()), kCurrentStoreVersion);
    EXPECT_EQ(kartenInfoRows(store.db()), info);
    TestHome fresh;
    createEmptyStore(fresh.dir());
    EXPECT_EQ(layout(store.db()), layout(CardStore::open(fresh.storeFile()).db()));
}

TEST(StoreUpgrade, AStoreFromANewerProgramIsRefusedForWritingButCanBeRead) {
    TestHome home;
    makeStore(home.dir(), {QStringLiteral("K")},
              {{QStringLiteral("Eins"), QStringLiteral("K")},
               {QStringLiteral("Zwei"), QStringLiteral("K")}});
    const int newer = kCurrentStoreVersion + 1;
    Database::open(home.storeFile()).exec("PRAGMA user_version = " + std::to_string(newer));
    try {
        CardStore::open(home.storeFile());
        FAIL() << "opened a newer store for writing";
    } catch (const StoreError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()),
                  QStringLiteral("Die Kartei wurde mit einer neueren Version von Veltro "
                                 "Adressbuch angelegt (Version %1). Diese Version kann sie "
                                 "nicht bearbeiten.")
                      .arg(newer));
    }
    EXPECT_EQ(filesIn(home.dir()), std::vector<std::string>{"Kartix.mdb"});

    auto reader = CardStore::openForReading(home.storeFile());
    EXPECT_EQ(reader.headings().size(), 2U);
    EXPECT_THROW(reader.addCategory(QStringLiteral("Neu")), StoreError);
    EXPECT_EQ(userVersion(reader.db()), newer);
}

TEST(StoreUpgrade, ReadingAnOldStoreLeavesItOld) {
    TestHome home;
    makeOldStore(home.dir());
    EXPECT_EQ(CardStore::openForReading(home.storeFile()).cardCount(), 3);
    auto db = Database::open(home.storeFile());
    EXPECT_EQ(userVersion(db), 0);
    EXPECT_EQ(filesIn(home.dir()), std::vector<std::string>{"Kartix.mdb"});
}

}  // namespace
