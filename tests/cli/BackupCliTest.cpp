#include "CliRun.h"
#include "TestHome.h"
#include "TestTools.h"

#include "store/WriterLock.h"

#include <QDir>

#include <gtest/gtest.h>

using veltro::testing::TestHome;
namespace store = veltro::store;
namespace fs = std::filesystem;

namespace {

constexpr int kLockedExit = 75;

using Outcome = veltro::testing::CliRun;

// A store with one card, the command line run on its folder.
class BackupCli : public ::testing::Test {
protected:
    void SetUp() override {
        veltro::testing::makeStore(home_.dir(), {QStringLiteral("Privat")},
                                   {{QStringLiteral("Anna"), QStringLiteral("Privat")}});
        ASSERT_TRUE(veltro::testing::writeBytes(list_, "Berta\nCarl\n"));
    }
    Outcome run(QStringList args) const {
        args.insert(1, dir_);
        return veltro::testing::runCli(args);
    }
    Outcome import() const {
        return run({QStringLiteral("import"), list_, QStringLiteral("--category"),
                    QStringLiteral("Privat"), QStringLiteral("--map"), QStringLiteral("Karte=1")});
    }
    QStringList backupNames() const {
        return QDir(dir_ + QStringLiteral("/Sicherungen")).entryList(QDir::Files, QDir::Name);
    }
    QString cards() const { return run({QStringLiteral("list")}).out; }

    TestHome home_;
    QString dir_ = QString::fromStdString(home_.dir().string());
    QString list_ = QString::fromStdString((home_.dir() / "neu.csv").string());
};

TEST_F(BackupCli, AnImportBacksTheStoreUpFirstAndTheListShowsIt) {
    const Outcome imported = import();
    ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.contains(u"Sicherung angelegt: Kartix-"))
        << imported.out.toStdString();
    ASSERT_EQ(backupNames().size(), 1);
    const Outcome listed = run({QStringLiteral("backups")});
    EXPECT_EQ(listed.status, 0);
    EXPECT_TRUE(listed.out.startsWith(backupNames()[0] + QStringLiteral("  ")));
    EXPECT_TRUE(listed.out.endsWith(QStringLiteral("  1 Karte\n"))) << listed.out.toStdString();
}

TEST_F(BackupCli, ARestorePutsTheBackupInPlaceAndKeepsTheStoreAsABackup) {
    ASSERT_EQ(import().status, 0);
    const QString before = backupNames()[0];
    const Outcome restored = run({QStringLiteral("restore"), before});
    ASSERT_EQ(restored.status, 0) << restored.err.toStdString();
    EXPECT_EQ(cards(), QStringLiteral("Anna\n"));
    ASSERT_EQ(backupNames().size(), 2);
    EXPECT_TRUE(restored.out.contains(backupNames()[1])) << restored.out.toStdString();
    const Outcome listed = run({QStringLiteral("backups")});
    EXPECT_TRUE(listed.out.contains(QStringLiteral("  3 Karten\n"))) << listed.out.toStdString();
}

TEST_F(BackupCli, ARestoreIsRefusedWhileTheProgramRunsOrTheBackupIsMissing) {
    ASSERT_EQ(import().status, 0);
    const QString name = backupNames()[0];
    {
        const auto lock = store::WriterLock::tryAcquire(home_.dir());
        ASSERT_TRUE(lock.held());
        EXPECT_EQ(run({QStringLiteral("restore"), name}).status, kLockedExit);
    }
    const Outcome missing = run({QStringLiteral("restore"), QStringLiteral("gibtsnicht.mdb")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains(u"lässt sich nicht wiederherstellen"))
        << missing.err.toStdString();
    EXPECT_EQ(cards(), QStringLiteral("Anna\nBerta\nCarl\n"));
    EXPECT_EQ(backupNames().size(), 1);
    EXPECT_EQ(run({QStringLiteral("restore"), name, QStringLiteral("zuviel")}).status, 2);
}

}  // namespace
