// What was typed outlives every end of the program: the real program, killed under a window
// manager by a signal or by losing its display, and started again.
#include "MainWindowFixture.h"
#include "WindowManagerSession.h"

#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/PendingEdit.h"
#include "store/Sqlite.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <optional>

namespace {

using namespace Qt::Literals::StringLiterals;
using veltro::platform::Answer;
using veltro::store::Field;

class EndOfRun : public veltro::testing::MainWindowFixture {
protected:
    void SetUp() override {
        veltro::testing::makeStore(home_.dir(), {u"Privat"_s},
                                   {{u"Bauer Klaus"_s,
                                     u"Privat"_s,
                                     {{Field::Nachname, u"Bauer"_s}, {Field::Telefon, u"111"_s}}}});
    }
    // Starts the program on the display, and waits until it has typed.
    void startTyping(const std::string& display, const QString& how = {}) {
        auto env = QProcessEnvironment::systemEnvironment();
        if (!how.isEmpty()) {
            env.insert(how, u"1"_s);
        }
        env.insert(u"DISPLAY"_s, QString::fromStdString(display));
        env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        program_.setProcessEnvironment(env);
        program_.start(QStringLiteral(TYPING_PROGRAM), {});
        ASSERT_TRUE(program_.waitForStarted());
        while (!program_.readAllStandardOutput().contains("getippt")) {
            ASSERT_TRUE(program_.waitForReadyRead(30000))
                << program_.readAllStandardError().toStdString();
        }
    }
    void endWith(int signal) {
        ::kill(static_cast<pid_t>(program_.processId()), signal);
        ASSERT_TRUE(program_.waitForFinished(30000));
    }
    [[nodiscard]] QString telephone() {
        auto cards = veltro::store::CardStore::open(home_.storeFile());
        return cards.loadCard(*cards.findByHeading(u"Bauer Klaus"_s))->text(Field::Telefon);
    }
    [[nodiscard]] bool kept() const {
        return std::filesystem::exists(veltro::store::pendingEditFile(home_.storeFile()));
    }

    QProcess program_;
};

TEST_F(EndOfRun, TheTerminalClosedOrCtrlCSaveWhatWasTyped) {
    for (const int signal : {SIGHUP, SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const QString before = telephone();
        startTyping(qgetenv("DISPLAY").toStdString());
        endWith(signal);
        EXPECT_EQ(program_.exitCode(), 0) << program_.readAllStandardError().toStdString();
        EXPECT_EQ(telephone(), before + u"4711"_s);
        EXPECT_FALSE(kept());
    }
}

// The store is held by another program when the end comes: the typed text waits in the
// recovery file, and the next start offers it.
TEST_F(EndOfRun, ABusyStoreKeepsTheTypingForTheNextStart) {
    startTyping(qgetenv("DISPLAY").toStdString(), u"TYPING_BRIEF_WAIT"_s);
    {
        auto other = veltro::store::Database::open(home_.storeFile());
        other.exec("BEGIN IMMEDIATE");
        endWith(SIGTERM);
        other.exec("ROLLBACK");
    }
    EXPECT_TRUE(program_.readAllStandardError().contains("beim nächsten Start angeboten"));
    ASSERT_TRUE(kept());
    EXPECT_EQ(telephone(), u"111"_s);

    platform_->answers.push_back(Answer::Yes);
    openExisting();
    QCoreApplication::processEvents();
    ASSERT_FALSE(platform_->messages.empty());
    EXPECT_EQ(platform_->messages[0].text,
              u"Nicht gespeicherte Eingaben zu „Bauer Klaus“ gefunden. Übernehmen?"_s);
    EXPECT_EQ(telephone(), u"1114711"_s);
    EXPECT_FALSE(kept());
}

TEST_F(EndOfRun, ALostDisplayKeepsWhatWasTyped) {
    std::optional<veltro::testing::WindowManagerSession> own(std::in_place);
    startTyping(own->display());
    own.reset();  // the X server goes, and the program with it
    ASSERT_TRUE(program_.waitForFinished(30000));
    ASSERT_TRUE(kept()) << program_.readAllStandardError().toStdString();
    const auto edit = veltro::store::readPendingEdit(home_.storeFile());
    ASSERT_TRUE(edit.has_value());
    EXPECT_EQ(edit->heading, u"Bauer Klaus"_s);
    ASSERT_EQ(edit->values.size(), 1U);
    EXPECT_EQ(edit->values[0].second, u"1114711"_s);
}

// A kill leaves no time to save: the nickname typed into the further details waits beside the
// store and comes back at the next start.
TEST_F(EndOfRun, AKillKeepsWhatWasTypedIntoTheFurtherDetails) {
    startTyping(qgetenv("DISPLAY").toStdString(), u"TYPING_EXTRAS"_s);
    for (int wait = 0; wait < 100 && !kept(); ++wait) {
        QThread::msleep(50);
    }
    endWith(SIGKILL);
    ASSERT_TRUE(kept());

    platform_->answers.push_back(Answer::Yes);
    openExisting();
    QCoreApplication::processEvents();
    auto cards = veltro::store::CardStore::open(home_.storeFile());
    EXPECT_EQ(
        veltro::store::loadCardExtras(cards.db(), *cards.findByHeading(u"Bauer Klaus"_s)).nickname,
        u"Klausi"_s);
    EXPECT_EQ(telephone(), u"1114711"_s);
    EXPECT_FALSE(kept());
}

}  // namespace
