// The full-text index a start reads from its image and the store's notes is the index a
// build from every card makes, after each kind of change and after a kill in its middle.
#include "TestHome.h"
#include "fulltext/IndexImage.h"
#include "import/ImportRun.h"
#include "session/FullTextSearch.h"
#include "session/Session.h"
#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/FullTextNotes.h"
#include "store/SampleCards.h"
#include "store/Schema.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <random>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using veltro::session::Session;
using veltro::store::Field;
namespace fs = std::filesystem;

const QStringList kTexts = {QStringLiteral("a"),         QStringLiteral("mü"),
                            QStringLiteral("köln"),      QStringLiteral("str"),
                            QStringLiteral("7"),         QStringLiteral("termin nr"),
                            QStringLiteral("spitzname"), QStringLiteral("zwischendrin")};

// Built from every card, against the index a new start reads from the image and the notes.
void expectAsFreshBuild(const fs::path& storeFile, const std::string& after) {
    auto store = veltro::store::CardStore::open(storeFile);
    ASSERT_EQ(veltro::fulltext::imageNumber(veltro::fulltext::imageFileOf(storeFile)),
              veltro::store::fullTextMark(store.db())->image)
        << after << ": the image is the one the store names";
    veltro::fulltext::FullTextIndex fresh;
    const std::atomic<bool> never = false;
    fresh.build(store, never);
    veltro::session::FullTextSearch kept;
    kept.start(storeFile);
    kept.waitForWork();
    for (const QString& text : kTexts) {
        const auto answer = kept.search(store, text);
        const auto expected = fresh.search(text);
        ASSERT_TRUE(answer.complete);
        for (std::int64_t id = 1; id <= store.lastRowId() + 3; ++id) {
            ASSERT_EQ(answer.ids->contains(id), expected->contains(id))
                << after << ", " << text.toStdString() << ", card " << id;
        }
    }
}

// Every row of Kontakte a connection of this process writes counts; at the given one the
// process dies as by kill -9, in the middle of its transaction.
std::atomic<int> rowsToLive = 0;

void countRow(sqlite3_context* context, int, sqlite3_value**) {
    if (--rowsToLive == 0) {
        std::raise(SIGKILL);
    }
    sqlite3_result_null(context);
}

int armConnection(sqlite3* db, char**, const sqlite3_api_routines*) {
    sqlite3_create_function(db, "zaehlen", 0, SQLITE_UTF8, nullptr, countRow, nullptr, nullptr);
    for (const char* change : {"INSERT", "UPDATE", "DELETE"}) {
        const std::string sql = std::string("CREATE TEMP TRIGGER IF NOT EXISTS zaehlen") + change +
                                " AFTER " + change +
                                " ON main.Kontakte BEGIN SELECT zaehlen(); END";
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    }
    return SQLITE_OK;
}

struct Change {
    const char* name;
    std::function<void(Session&)> prepare;  // done before, and not killed
    std::function<void(Session&)> run;
    bool endsTheRun = false;  // the index in memory is not asked after it
};

void randomChanges(Session& session) {
    std::mt19937 rng(7);
    for (int i = 0; i < 40; ++i) {
        const std::int64_t id = 1 + static_cast<std::int64_t>(rng() % 300);
        switch (rng() % 5) {
            case 0:
                session.addCard(QStringLiteral("Neu Köln %1").arg(i), QStringLiteral("Privat"));
                break;
            case 1:
                if (session.store().loadCard(id)) {
                    session.renameCard(id, QStringLiteral("Umbenannt Strasse %1").arg(i));
                }
                break;
            case 2:
                if (session.store().loadCard(id)) {
                    session.deleteCard(id);
                }
                break;
            case 3:
                if (session.store().loadCard(id)) {
                    veltro::store::CardExtras extras;
                    extras.nickname = QStringLiteral("Spitzname %1").arg(i);
                    extras.entries = {{veltro::store::EntryKind::Telefon,
                                       veltro::store::EntryType::Mobil, QStringLiteral("0177")}};
                    veltro::store::writeCardExtras(session.store().db(), id, extras);
                    session.cardWritten(id);
                }
                break;
            default:
                if (session.store().loadCard(id)) {
                    session.store().writeFields(
                        id, {{Field::Notizen,
                              QStringLiteral("{\\rtf1 Termin Nr. %1 M\\'fcller}").arg(i)}});
                    session.cardWritten(id);
                }
        }
    }
}

void importCards(Session& session) {
    session.startWork(veltro::session::RunState::Importing, veltro::backup::Occasion::Import,
                      [](const fs::path& file, veltro::session::TaskControl&) {
                          int made = 0;
                          veltro::import::runImport(
                              file,
                              [&made](veltro::import::PreviewRow& row) {
                                  veltro::import::PreviewRow::Fields fields;
                                  fields.fill(veltro::import::kUnmappedValue);
                                  fields[veltro::import::kCategoryTarget] = u"Privat";
                                  fields[veltro::import::kHeadingTarget] = u"Import Müller";
                                  row = veltro::import::PreviewRow(fields);
                                  return ++made <= 300;
                              },
                              {}, QStringLiteral("Import"));
                      },
                      {});
    session.finishWork();
}

const std::vector<Change>& changes() {
    static const std::vector<Change> all = {
        {"Änderungen", {}, randomChanges},
        {"Import", {}, importCards},
        {"Kategorie umbenennen",
         {},
         [](Session& s) { s.renameCategory(QStringLiteral("Privat"), QStringLiteral("Daheim")); }},
        {"Rückgängig", [](Session& s) { s.deleteCategory(QStringLiteral("Kunden")); },
         [](Session& s) { s.undo(); }},
        {"Wiederholen",
         [](Session& s) {
             s.deleteCategory(QStringLiteral("Kunden"));
             s.undo();
         },
         [](Session& s) { s.redo(); }},
        {"Nein", randomChanges, [](Session& s) { s.discard(); }, true},
    };
    return all;
}

class FullTextKept : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        veltro::store::writeSyntheticStore(home_.dir(), 300, 11);
        veltro::session::FullTextSearch first;  // builds and saves the image
        first.start(home_.storeFile());
        first.waitForWork();
        fs::create_directory(pristine_);
        for (const fs::path& file : files()) {
            fs::copy_file(file, pristine_ / file.filename());
        }
    }
    // Each change begins from the same store and image.
    void beginAgain() {
        fs::remove_all(home_.dir() / "Sicherungen");
        fs::remove(fs::path(home_.storeFile()).concat("-journal"));
        for (const fs::path& file : files()) {
            fs::copy_file(pristine_ / file.filename(), file, fs::copy_options::overwrite_existing);
        }
    }
    std::vector<fs::path> files() const {
        return {home_.storeFile(), veltro::fulltext::imageFileOf(home_.storeFile())};
    }
    veltro::testing::TestHome home_;
    fs::path pristine_ = home_.dir() / "vorher";
};

TEST_P(FullTextKept, AfterEachChangeAStartReadsWhatAFreshBuildMakes) {
    const bool killed = GetParam();
    for (const Change& change : changes()) {
        SCOPED_TRACE(change.name);
        beginAgain();
        if (!killed) {
            Session session;
            session.open(home_.dir());
            session.fullText().start(home_.storeFile());
            session.fullText().waitForWork();
            if (change.prepare) {
                change.prepare(session);
            }
            change.run(session);
            session.fullText().waitForWork();
            session.backups().wait();
            veltro::fulltext::FullTextIndex fresh;
            const std::atomic<bool> never = false;
            fresh.build(session.store(), never);
            for (const QString& text : kTexts) {
                const auto live = session.fullText().search(session.store(), text);
                for (std::int64_t id = 1; id <= session.store().lastRowId() && !change.endsTheRun;
                     ++id) {
                    ASSERT_EQ(live.ids->contains(id), fresh.search(text)->contains(id))
                        << change.name << " in the run, " << text.toStdString() << " " << id;
                }
            }
        } else if (const pid_t child = ::fork(); child == 0) {
            rowsToLive = 1 << 30;
            sqlite3_auto_extension(reinterpret_cast<void (*)()>(armConnection));
            Session session;
            session.open(home_.dir());
            if (change.prepare) {
                change.prepare(session);
            }
            rowsToLive = 5;
            change.run(session);
            ::_exit(0);
        } else {
            int status = 0;
            ::waitpid(child, &status, 0);
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
                << "the change ended before its fifth row";
        }
        expectAsFreshBuild(home_.storeFile(), change.name);
    }
}

// A change while the image is written waits for nothing; a search meanwhile counts it, and
// the image with the store's notes makes the same index at the next start.
TEST(FullTextImageWrite, AChangeMeanwhileWaitsForNothingAndIsKept) {
    veltro::testing::TestHome home;
    veltro::store::writeSyntheticStore(home.dir(), 300, 11);
    auto store = veltro::store::CardStore::open(home.storeFile());
    std::mutex mutex;
    std::condition_variable changed;
    bool writing = false;
    bool released = false;
    const auto release = [&] {
        const std::lock_guard lock(mutex);
        released = true;
        changed.notify_all();
    };
    veltro::session::FullTextSearch search;
    search.setWritingImage([&] {
        std::unique_lock lock(mutex);
        writing = true;
        changed.notify_all();
        changed.wait(lock, [&] { return released; });
    });
    search.start(home.storeFile());
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return writing; });
    }
    std::thread watchdog([&] {  // lets a blocked change through, late
        std::unique_lock lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(5), [&] { return released; });
        released = true;
        changed.notify_all();
    });
    const auto begun = std::chrono::steady_clock::now();
    store.writeFields(7, {{Field::Firma, QStringLiteral("Zwischendrin")}});
    search.changed(store, 7);
    const auto meanwhile = search.search(store, QStringLiteral("zwischendrin"));
    const bool waited = std::chrono::steady_clock::now() - begun > std::chrono::seconds(2);
    release();
    watchdog.join();
    EXPECT_FALSE(waited) << "the change waited for the image";
    EXPECT_TRUE(meanwhile.ids->contains(7));
    search.waitForWork();
    EXPECT_TRUE(search.search(store, QStringLiteral("zwischendrin")).ids->contains(7));
    expectAsFreshBuild(home.storeFile(), "Abbild");
}

INSTANTIATE_TEST_SUITE_P(RunOrKilled, FullTextKept, ::testing::Values(false, true),
                         [](const auto& param) { return param.param ? "Killed" : "Run"; });

}  // namespace
