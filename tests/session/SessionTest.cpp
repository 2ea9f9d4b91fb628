// The commands of a run on a session alone: no window, no widget, a core application.
#include "RadicaleServer.h"
#include "TestHome.h"
#include "backup/BackupFiles.h"
#include "import/ImportRun.h"
#include "session/Session.h"
#include "store/CardStore.h"
#include "sync/SyncAccounts.h"
#include "sync/SyncError.h"
#include "vcard/VcardRows.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

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
    session_.fullText().start(session_.storeFile());
    while (!session_.fullText().search(session_.store(), u"Klaus"_s).complete) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
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

// The program ends with "Ja" while the copy of the run's start is still being made, and does
// not wait for it; the next start makes that copy from the run's notes, the change kept.
TEST_F(SessionTest, ACopyCutShortByTheEndOfTheProgramIsMadeAtTheNextStart) {
    auto& backups = session_.backups();
    backups.setPieceHook([&backups] {
        while (!backups.stopping()) {
            QThread::msleep(1);
        }
    });
    ASSERT_TRUE(session_.addCard(QStringLiteral("Cäsar"), QStringLiteral("Kunden")).id);
    session_.keep();
    session_.close();
    backups.setPieceHook({});
    EXPECT_TRUE(veltro::backup::listBackups(home_.dir() / "Sicherungen").empty());
    session_.open(home_.dir());
    session_.backups().wait();
    const auto copies = veltro::backup::listBackups(home_.dir() / "Sicherungen");
    ASSERT_EQ(copies.size(), 1U);
    auto copy = veltro::store::CardStore::openForReading(copies.front().path);
    EXPECT_FALSE(copy.findByHeading(u"Cäsar"));
    EXPECT_TRUE(copy.findByHeading(u"Anna"));
    EXPECT_TRUE(session_.index().idOfHeading(u"Cäsar"_s)) << "the run's change stays";

    // A run whose copy was done leaves nothing for the next start to make.
    session_.addCard(QStringLiteral("Dora"), QStringLiteral("Kunden"));
    session_.backups().wait();
    const auto made = veltro::backup::listBackups(home_.dir() / "Sicherungen").size();
    session_.keep();
    session_.close();
    session_.open(home_.dir());
    session_.backups().wait();
    EXPECT_EQ(veltro::backup::listBackups(home_.dir() / "Sicherungen").size(), made);
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

// Exports read through connections of their own; the session writes meanwhile.
TEST_F(SessionTest, ExportsRunAsTasksBesideTheSessionsWork) {
    const auto path = [&](const char* name) {
        return QString::fromStdString((home_.dir() / name).string());
    };
    int ended = 0;
    const auto done = [&](const veltro::exporting::ExportResult& result, std::exception_ptr e) {
        EXPECT_FALSE(e);
        EXPECT_EQ(result.status, veltro::exporting::ExportStatus::Written);
        ++ended;
    };
    const auto csv =
        session_.startExport(path("karten.csv"), veltro::exporting::ExportOptions{}, done);
    const auto vcf = session_.startExport(path("karten.vcf"), std::nullopt, done);
    session_.addCard(u"Cäsar"_s, u"Kunden"_s);
    while (ended < 2) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    for (const char* name : {"karten.csv", "karten.vcf"}) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains(u"Klaus"_s)) << name;
    }
}

// The sync's questions and its backup come to the session's thread; its end reads the indexes
// again; a refused or cancelled sync leaves the cards here as they were.
TEST_F(SessionTest, ASyncRunsAsATaskAndAsksOnTheSessionsThread) {
    using veltro::testing::RadicaleServer;
    if (!RadicaleServer::installed()) {
        GTEST_SKIP() << "Radicale ist nicht installiert.";
    }
    RadicaleServer server;
    const QUrl book = server.addBook(u"kontakte"_s, u"Kontakte"_s);
    for (int i = 0; i < 12; ++i) {
        server.storeDirectly(book, u"k%1.vcf"_s.arg(i),
                             u"BEGIN:VCARD\r\nVERSION:3.0\r\nUID:k%1\r\nN:Zorn;Eva %1;;;\r\n"
                             u"FN:Eva %1 Zorn\r\nEND:VCARD\r\n"_s.arg(i)
                                 .toUtf8());
    }
    veltro::sync::Pairing pairing{
        0, server.root(), QLatin1String(RadicaleServer::kUser), book, u"Privat"_s, {}, {}};
    pairing.id = veltro::sync::savePairing(session_.store().db(), pairing);
    const auto sync = [&](bool allowDeletes, bool cancel = false) {
        std::exception_ptr failure;
        veltro::sync::SyncReport report;
        bool ended = false;
        Session::SyncJob job{
            *veltro::sync::pairingForBook(session_.store().db(), book),
            QLatin1String(RadicaleServer::kPassword), [&](const veltro::sync::MassDelete&) {
                EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
                return allowDeletes;
            }};
        auto* task =
            session_.startSync(std::move(job), [&](const auto& done, std::exception_ptr e) {
                report = done;
                failure = std::move(e);
                ended = true;
            });
        EXPECT_EQ(session_.state(), RunState::Syncing);
        if (cancel) {
            task->cancel();
        }
        while (!ended) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        EXPECT_EQ(session_.state(), RunState::Idle);
        return std::pair{report, failure};
    };
    const auto kind = [](const std::exception_ptr& failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const veltro::sync::SyncError& error) {
            return std::optional{error.kind()};
        } catch (...) {
        }
        return std::optional<veltro::sync::SyncError::Kind>{};
    };

    EXPECT_EQ(kind(sync(true, true).second), veltro::sync::SyncError::Kind::Cancelled);
    EXPECT_FALSE(headings().contains(u"Zorn Eva 0"_s));

    const auto [first, failed] = sync(false);
    ASSERT_FALSE(failed);
    EXPECT_EQ(first.downloaded, 12);
    EXPECT_TRUE(headings().contains(u"Zorn Eva 11"_s)) << "the index was read again";
    EXPECT_TRUE(session_.syncedThisRun() && session_.changed());
    session_.backups().wait();
    EXPECT_EQ(veltro::backup::listBackups(home_.dir() / "Sicherungen").size(), 1U);

    for (int i = 0; i < 12; ++i) {
        server.remove(book, book.path() + u"k%1.vcf"_s.arg(i));
    }
    EXPECT_EQ(kind(sync(false).second), veltro::sync::SyncError::Kind::ManyDeletes);
    EXPECT_TRUE(headings().contains(u"Zorn Eva 11"_s));
    EXPECT_EQ(sync(true).first.deletedHere, 12);
    EXPECT_FALSE(headings().contains(u"Zorn Eva 11"_s));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
