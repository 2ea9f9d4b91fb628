#include "MainWindowFixture.h"

#include "mainwindow/CardEditor.h"
#include "mainwindow/DuplicatesWindow.h"
#include "mainwindow/MainMenus.h"
#include "richtext/StoredText.h"
#include "store/SampleCards.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace veltro;
using platform::Answer;
using store::Field;
using veltro::testing::MainWindowFixture;

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kTelefonRow = static_cast<int>(store::index(Field::Telefon));
constexpr int kOrtRow = static_cast<int>(store::index(Field::Ort));
constexpr int kMailRow = static_cast<int>(store::index(Field::EMailAdresse));

class DuplicatesWindowTest : public MainWindowFixture {
protected:
    void openPair() {
        open({u"Privat"_s, u"Kunden"_s},
             {{u"Müller Anna"_s,
               u"Privat"_s,
               {{Field::Telefon, u"0951 123456"_s},
                {Field::Ort, u"Bamberg"_s},
                {Field::Notizen, store::simpleRtf({u"Alte Notiz"_s})}}},
              {u"Bauer Max"_s, u"Privat"_s},
              {u"Mueller Anna_1"_s,
               u"Kunden"_s,
               {{Field::Telefon, u"0951 654321"_s},
                {Field::Ort, u"Bamberg"_s},
                {Field::EMailAdresse, u"anna@x.de"_s},
                {Field::Notizen, store::simpleRtf({u"Neue Notiz"_s})}}}});
        keep_ = *window().cardStore()->findByHeading(u"Müller Anna");
        other_ = *window().cardStore()->findByHeading(u"Mueller Anna_1");
    }

    // Opens the window from the menu and runs `drive` on it while it is shown.
    void withWindow(const std::function<void(mainwindow::DuplicatesWindow&)>& drive) {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            auto* shown =
                qobject_cast<mainwindow::DuplicatesWindow*>(QApplication::activeModalWidget());
            ASSERT_NE(shown, nullptr);
            driven = true;
            drive(*shown);
            shown->findChild<QPushButton*>(u"cmdSchliessen"_s)->click();
        });
        window().menus().action(u"mnuDoppelteKarten"_s)->trigger();
        EXPECT_TRUE(driven);
    }

    // The merge runs on the session's thread; the window is enabled again at its end.
    static void merge(mainwindow::DuplicatesWindow& w) {
        child<QPushButton>(w, u"cmdZusammenfuehren")->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.isEnabled(); }, 30000));
    }
    template <typename W>
    static W* child(mainwindow::DuplicatesWindow& w, const char16_t* name) {
        return w.findChild<W*>(QString::fromUtf16(name));
    }

    QString fieldOf(std::int64_t id, Field field) {
        return window().cardStore()->loadCard(id)->text(field);
    }

    std::int64_t keep_ = 0;
    std::int64_t other_ = 0;
};

TEST_F(DuplicatesWindowTest, ShowsTheGroupSideBySideAndMergesTheTickedValues) {
    openPair();
    withWindow([&](mainwindow::DuplicatesWindow& w) {
        auto* groups = child<QListWidget>(w, u"lstGruppen");
        ASSERT_EQ(groups->count(), 1);
        EXPECT_TRUE(groups->item(0)->text().startsWith(u"Müller Anna – Mueller Anna_1\n"_s));
        EXPECT_TRUE(groups->item(0)->text().contains(u"gleiche Überschrift"_s));
        auto* table = child<QTableWidget>(w, u"tblFelder");
        ASSERT_EQ(table->columnCount(), 2);
        EXPECT_EQ(table->horizontalHeaderItem(0)->text(), u"Müller Anna (bleibt)"_s);
        EXPECT_EQ(table->verticalHeaderItem(kTelefonRow)->text(), u"≠ Telefon"_s);
        EXPECT_EQ(table->verticalHeaderItem(kOrtRow)->text(), u"Ort"_s);
        // The kept card's value, the other's where the kept one has none.
        EXPECT_EQ(table->item(kTelefonRow, 0)->checkState(), Qt::Checked);
        EXPECT_EQ(table->item(kMailRow, 1)->checkState(), Qt::Checked);
        table->item(kTelefonRow, 1)->setCheckState(Qt::Checked);
        EXPECT_EQ(table->item(kTelefonRow, 0)->checkState(), Qt::Unchecked) << "one tick a row";
        table->item(kTelefonRow, 1)->setCheckState(Qt::Unchecked);
        EXPECT_EQ(table->item(kTelefonRow, 1)->checkState(), Qt::Checked) << "never none";
        merge(w);
        EXPECT_EQ(groups->count(), 0);
        EXPECT_FALSE(child<QPushButton>(w, u"cmdZusammenfuehren")->isEnabled());
    });
    EXPECT_FALSE(window().cardStore()->loadCard(other_));
    EXPECT_EQ(fieldOf(keep_, Field::Telefon), u"0951 654321"_s);
    EXPECT_EQ(fieldOf(keep_, Field::EMailAdresse), u"anna@x.de"_s);
    const QString notes =
        richtext::plainTextFromStored(fieldOf(keep_, Field::Notizen), richtext::LineBreak::Lf);
    EXPECT_TRUE(notes.contains(u"Alte Notiz"_s) && notes.contains(u"Neue Notiz"_s) &&
                notes.contains(u"Telefon: 0951 123456"_s))
        << notes.toStdString();
    EXPECT_EQ(listLines(), (QStringList{u"Bauer Max"_s, u"Müller Anna"_s}));
    EXPECT_TRUE(window().changeFlag());

    // One step takes the whole merge back.
    auto* undo = window().menus().action(u"mnuRueckgaengig"_s);
    EXPECT_TRUE(undo->text().contains(u"Karten zusammenführen"_s)) << undo->text().toStdString();
    undo->trigger();
    EXPECT_EQ(fieldOf(other_, Field::Telefon), u"0951 654321"_s);
    EXPECT_EQ(fieldOf(keep_, Field::Telefon), u"0951 123456"_s);
    EXPECT_EQ(listLines().size(), 3);
    EXPECT_TRUE(listLines().contains(u"Mueller Anna_1"_s));
}

TEST_F(DuplicatesWindowTest, TheShownCardIsSavedFirstAndReplacedByTheMergedOne) {
    openPair();
    clickLine(static_cast<int>(listLines().indexOf(u"Mueller Anna_1"_s)));
    ASSERT_EQ(window().shownCardId(), other_);
    box(12)->setFocus();
    box(12)->selectAll();
    type(box(12), u"Coburg"_s);  // Ort, not yet saved
    withWindow([&](mainwindow::DuplicatesWindow& w) {
        auto* table = child<QTableWidget>(w, u"tblFelder");
        EXPECT_EQ(table->item(kOrtRow, 1)->text(), u"Coburg"_s) << "saved before the search";
        merge(w);
    });
    EXPECT_EQ(window().shownCardId(), keep_);
    EXPECT_EQ(box(12)->text(), u"Bamberg"_s);
    EXPECT_TRUE(fieldOf(keep_, Field::Notizen).contains(u"Ort: Coburg"_s));
}

TEST_F(DuplicatesWindowTest, AStoreErrorIsToldInGermanAndTheGroupStays) {
    openPair();
    withWindow([&](mainwindow::DuplicatesWindow& w) {
        // The other card vanishes behind the window's back: the merge fails and says why.
        window().cardStore()->deleteCard(other_);
        merge(w);
        ASSERT_EQ(platform_->messages.size(), 1U);
        EXPECT_EQ(platform_->messages[0].text,
                  u"„Zusammenführen“ konnte nicht ausgeführt werden.\n\n"
                  "Eine der Karten ist nicht mehr in der Kartei."_s);
        EXPECT_EQ(child<QListWidget>(w, u"lstGruppen")->count(), 1) << "the group stays";
    });
    EXPECT_TRUE(window().cardStore()->loadCard(keep_));
}

TEST_F(DuplicatesWindowTest, NoDuplicatesIsRemembered) {
    open({u"K"_s}, {{u"Weiß Eva"_s, u"K"_s}, {u"Weiss Eva"_s, u"K"_s}});
    withWindow([&](mainwindow::DuplicatesWindow& w) {
        child<QPushButton>(w, u"cmdKeineDubletten")->click();
        EXPECT_EQ(child<QListWidget>(w, u"lstGruppen")->count(), 0);
    });
    window().menus().action(u"mnuDoppelteKarten"_s)->trigger();
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_EQ(platform_->messages[0].text, u"Es wurden keine doppelten Karten gefunden."_s);
}

TEST_F(DuplicatesWindowTest, ANewCardLikeAnExistingOneNamesItInTheQuestion) {
    openPair();
    chooseCategory(u"Privat"_s);
    platform_->inputs.push_back(u"Dr. Bauer MAX"_s);
    platform_->answers.push_back(Answer::No);
    window().menus().action(u"mnuNeuekarte"_s)->trigger();
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_EQ(platform_->messages[0].text,
              u"Es gibt schon eine Karte mit fast gleicher Überschrift:\n\n„Bauer Max“\n\n"
              "Soll die neue Karte „Dr. Bauer MAX“ trotzdem angelegt werden?"_s);
    EXPECT_FALSE(window().cardStore()->findByHeading(u"Dr. Bauer MAX"));

    platform_->inputs.push_back(u"Dr. Bauer MAX"_s);
    platform_->answers.push_back(Answer::Yes);
    window().menus().action(u"mnuNeuekarte"_s)->trigger();
    EXPECT_TRUE(window().cardStore()->findByHeading(u"Dr. Bauer MAX"));
}

}  // namespace
