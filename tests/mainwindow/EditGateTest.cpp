// Nothing typed into the card view is lost, whichever way the shown card is replaced or
// the run ends, and a store that refuses a write is told, never taken for success.
#include "MainWindowFixture.h"
#include "StoreState.h"

#include "mainwindow/CardEditor.h"
#include "mainwindow/ClickLabel.h"
#include "mainwindow/FieldTable.h"
#include "mainwindow/MainMenus.h"
#include "richtext/CommandBars.h"
#include "richtext/RichTextBlock.h"
#include "richtext/StoredText.h"
#include "search/SearchWindow.h"
#include "store/CardStore.h"
#include "store/PendingEdit.h"
#include "store/SampleCards.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

using namespace veltro;
using platform::Answer;
using store::Field;
using veltro::testing::MainWindowFixture;

namespace {

class EditGate : public MainWindowFixture {
public:
    using MainWindowFixture::chooseCategory;
    using MainWindowFixture::clickLine;
    using MainWindowFixture::focus;
    using MainWindowFixture::type;

protected:
    void openSample() {
        open({QStringLiteral("Privat"), QStringLiteral("Firma")},
             {{QStringLiteral("Albers"), QStringLiteral("Privat")},
              {QStringLiteral("Bauer Klaus"), QStringLiteral("Privat")},
              {QStringLiteral("Schulz"), QStringLiteral("Firma")}});
        window().editor().setClock([this] { return now_; });
        clickLine(0);
    }
    // The quiet after a failure message is over.
    void letTheQuietPass() { now_ += std::chrono::seconds(1); }
    // Typed without moving the focus, so only the gate can save it.
    void typePending(const QString& text) {
        for (const auto& field : mainwindow::fieldTable()) {
            if (field.saved) {
                QTest::keyClicks(box(field.number), text + QString::number(field.number));
            }
        }
        QTest::keyClicks(window().ui().RichTextBox1, text + QStringLiteral("Adresse"));
        QTest::keyClicks(window().ui().RichTextBox2, text + QStringLiteral("Notiz"));
    }
    // Every saving box holds exactly what was typed into it, in its own column.
    void expectStored(const QString& heading, const QString& text) {
        const store::Card card = storedCard(heading);
        for (const auto& field : mainwindow::fieldTable()) {
            if (field.saved) {
                EXPECT_EQ(card.text(field.field), text + QString::number(field.number))
                    << "Text" << field.number;
            }
        }
        EXPECT_TRUE(
            richtext::plainTextFromStored(card.text(Field::Anschrift), richtext::LineBreak::Lf)
                .contains(text + QStringLiteral("Adresse")));
        EXPECT_TRUE(
            richtext::plainTextFromStored(card.text(Field::Notizen), richtext::LineBreak::Lf)
                .contains(text + QStringLiteral("Notiz")));
    }
    // Another program holds the store; our writes wait only briefly.
    std::optional<store::CardStore> lockStore() {
        brief_.emplace();
        window().cardStore()->db().setBusyTimeout(20);
        auto other = store::CardStore::open(home_.storeFile());
        other.db().exec("BEGIN EXCLUSIVE");
        return other;
    }

    std::optional<veltro::testing::BriefBusyWait> brief_;
    std::chrono::steady_clock::time_point now_;
};

// Replacing the shown card, emptying the view or leaving: each writes the pending edit.
struct Path {
    const char* name;
    std::function<void(EditGate&, mainwindow::MainWindow&)> run;
};

void PrintTo(const Path& path, std::ostream* os) {
    *os << path.name;
}

class EveryPath : public EditGate, public ::testing::WithParamInterface<Path> {};

TEST_P(EveryPath, WritesThePendingEditFirst) {
    openSample();
    typePending(QStringLiteral("g"));
    GetParam().run(*this, window());
    QApplication::processEvents();
    closeOtherWindows();
    expectStored(QStringLiteral("Albers"), QStringLiteral("g"));
}

const Path kPaths[] = {
    {"ListClick", [](EditGate& t, auto&) { t.clickLine(1); }},
    {"ListKeyDown",
     [](EditGate& t, auto& w) {
         t.focus(w.ui().List1);
         QTest::keyClick(w.ui().List1, Qt::Key_Down);
     }},
    {"CategorySelector", [](EditGate& t, auto&) { t.chooseCategory(QStringLiteral("Firma")); }},
    {"ClearSearchLabel",
     [](EditGate&, auto& w) { QTest::mouseClick(w.ui().Label8, Qt::LeftButton); }},
    {"SearchText", [](EditGate& t, auto& w) { t.type(w.ui().Text1, QStringLiteral("Sch")); }},
    {"FullTextSearch",
     [](EditGate& t, auto& w) {
         t.type(w.ui().Text16, QStringLiteral("Schulz"));
         QTest::keyClick(w.ui().Text16, Qt::Key_Return);
     }},
    {"SearchWindowCopy",
     [](EditGate&, auto& w) {
         w.bars().action(QStringLiteral("tbrSuchFenster"))->trigger();
         QApplication::processEvents();
         if (auto* search = search::SearchWindow::current()) {
             search->close();
         }
     }},
    {"CloseBox", [](EditGate&, auto& w) { w.close(); }},
    {"SessionEnd", [](EditGate&, auto& w) { w.commitDataForSession(); }},
    {"ImportReload", [](EditGate&, auto& w) { w.ImportCommand1(); }},
};

INSTANTIATE_TEST_SUITE_P(Paths, EveryPath, ::testing::ValuesIn(kPaths),
                         [](const auto& param) { return std::string(param.param.name); });

// Every menu entry, pop-up entry and toolbar key writes the pending edit before it runs.
class EveryEntryFirstSaves : public EditGate, public ::testing::WithParamInterface<QString> {};

TEST_P(EveryEntryFirstSaves, WritesThePendingEditFirst) {
    openSample();
    typePending(QStringLiteral("e"));
    const QString entry = GetParam();
    const bool ends = entry == u"mnuBeenden" || entry == u"tbrEnde";
    if (!ends) {
        platform_->answers = {Answer::No, Answer::No, Answer::No};
    }
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    QAction* action =
        entry.startsWith(u"tbr") ? window().bars().action(entry) : window().menus().action(entry);
    ASSERT_NE(action, nullptr) << entry.toStdString();
    action->trigger();
    QApplication::processEvents();
    closeOtherWindows();
    if (!ends) {
        platform_->answers.clear();
        window().close();  // Yes: the run is kept
    }
    expectStored(QStringLiteral("Albers"), QStringLiteral("e"));
}

QStringList allEntries() {
    QStringList names;
    mainwindow::MainWindow probe;
    for (QAction* action : probe.findChildren<QAction*>()) {
        const QString name = action->objectName();
        if ((name.startsWith(u"mnu") || name.startsWith(u"pop", Qt::CaseInsensitive) ||
             name == u"ErsteSchritteDialog") &&
            action->menu() == nullptr && probe.menus().action(name) == action &&
            !names.contains(name)) {
            names << name;
        }
    }
    for (const auto& button : richtext::CommandBars::buttons()) {
        names << QString::fromUtf8(button.key);
    }
    return names;
}

INSTANTIATE_TEST_SUITE_P(MenusBarsAndPopups, EveryEntryFirstSaves,
                         ::testing::ValuesIn(allEntries()), [](const auto& param) {
                             QString name = param.param;
                             return name.replace(QStringLiteral("ü"), QStringLiteral("ue"))
                                 .replace(QStringLiteral("ö"), QStringLiteral("oe"))
                                 .toStdString();
                         });

// Written out here rather than read from the program's own table, so a swap there fails.
const std::pair<int, const char*> kBoxColumns[] = {
    {2, "Vorname"}, {3, "Telefon"},   {4, "Fax"},       {5, "Mobiltelefon"},  {7, "Nachname"},
    {8, "Firma"},   {9, "Abteilung"}, {10, "Straße"},   {11, "Postleitzahl"}, {12, "Ort"},
    {13, "Nr"},     {14, "Vorwahl"},  {15, "Webseite"}, {17, "EMailAdresse"}, {18, "Anrede"},
};

TEST_F(EditGate, EachBoxIsSavedIntoItsOwnColumn) {
    openSample();
    for (const auto& [number, column] : kBoxColumns) {
        focus(box(number));
        box(number)->selectAll();
        QTest::keyClicks(box(number), QStringLiteral("r") + QString::number(number));
        focus(window().ui().List1);
    }
    type(window().ui().RichTextBox1, QStringLiteral("rAdresse"));
    type(window().ui().RichTextBox2, QStringLiteral("rNotiz"));
    focus(box(2));
    auto s = store::CardStore::open(home_.storeFile());
    for (const auto& [number, column] : kBoxColumns) {
        auto stmt = s.db().prepare(std::string("SELECT \"") + column +
                                   "\" FROM Kontakte WHERE Schlagworte = 'Albers'");
        ASSERT_TRUE(stmt.step());
        EXPECT_EQ(stmt.textOrEmpty(0), QStringLiteral("r") + QString::number(number)) << column;
    }
    EXPECT_EQ(std::size(kBoxColumns),
              static_cast<std::size_t>(
                  std::count_if(mainwindow::fieldTable().begin(), mainwindow::fieldTable().end(),
                                [](const auto& field) { return field.saved; })));
    expectStored(QStringLiteral("Albers"), QStringLiteral("r"));
}

TEST_F(EditGate, TypingIntoAnySavingBoxMakesTheExitAsk) {
    for (const auto& field : mainwindow::fieldTable()) {
        if (!field.saved) {
            continue;
        }
        openSample();
        QTest::keyClicks(box(field.number), QStringLiteral("x"));
        platform_->messages.clear();
        platform_->answers = {Answer::Yes};
        window().close();
        EXPECT_EQ(platform_->messages.size(), 1U) << "Text" << field.number;
        window_.reset();
        std::filesystem::remove(home_.storeFile());
    }
}

// A value another program wrote into a field the user left alone is not written back over.
TEST_F(EditGate, ASaveWritesOnlyTheFieldsTypedInto) {
    openSample();
    {
        auto other = store::CardStore::open(home_.storeFile());
        other.writeFields(*other.findByHeading(QStringLiteral("Albers")),
                          {{Field::Ort, QStringLiteral("Hof")}});
    }
    focus(box(3));
    QTest::keyClicks(box(3), QStringLiteral("4711"));
    ASSERT_TRUE(window().editor().commit());
    const store::Card stored = storedCard(QStringLiteral("Albers"));
    EXPECT_EQ(stored.text(Field::Telefon), QStringLiteral("4711"));
    EXPECT_EQ(stored.text(Field::Ort), QStringLiteral("Hof"));
}

// What is typed waits beside the store until it is saved; the next start offers it back.
TEST_F(EditGate, TypedTextIsKeptBesideTheStoreUntilSavedAndOfferedAtTheNextStart) {
    openSample();
    typePending(QStringLiteral("r"));
    window().editor().keepPendingNow();
    auto edit = store::readPendingEdit(home_.storeFile());
    ASSERT_TRUE(edit.has_value());
    EXPECT_EQ(edit->heading, QStringLiteral("Albers"));
    EXPECT_EQ(edit->values.size(), 17U);  // 15 boxes and both blocks
    ASSERT_TRUE(window().editor().commit());
    EXPECT_FALSE(store::readPendingEdit(home_.storeFile()).has_value());

    edit->values = {{Field::Ort, QStringLiteral("Nirgendwo")}};
    store::writePendingEdit(home_.storeFile(), *edit);
    window_.reset();
    platform_->messages.clear();
    platform_->answers.push_back(Answer::No);
    openExisting();
    QCoreApplication::processEvents();
    ASSERT_FALSE(platform_->messages.empty());
    EXPECT_EQ(platform_->messages[0].text,
              QStringLiteral("Nicht gespeicherte Eingaben zu „Albers“ gefunden. Übernehmen?"));
    EXPECT_FALSE(store::readPendingEdit(home_.storeFile()).has_value());
    EXPECT_EQ(storedCard(QStringLiteral("Albers")).text(Field::Ort), QStringLiteral("r12"));
}

TEST_F(EditGate, ANewCardIsTheCardShown) {
    openSample();
    chooseCategory(QStringLiteral("Privat"));
    platform_->inputs = {QStringLiteral("Klaus")};
    window().mnuNeuekarte();
    ASSERT_TRUE(window().shownCardId());
    EXPECT_EQ(window().ui().label[6]->text(), QStringLiteral("Notizen zu:  Klaus"));
    type(box(8), QStringLiteral("Neu"));
    focus(box(9));
    EXPECT_EQ(storedCard(QStringLiteral("Klaus")).text(Field::Firma), QStringLiteral("Neu"));
    EXPECT_EQ(storedCard(QStringLiteral("Bauer Klaus")).text(Field::Firma), QString());
}

TEST_F(EditGate, ExportLeavesTheRunUnchanged) {
    openSample();
    window().menus().action(QStringLiteral("mnuExportieren"))->trigger();
    closeOtherWindows();
    EXPECT_FALSE(window().changeFlag());
}

TEST_F(EditGate, WhileAnImportWritesTheWindowTakesNoInputAndClosingAsks) {
    openSample();
    {
        const session::Session::Busy importing(window().session(), session::RunState::Importing);
        EXPECT_FALSE(window().centralWidget()->isEnabled());
        platform_->answers = {Answer::No};
        EXPECT_FALSE(window().close());
        EXPECT_TRUE(told(QStringLiteral("Der Import läuft noch.")));
    }
    EXPECT_TRUE(window().centralWidget()->isEnabled());
}

// How long it takes is measured by the benchmark (show_picture_card).
TEST_F(EditGate, AHugeNoteIsShownEditedAndSaved) {
    const QString word(10 * 1024 * 1024, u'x');
    open({QStringLiteral("Privat")}, {{QStringLiteral("Anna"),
                                       QStringLiteral("Privat"),
                                       {{Field::Notizen, store::simpleRtf({word})}}},
                                      {QStringLiteral("Bernd"), QStringLiteral("Privat")}});
    clickLine(0);
    auto* notes = window().ui().RichTextBox2;
    focus(notes);
    notes->moveCursor(QTextCursor::Start);
    QTest::keyClicks(notes, QStringLiteral("y"));
    clickLine(1);
    const QString saved = richtext::plainTextFromStored(
        storedCard(QStringLiteral("Anna")).text(Field::Notizen), richtext::LineBreak::Lf);
    EXPECT_EQ(saved.size(), word.size() + 1);
    EXPECT_TRUE(saved.startsWith(u'y'));
}

TEST_F(EditGate, EditingANoteThatCannotKeepItsFormatsSaysSoOncePerCard) {
    const QString lossy =
        QStringLiteral(R"({\rtf1 Gelb {\highlight7 markiert} und {\caps gross}\par})");
    open({QStringLiteral("Privat")},
         {{QStringLiteral("Anna"), QStringLiteral("Privat"), {{Field::Notizen, lossy}}},
          {QStringLiteral("Bernd"),
           QStringLiteral("Privat"),
           {{Field::Notizen, store::simpleRtf({QStringLiteral("schlicht")})}}}});
    const QString message =
        QStringLiteral("Einige Formatierungen dieser Notiz können nicht erhalten werden.");
    auto* status = window().ui().StatusBar1;
    auto* notes = window().ui().RichTextBox2;
    clickLine(0);
    EXPECT_TRUE(status->currentMessage().isEmpty());  // shown is not saved
    focus(notes);
    QTest::keyClicks(notes, QStringLiteral("x"));
    EXPECT_EQ(status->currentMessage(), message);
    status->clearMessage();
    QTest::keyClicks(notes, QStringLiteral("y"));
    EXPECT_NE(status->currentMessage(), message);  // once for the card
    clickLine(1);
    const QString saved = storedCard(QStringLiteral("Anna")).text(Field::Notizen);
    EXPECT_FALSE(saved.contains(QStringLiteral("highlight")));
    EXPECT_TRUE(richtext::plainTextFromStored(saved, richtext::LineBreak::Lf)
                    .contains(QStringLiteral("markiert und gross")));
    // A note that keeps everything says nothing.
    focus(notes);
    QTest::keyClicks(notes, QStringLiteral("z"));
    EXPECT_NE(status->currentMessage(), message);
    // Back on the first card, whose note now holds what it can keep, nothing is lost.
    clickLine(0);
    focus(notes);
    QTest::keyClicks(notes, QStringLiteral("w"));
    EXPECT_NE(status->currentMessage(), message);
}

// A table the block cannot hold shows as its text; editing it asks nothing, says once that
// formats go, and saves the text with the edit.
TEST_F(EditGate, ATableTheNoteCannotHoldIsEditedAsItsText) {
    const QString table = QStringLiteral(R"({\rtf1\trowd\cellx1000\intbl a\cell\row)"
                                         R"(\trowd\cellx2000\intbl b\cell\row\pard Ende\par})");
    open({QStringLiteral("Privat")},
         {{QStringLiteral("Anna"), QStringLiteral("Privat"), {{Field::Notizen, table}}},
          {QStringLiteral("Bernd"), QStringLiteral("Privat")}});
    auto* notes = window().ui().RichTextBox2;
    clickLine(0);
    EXPECT_EQ(notes->toPlainText(), QStringLiteral("a\nb\nEnde"));
    focus(notes);
    notes->moveCursor(QTextCursor::Start);
    QTest::keyClicks(notes, QStringLiteral("x"));
    EXPECT_EQ(window().ui().StatusBar1->currentMessage(),
              QStringLiteral("Einige Formatierungen dieser Notiz können nicht erhalten werden."));
    clickLine(1);
    EXPECT_TRUE(platform_->messages.empty());
    EXPECT_EQ(richtext::plainTextFromStored(storedCard(QStringLiteral("Anna")).text(Field::Notizen),
                                            richtext::LineBreak::Lf),
              QStringLiteral("xa\nb\nEnde"));
}

// ---- a store that refuses to be written ----

TEST_F(EditGate, ASaveThatFailsKeepsTheTextAndTriesAgain) {
    openSample();
    auto other = lockStore();
    typePending(QStringLiteral("s"));
    focus(box(8));
    clickLine(1);  // leaves the box and picks another card
    EXPECT_TRUE(told(QStringLiteral("nicht gespeichert")));
    EXPECT_TRUE(told(QStringLiteral("belegt")));
    EXPECT_EQ(box(8)->text(), QStringLiteral("s8"));  // still the typed card
    EXPECT_EQ(window().ui().List1->currentIndex().row(), 0);
    EXPECT_EQ(std::count_if(platform_->messages.begin(), platform_->messages.end(),
                            [](const auto& m) { return m.title == u"Karte nicht gespeichert"; }),
              1);  // one click, one message
    EXPECT_TRUE(store::readPendingEdit(home_.storeFile()).has_value()) << "kept while refused";
    other->db().exec("ROLLBACK");
    letTheQuietPass();
    clickLine(1);
    expectStored(QStringLiteral("Albers"), QStringLiteral("s"));
    EXPECT_FALSE(store::readPendingEdit(home_.storeFile()).has_value());
}

// The first change of the run starts a backup copy; another program's lock is told all the
// same after the usual short wait, not held for as long as a copy may take.
TEST_F(EditGate, AnotherProgramsLockIsToldEvenWhileOurBackupCopyRuns) {
    brief_.emplace();  // before the window sets its store's wait
    openSample();
    auto other = store::Database::open(home_.storeFile());
    other.exec("BEGIN IMMEDIATE");  // our copy may still read
    typePending(QStringLiteral("w"));
    EXPECT_FALSE(window().editor().commit());
    EXPECT_TRUE(told(QStringLiteral("nicht gespeichert")));
    other.exec("ROLLBACK");
    letTheQuietPass();
    EXPECT_TRUE(window().editor().commit());
    expectStored(QStringLiteral("Albers"), QStringLiteral("w"));
}

struct FailingCommand {
    const char* name;
    int category;  // chosen in the selector before the store is locked
    std::function<void(mainwindow::MainWindow&, veltro::testing::RecordingPlatform&)> run;
};

void PrintTo(const FailingCommand& command, std::ostream* os) {
    *os << command.name;
}

class UnderALock : public EditGate, public ::testing::WithParamInterface<FailingCommand> {};

TEST_P(UnderALock, TellsAndChangesNothing) {
    openSample();
    window().ui().Combo1->setCurrentIndex(GetParam().category);
    window().Combo1_Click();
    const QStringList before = listLines();
    const int categories = window().ui().Combo1->count();
    auto other = lockStore();
    GetParam().run(window(), *platform_);
    QApplication::processEvents();
    EXPECT_TRUE(told(QStringLiteral("belegt"))) << GetParam().name;
    EXPECT_FALSE(told(QStringLiteral("anderen Namen")));
    EXPECT_EQ(listLines(), before);
    EXPECT_EQ(window().ui().Combo1->count(), categories);
    other->db().exec("ROLLBACK");
    auto s = store::CardStore::open(home_.storeFile());
    EXPECT_EQ(s.headings().size(), 3U);
    EXPECT_EQ(s.categories().size(), 2U);
}

void trigger(mainwindow::MainWindow& w, const char* entry) {
    w.menus().action(QString::fromUtf8(entry))->trigger();
}

const FailingCommand kFailing[] = {
    {"NewCard", 1,
     [](auto& w, auto& p) {
         p.inputs = {QStringLiteral("Neu")};
         trigger(w, "mnuNeuekarte");
     }},
    {"Rename", 0,
     [](auto& w, auto& p) {
         p.inputs = {QStringLiteral("Anders")};
         trigger(w, "mnukarteRen");
     }},
    {"Delete", 0,
     [](auto& w, auto& p) {
         p.answers = {Answer::Yes};
         trigger(w, "mnukarteloschen");
     }},
    {"DeleteCategory", 1,
     [](auto& w, auto& p) {
         p.answers = {Answer::Yes};
         trigger(w, "mnuKategorieLoschen");
     }},
    {"RenameCategory", 1,
     [](auto& w, auto& p) {
         p.answers = {Answer::Yes};
         trigger(w, "mnuKategorieUmbenennen");
         w.ui().box(19)->selectAll();
         QTest::keyClicks(w.ui().box(19), QStringLiteral("Freunde"));
         QTest::keyClick(w.ui().box(19), Qt::Key_Return);
     }},
    {"NewCategory", 0,
     [](auto& w, auto&) {
         trigger(w, "mnuNeueKategorie");
         QTest::keyClicks(w.ui().box(19), QStringLiteral("Verein"));
         QTest::keyClick(w.ui().box(19), Qt::Key_Return);
     }},
};

INSTANTIATE_TEST_SUITE_P(Commands, UnderALock, ::testing::ValuesIn(kFailing),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(EditGate, AFullDiskIsToldAndTheTextStays) {
    openSample();
    auto& db = window().cardStore()->db();
    auto pages = db.prepare("PRAGMA page_count");
    pages.step();
    db.exec("PRAGMA max_page_count = " + std::to_string(pages.integer(0)));
    window().ui().RichTextBox2->insertPlainText(QString(20000, u'x'));
    clickLine(1);
    EXPECT_TRUE(told(QStringLiteral("kein Platz")));
    EXPECT_EQ(window().ui().RichTextBox2->plainText().size(), 20000);
}

}  // namespace
