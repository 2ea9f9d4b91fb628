#include "StoreState.h"
#include "TestHome.h"

#include "backup/BackupFiles.h"
#include "backup/BackupWriter.h"
#include "store/CardStore.h"
#include "store/Schema.h"
#include "store/StoreError.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace veltro;
using namespace veltro::backup;
using veltro::testing::TestHome;
namespace fs = std::filesystem;

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(9, 30));

// Every object of the layout, so that a copy shows it has the triggers too.
QStringList layoutOf(store::Database& db) {
    QStringList objects;
    auto stmt = db.prepare("SELECT type || ' ' || name FROM sqlite_master ORDER BY name");
    while (stmt.step()) {
        objects << stmt.textOrEmpty(0);
    }
    return objects;
}

class BackupWriting : public ::testing::Test {
protected:
    void SetUp() override {
        veltro::testing::makeStore(home_.dir(), {QStringLiteral("Privat")},
                                   {{QStringLiteral("Meier"),
                                     QStringLiteral("Privat"),
                                     {{store::Field::Notizen, QStringLiteral("{\\rtf1 x}")}}},
                                    {QStringLiteral("Zeta"), QStringLiteral("Privat")}});
    }
    TestHome home_;
};

TEST_F(BackupWriting, TheCopyIsTheStoreInTheFolderBesideItPrivateToItsOwner) {
    const fs::path copy = BackupWriter(home_.storeFile(), kNow).write();
    EXPECT_EQ(copy, home_.dir() / "Sicherungen" / "Kartix-2026-12-07-0930.mdb");
    auto original = store::Database::open(home_.storeFile());
    auto backup = store::Database::open(copy);
    EXPECT_EQ(veltro::testing::exactTables(backup), veltro::testing::exactTables(original));
    EXPECT_EQ(layoutOf(backup), layoutOf(original));
    EXPECT_EQ(fs::status(copy).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(copy.parent_path()).permissions(), fs::perms::owner_all);

    const fs::path second = BackupWriter(home_.storeFile(), kNow).write();
    EXPECT_EQ(second.filename(), "Kartix-2026-12-07-0930-2.mdb");
    EXPECT_EQ(listBackups(copy.parent_path()).size(), 2U);
    for (const auto& entry : fs::directory_iterator(copy.parent_path())) {
        EXPECT_FALSE(entry.path().string().ends_with(".tmp")) << entry.path();
    }
}

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Changes that come while the copy runs are committed without waiting for it, and the copy
// is still the store file of the moment it began, byte for byte: every page they overwrite
// or cut off was kept first. The copy is held before its first piece until the change is in;
// a change that waited for the copy would fail, the busy wait being brief.
TEST_F(BackupWriting, AChangeWhileTheCopyRunsIsCommittedWithoutWaitingAndLeavesTheCopyAsItBegan) {
    const veltro::testing::BriefBusyWait brief;
    {
        auto store = store::CardStore::open(home_.storeFile());
        store::Transaction tx(store.db());
        for (int i = 0; i < 600; ++i) {  // more than one piece of the copy
            store::Card card;
            card.set(store::Field::Schlagworte, QStringLiteral("Karte %1").arg(i));
            card.set(store::Field::Notizen, QString(4000, QChar(u'a' + i % 26)));
            store.insertCard(card);
        }
        tx.commit();
    }
    const std::function<void(store::CardStore&)> changes[] = {
        [](store::CardStore& store) {
            store.deleteCard(*store.findByHeading(u"Zeta"));
            store.writeFields(*store.findByHeading(u"Meier"),
                              {{store::Field::Ort, QStringLiteral("Köln")}});
        },
        // Every page written anew and the file cut shorter.
        [](store::CardStore& store) {
            store.db().exec("DELETE FROM Kontakte WHERE Schlagworte LIKE 'Karte%'");
            store.db().exec("VACUUM");
        },
    };
    for (const auto& change : changes) {
        const std::string before = bytesOf(home_.storeFile());
        BackupWriter writer(home_.storeFile(), kNow);
        std::promise<void> copying;
        std::promise<void> changed;
        std::thread copier([&] {
            bool first = true;
            try {
                const fs::path copy = writer.write([&] {
                    if (std::exchange(first, false)) {
                        copying.set_value();
                        changed.get_future().wait();
                    }
                });
                EXPECT_TRUE(bytesOf(copy) == before);  // megabytes: no diff of them
                fs::remove(copy);
            } catch (const store::StoreError& error) {
                ADD_FAILURE() << error.what();
            }
        });
        copying.get_future().wait();
        try {
            auto store = store::CardStore::open(home_.storeFile());
            change(store);
        } catch (const store::StoreError& error) {
            ADD_FAILURE() << error.what();
        }
        changed.set_value();
        copier.join();
        EXPECT_FALSE(bytesOf(home_.storeFile()) == before);
    }
}

// Another program may have put the store into write-ahead mode; its latest change then lies
// in the log beside the file, and the copy must hold it all the same.
TEST_F(BackupWriting, AStoreInWriteAheadModeIsCopiedWithWhatItsLogHolds) {
    auto other = store::CardStore::open(home_.storeFile());
    other.db().exec("PRAGMA journal_mode = WAL");
    other.db().exec("PRAGMA wal_autocheckpoint = 0");
    other.deleteCard(*other.findByHeading(u"Zeta"));
    ASSERT_TRUE(fs::exists(fs::path(home_.storeFile()).concat("-wal")));

    const fs::path copy = BackupWriter(home_.storeFile(), kNow).write();
    EXPECT_EQ(store::CardStore::openForReading(copy).cardCount(), 1);
    EXPECT_FALSE(store::CardStore::openForReading(copy).findByHeading(u"Zeta"));
}

// A partial copy that a killed writer left goes with the next backup; one a writer still
// holds, one newer than the backup's start and every file not of our partial names stay.
TEST_F(BackupWriting, PartialCopiesLeftByKilledWritersGoWithTheNextBackup) {
    const fs::path folder = home_.dir() / "Sicherungen";
    fs::create_directories(folder);
    const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    struct Given {
        const char* name;
        bool stays;
        fs::file_time_type written;
    };
    const Given files[] = {
        {"Kartix-2026-12-06-1800.mdb.tmp", false, hourAgo},
        {"Kartix-2026-12-06-1800.mdb.tmp-journal", false, hourAgo},
        {"Kartix-2026-12-07-0930.mdb.tmp", false, hourAgo},   // the name this backup takes
        {"Kartix-2026-12-06-1801-2.mdb.tmp", true, hourAgo},  // its writer still runs
        {"Kartix-2026-12-06-1802.mdb.tmp", true, hourAgo + std::chrono::hours(2)},
        {"Kartix-2026-12-06-1803.mdb", true, hourAgo},  // a finished backup
        {"Kartix.mdb.tmp", true, hourAgo},
        {"Notizen.mdb.tmp", true, hourAgo},
        {"Kartix-2026-12-06-1804.mdb.tmp.alt", true, hourAgo},
    };
    for (const Given& file : files) {
        std::ofstream(folder / file.name) << "halb";
        fs::last_write_time(folder / file.name, file.written);
    }
    // A link of a partial name is no file of ours, nor is what it points to.
    std::ofstream(home_.dir() / "Fremd") << "fremd";
    fs::last_write_time(home_.dir() / "Fremd", hourAgo);
    fs::create_symlink(home_.dir() / "Fremd", folder / "Kartix-2026-12-06-1805.mdb.tmp");
    const int running = ::open((folder / files[3].name).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(running, LOCK_EX | LOCK_NB), 0);

    const fs::path copy = BackupWriter(home_.storeFile(), kNow).write();
    ::close(running);
    EXPECT_EQ(copy.filename(), "Kartix-2026-12-07-0930.mdb");
    for (const Given& file : files) {
        EXPECT_EQ(fs::exists(folder / file.name), file.stays) << file.name;
    }
    EXPECT_TRUE(fs::is_symlink(folder / "Kartix-2026-12-06-1805.mdb.tmp"));
    EXPECT_TRUE(fs::exists(home_.dir() / "Fremd"));
}

TEST_F(BackupWriting, AFolderThatCannotBeMadeIsSaidAndLeavesNothing) {
    std::ofstream(home_.dir() / "Sicherungen") << "keine Ordner";
    try {
        BackupWriter(home_.storeFile(), kNow).write();
        FAIL() << "the copy reported success";
    } catch (const store::StoreError& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).startsWith(u"Die Sicherung „")) << error.what();
    }
    EXPECT_TRUE(fs::is_regular_file(home_.dir() / "Sicherungen"));
}

}  // namespace
