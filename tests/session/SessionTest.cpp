// The commands of a run on a session alone: no window, no widget, a core application.
#include "TestHome.h"
#include "backup/BackupFiles.h"
#include "import/ImportRun.h"
#include "session/Session.h"
#include "store/CardStore.h"
#include "vcard/VcardRows.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <stdexcept>

namespace {

using namespace Qt::StringLiterals;
using veltro::session::RunState;
using veltro::session::Session;
using veltro::session::TaskControl;
using veltro::store::Field;
using veltro::testing::TestHome;

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        veltro::testing::makeStore(home_.dir(),
                                   {QStringLiteral("Kunden"), QStringLiteral("Privat")},
                                   {{QStringLiteral("Anna"), QStringLiteral("Privat")},
                                    {QStringLiteral("Bauer Klaus"), QStringLiteral("Kunden")}});
        session_.open(home_.dir());
    }
    [[nodiscard]] QStringList headings() {
        QStringList all;
        for (std::int32_t i = 0; i < session_.index().size(); ++i) {
            all << session_.index().heading(i);
        }
        all.sort();
        return all;
    }
    QString writeVcf(int cards) {
        const QString path = QString::fromStdString((home_.dir() / "neu.vcf").string());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < cards; ++i) {
            file.write(QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Neu %1\r\nN:%1;Neu\r\n"
                                      "END:VCARD\r\n")
                           .arg(i)
                           .toUtf8());
        }
        return path;
    }
    // Imports the file as a task and waits for its end; the failure it ended with.
    std::exception_ptr importFile(const QString& path, bool cancel = false) {
        std::exception_ptr failure;
        bool ended = false;
        auto* task = session_.startWork(
            RunState::Importing, veltro::backup::Occasion::Import,
            [path](const std::filesystem::path& file, TaskControl& control) {
                veltro::vcard::VcardRows rows(path, QStringLiteral("Kunden"));
                veltro::import::runImport(
                    file, [&rows](veltro::import::PreviewRow& row) { return rows.next(row); },
                    [&control](veltro::import::ImportPhase, std::int64_t) {
                        return !control.stopRequested();
                    },
                    QStringLiteral("Import"));
            },
            [&](std::exception_ptr e) {
                ended = true;
                failure = std::move(e);
            });
        EXPECT_NE(task, nullptr);
        EXPECT_EQ(session_.state(), RunState::Importing);
        if (cancel) {
            task->cancel();
        }
        session_.finishWork();
        EXPECT_TRUE(ended);
        EXPECT_EQ(session_.state(), RunState::Idle);
        return failure;
    }

    TestHome home_;
    Session session_;
};

TEST_F(SessionTest, CardAndCategoryCommandsWriteTheStoreAndTheIndexAndUndoTakesThemBack) {
    const auto added = session_.addCard(QStringLiteral("Cäsar"), QStringLiteral("Kunden"));
    ASSERT_TRUE(added.id);
    EXPECT_FALSE(session_.addCard(QStringLiteral("anna"), QStringLiteral("Kunden")).id)
        << "a heading is taken without regard to case";
    EXPECT_FALSE(session_.addCard(QStringLiteral("Dora"), QStringLiteral("-Alle-")).id);
    EXPECT_TRUE(session_.renameCard(*added.id, QStringLiteral("Cäsar Julius")));
    EXPECT_FALSE(session_.renameCard(*added.id, QStringLiteral("Anna")));
    EXPECT_FALSE(session_.addCategory(QStringLiteral("-Alle-")));
    EXPECT_FALSE(session_.addCategory(QStringLiteral("kunden")));
    EXPECT_TRUE(session_.addCategory(QStringLiteral("Verein")));
    EXPECT_FALSE(session_.renameCategory(QStringLiteral("Verein"), QStringLiteral("-Alle-")));
    EXPECT_TRUE(session_.renameCategory(QStringLiteral("Kunden"), QStringLiteral("Firmen")));
    session_.deleteCategory(QStringLiteral("Privat"));
    EXPECT_EQ(headings(), (QStringList{u"Bauer Klaus"_s, u"Cäsar Julius"_s}));
    EXPECT_TRUE(session_.changed());
    auto& store = session_.store();
    EXPECT_EQ(store.loadCard(*added.id)->text(Field::Kategorien), u"Firmen"_s);
    EXPECT_FALSE(store.findByHeading(u"Anna"));

    EXPECT_EQ(session_.undoName(), QStringLiteral("Kategorie löschen"));
    ASSERT_TRUE(session_.undo());
    EXPECT_EQ(headings(), (QStringList{u"Anna"_s, u"Bauer Klaus"_s, u"Cäsar Julius"_s}));
    ASSERT_TRUE(session_.redo());
    EXPECT_EQ(headings(), (QStringList{u"Bauer Klaus"_s, u"Cäsar Julius"_s}));

    session_.deleteCard(*added.id);
    EXPECT_EQ(headings(), QStringList{u"Bauer Klaus"_s});
    EXPECT_FALSE(store.loadCard(*added.id));
    session_.discard();
    session_.close();
    session_.open(home_.dir());
    EXPECT_EQ(headings(), (QStringList{u"Anna"_s, u"Bauer Klaus"_s}))
        << "\"Nein\" takes the run back";
}

// The first change of the run is committed while the backup copy it began is held; the copy
// is the store from before it.
TEST_F(SessionTest, TheFirstChangeIsCommittedWithoutWaitingForItsBackupCopy) {
    std::promise<void> changed;
    auto released = changed.get_future().share();
    session_.backups().setPieceHook([released] { released.wait(); });
    ASSERT_TRUE(session_.addCard(QStringLiteral("Cäsar"), QStringLiteral("Kunden")).id);
    EXPECT_TRUE(
        veltro::store::CardStore::openForReading(home_.storeFile()).findByHeading(u"Cäsar"));
    changed.set_value();
    session_.backups().wait();
    const auto backups = veltro::backup::listBackups(home_.dir() / "Sicherungen");
    ASSERT_EQ(backups.size(), 1U);
    EXPECT_FALSE(
        veltro::store::CardStore::openForReading(backups.front().path).findByHeading(u"Cäsar"));
}

TEST_F(SessionTest, AnImportRunsAsATaskAndACancelledOrFailedOneLeavesTheStoreAsItWas) {
    const QString file = writeVcf(300);
    EXPECT_TRUE(importFile(file, true) != nullptr) << "cancelled";
    EXPECT_EQ(session_.index().size(), 2);

    // A store that refuses new cards: the failure reaches the end, nothing is written.
    veltro::store::CardStore::open(home_.storeFile())
        .db()
        .exec(
            "CREATE TRIGGER refuse BEFORE INSERT ON Kontakte BEGIN SELECT RAISE(ABORT, 'voll'); "
            "END");
    EXPECT_TRUE(importFile(file) != nullptr);
    EXPECT_EQ(session_.index().size(), 2);
    veltro::store::CardStore::open(home_.storeFile()).db().exec("DROP TRIGGER refuse");

    EXPECT_EQ(importFile(file), nullptr);
    EXPECT_EQ(session_.index().size(), 302) << "the index is read again at the end";
    EXPECT_EQ(session_.undoName(), QStringLiteral("Import"));
    EXPECT_FALSE(veltro::backup::listBackups(home_.dir() / "Sicherungen").empty())
        << "a backup before the import";
    ASSERT_TRUE(session_.undo());
    EXPECT_EQ(session_.index().size(), 2);
}

TEST_F(SessionTest, OneWorkAtATimeAndItsProgressReachesTheSessionsThread) {
    std::atomic<bool> release = false;
    std::vector<std::int64_t> seen;
    auto* task = session_.startWork(
        RunState::Syncing, veltro::backup::Occasion::Sync,
        [&release](const std::filesystem::path&, TaskControl& control) {
            control.progress(1, 2);
            release.wait(false);
            throw std::runtime_error("kaputt");
        },
        {}, [&seen](const veltro::session::TaskProgress& p) { seen.push_back(p.done); });
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(session_.startWork(RunState::Importing, veltro::backup::Occasion::Import,
                                 [](const std::filesystem::path&, TaskControl&) {}, {}),
              nullptr);
    release = true;
    release.notify_all();
    session_.finishWork();
    EXPECT_EQ(seen, std::vector<std::int64_t>{1});
    EXPECT_EQ(session_.state(), RunState::Idle);
}

TEST_F(SessionTest, MergeAndRestoreBeginFromTheStoreAndLeaveTheIndexInStep) {
    const auto anna = session_.index().idOfHeading(QStringLiteral("Anna"));
    const auto klaus = session_.index().idOfHeading(QStringLiteral("Bauer Klaus"));
    ASSERT_TRUE(anna && klaus);
    veltro::duplicates::MergePlan plan;
    plan.keep = *anna;
    plan.other = *klaus;
    const auto merged = session_.merge({plan});
    EXPECT_EQ(merged.text(Field::Schlagworte), u"Anna"_s);
    EXPECT_EQ(headings(), QStringList{u"Anna"_s});

    session_.backups().wait();
    const auto backups = veltro::backup::listBackups(home_.dir() / "Sicherungen");
    ASSERT_FALSE(backups.empty()) << "the first change of a run is backed up";
    const auto replaced = session_.restore(backups.front().path);
    EXPECT_EQ(headings(), (QStringList{u"Anna"_s, u"Bauer Klaus"_s}));
    EXPECT_EQ(session_.restoredAs(), QString::fromStdString(replaced.filename().string()));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
