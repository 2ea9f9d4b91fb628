// "Weitere Angaben", the photo and the map links of the shown card: saved through the same gate
// as its fields, nothing typed lost, and refused input told in German.
#include "MainWindowFixture.h"

#include "mainwindow/CardEditor.h"
#include "mainwindow/EntryList.h"
#include "mainwindow/ExtrasPanel.h"
#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/PendingEdit.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace veltro;
using platform::Answer;
using store::EntryKind;

namespace {

class ExtrasPanelTest : public veltro::testing::MainWindowFixture {
protected:
    void SetUp() override {
        open({QStringLiteral("Privat")}, {{QStringLiteral("Albers"), QStringLiteral("Privat")},
                                          {QStringLiteral("Bauer"), QStringLiteral("Privat")}});
        window().editor().setClock([this] { return now_; });
        clickLine(0);
        run("mnuWeitereAngaben");
    }
    [[nodiscard]] QLineEdit* line(const char* name) {
        return window().ui().extras->findChild<QLineEdit*>(QLatin1String(name));
    }
    [[nodiscard]] mainwindow::EntryList* list(EntryKind kind) {
        return window().ui().extras->findChild<mainwindow::EntryList*>(QStringLiteral("Eintraege") +
                                                                       store::kindName(kind));
    }
    // Adds an entry of the kind and types its text; the new entry has the focus.
    void addEntry(EntryKind kind, const QString& text) {
        for (auto* button : list(kind)->findChildren<QPushButton*>()) {
            if (button->text() == u"Hinzufügen") {
                button->click();
            }
        }
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    [[nodiscard]] store::CardExtras stored(const QString& heading) const {
        auto cards = store::CardStore::open(home_.storeFile());
        return store::loadCardExtras(cards.db(), *cards.findByHeading(heading));
    }

    std::chrono::steady_clock::time_point now_;
};

TEST_F(ExtrasPanelTest, TypedDetailsAreSavedWithTheFieldsAsOneStepToUndo) {
    ASSERT_TRUE(window().ui().WeitereAngaben->isVisible());
    type(box(8), QStringLiteral("Werft"));
    type(line("Spitzname"), QStringLiteral("Alb"));
    type(line("Geburtstag"), QStringLiteral("1.2.1980"));
    addEntry(EntryKind::Telefon, QStringLiteral("0171 5"));
    addEntry(EntryKind::Anschrift, QStringLiteral("Kai 3"));
    clickLine(1);  // the gate saves everything typed before the next card shows
    store::CardExtras saved = stored(QStringLiteral("Albers"));
    EXPECT_EQ(saved.nickname, QStringLiteral("Alb"));
    EXPECT_EQ(saved.birthday, (store::PartialDate{1980, 2, 1}));
    ASSERT_EQ(saved.entries.size(), 2U);
    EXPECT_EQ(saved.entries[0],
              store::Entry(EntryKind::Telefon, store::EntryType::Privat, QStringLiteral("0171 5")));
    EXPECT_EQ(saved.entries[1].value, QStringLiteral("Kai 3"));
    EXPECT_EQ(storedCard(QStringLiteral("Albers")).text(store::Field::Firma), u"Werft");
    EXPECT_TRUE(line("Spitzname")->text().isEmpty()) << "Bauer has none";

    clickLine(0);
    EXPECT_EQ(line("Geburtstag")->text(), QStringLiteral("01.02.1980"));
    EXPECT_EQ(list(EntryKind::Telefon)->entries(), std::vector{saved.entries[0]});
    run("mnuRueckgaengig");
    EXPECT_EQ(stored(QStringLiteral("Albers")), store::CardExtras());
    EXPECT_EQ(storedCard(QStringLiteral("Albers")).text(store::Field::Firma), QString());
    EXPECT_TRUE(line("Spitzname")->text().isEmpty());
}

// A day the calendar lacks is told and stays typed; the rest is saved, and the card stays
// shown until the date is mended.
TEST_F(ExtrasPanelTest, AnImpossibleDayIsToldAndKeptUntilMended) {
    type(line("Rolle"), QStringLiteral("Chefin"));
    type(line("Jahrestag"), QStringLiteral("31.04."));
    clickLine(1);
    EXPECT_TRUE(told(QStringLiteral("„31.04.“ gibt es im Kalender nicht")));
    EXPECT_EQ(line("Jahrestag")->text(), QStringLiteral("31.04."));
    EXPECT_EQ(window().ui().List1->currentIndex().row(), 0);
    EXPECT_EQ(stored(QStringLiteral("Albers")).role, QStringLiteral("Chefin"));
    EXPECT_FALSE(stored(QStringLiteral("Albers")).anniversary.has_value());
    ASSERT_TRUE(store::readPendingEdit(home_.storeFile()).has_value());

    now_ += std::chrono::seconds(1);
    line("Jahrestag")->setText(QStringLiteral("30.04."));
    clickLine(1);
    EXPECT_EQ(window().ui().List1->currentIndex().row(), 1);
    EXPECT_EQ(stored(QStringLiteral("Albers")).anniversary, (store::PartialDate{0, 4, 30}));
    EXPECT_FALSE(store::readPendingEdit(home_.storeFile()).has_value());
}

// An end that leaves no time to save: the details typed wait beside the store and come back
// at the next start; an entry removed is saved at once.
TEST_F(ExtrasPanelTest, TypedDetailsOutliveAnEndWithoutSavingAndRemovalsSaveAtOnce) {
    addEntry(EntryKind::EMail, QStringLiteral("a@b.de"));
    addEntry(EntryKind::EMail, QStringLiteral("c@d.de"));
    focus(line("Titel"));
    ASSERT_EQ(stored(QStringLiteral("Albers")).entries.size(), 2U);
    list(EntryKind::EMail)->findChildren<QToolButton*>().front()->click();
    QApplication::processEvents();
    EXPECT_EQ(stored(QStringLiteral("Albers")).entries.front().value, QStringLiteral("c@d.de"));

    QTest::keyClicks(line("Titel"), QStringLiteral("Dr."));
    window().editor().keepPendingNow();
    window_.reset();  // as a kill would leave it
    EXPECT_TRUE(stored(QStringLiteral("Albers")).title.isEmpty());
    platform_->answers.push_back(Answer::Yes);
    openExisting();
    QCoreApplication::processEvents();
    EXPECT_EQ(stored(QStringLiteral("Albers")).title, QStringLiteral("Dr."));
    EXPECT_FALSE(store::readPendingEdit(home_.storeFile()).has_value());
}

}  // namespace
