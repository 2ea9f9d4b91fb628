#include "MainWindowFixture.h"

#include "base/Error.h"
#include "maintenance/AssignCategoryDialog.h"
#include "mainwindow/MainMenus.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <new>
#include <stdexcept>

using namespace veltro;
using platform::Answer;
using store::Field;
using veltro::testing::GivenCard;
using veltro::testing::MainWindowFixture;

namespace {

class Commands : public MainWindowFixture {
protected:
    void openSample() {
        open({QStringLiteral("Privat"), QStringLiteral("Firma")},
             {{QStringLiteral("Baumann"),
               QStringLiteral("Firma"),
               {{Field::Firma, QStringLiteral("B GmbH")}}},
              {QStringLiteral("Bau"),
               QStringLiteral("Firma"),
               {{Field::Firma, QStringLiteral("Bau AG")}}},
              {QStringLiteral("Meier"), QStringLiteral("Privat")}});
    }
    QStringList storeHeadings() {
        QStringList headings;
        for (const auto& row : window().cardStore()->headings()) {
            headings << row.heading + u'@' + row.category;
        }
        return headings;
    }
    int selectLine(const QString& heading) {
        const int row = static_cast<int>(listLines().indexOf(heading));
        clickLine(row);
        return row;
    }
};

TEST_F(Commands, NewCardInAllIsRefusedLoudlyFromTheMenuAndQuietlyFromTheButton) {
    openSample();
    run("mnuNeuekarte");
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_EQ(
        platform_->messages[0].text,
        QStringLiteral("Wählen Sie bitte zuerst eine Kategorie aus!\nIn der Kategorie  -Alle-  "
                       "kann keine Karte/Adresse angelegt werden.\n"));
    EXPECT_EQ(platform_->beeps, 1);
    EXPECT_TRUE(platform_->inputRequests.empty());

    platform_->inputs.push_back(QStringLiteral("Neu"));
    QTest::mouseClick(window().ui().Command1, Qt::LeftButton);
    EXPECT_EQ(platform_->inputRequests.size(), 1U);  // asked, then dropped
    EXPECT_EQ(storeHeadings().size(), 3);
}

TEST_F(Commands, ANewCardGetsTheNextNumberAndIsShownReadyForInput) {
    openSample();
    chooseCategory(QStringLiteral("Privat"));
    platform_->inputs.push_back(QStringLiteral("Zimmermann"));
    run("mnuNeuekarte");
    ASSERT_EQ(platform_->inputRequests.size(), 1U);
    EXPECT_EQ(platform_->inputRequests[0].title, QStringLiteral("Neue Karte/Adresse "));
    EXPECT_TRUE(platform_->inputRequests[0].prompt.startsWith(
        QStringLiteral("Gewählte Kategorie:  Privat\n____________________________________\n\n")));
    EXPECT_EQ(storedCard(QStringLiteral("Zimmermann")).text(Field::Nr), QStringLiteral("4"));
    EXPECT_EQ(storedCard(QStringLiteral("Zimmermann")).text(Field::Kategorien),
              QStringLiteral("Privat"));
    EXPECT_EQ(listLines(), QStringList{"Zimmermann"});
    EXPECT_EQ(box(13)->text(), QStringLiteral("4"));
    EXPECT_EQ(panel(2), QStringLiteral("Karten: 1/4"));
    EXPECT_TRUE(box(18)->hasFocus());
    EXPECT_TRUE(window().changeFlag());
}

// Whatever a command throws is told in German under its name, never in a library's
// English, and the window goes on working.
TEST_F(Commands, AnyFailureOfACommandIsToldAndTheWindowGoesOn) {
    struct Case {
        std::function<void()> thrower;
        QString told;
    };
    const Case cases[] = {
        {[] { throw std::runtime_error("vector::_M_range_check"); },
         QStringLiteral("Im Programm ist ein interner Fehler aufgetreten; es wurde nichts weiter "
                        "ausgeführt.")},
        {[] { throw std::bad_alloc(); }, QStringLiteral("Der Arbeitsspeicher reicht nicht aus.")},
        {[] { throw Error(Error::Kind::Input, QStringLiteral("Der Name ist zu lang.")); },
         QStringLiteral("Der Name ist zu lang.")},
    };
    openSample();
    chooseCategory(QStringLiteral("Privat"));
    for (const Case& c : cases) {
        platform_->messages.clear();
        platform_->onInput = c.thrower;
        run("mnuNeuekarte");
        ASSERT_EQ(platform_->messages.size(), 1U);
        EXPECT_EQ(
            platform_->messages[0].text,
            QStringLiteral("„Neue Karte/Adresse“ konnte nicht ausgeführt werden.\n\n") + c.told);
        EXPECT_EQ(storeHeadings().size(), 3);
    }
    platform_->onInput = {};
    platform_->inputs.push_back(QStringLiteral("Zimmermann"));
    run("mnuNeuekarte");
    EXPECT_EQ(listLines(), QStringList{"Zimmermann"});
}

TEST_F(Commands, ARepeatedHeadingInAnyCategoryAndCaseIsRefused) {
    openSample();
    chooseCategory(QStringLiteral("Firma"));
    platform_->inputs.push_back(QStringLiteral("meier"));
    run("mnuNeuekarte");
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_EQ(platform_->messages[0].text,
              QStringLiteral("Vergeben Sie bitte für die neue Karte einen anderen Namen.  "));
    EXPECT_EQ(platform_->messages[0].title, QStringLiteral("Karte schon vorhanden"));
    EXPECT_EQ(storeHeadings().size(), 3);
    EXPECT_TRUE(box(2)->text().isEmpty());
    EXPECT_TRUE(listLines().contains(QStringLiteral("Meier")));
}

TEST_F(Commands, DeleteAsksAndRemovesTheShownCardOnly) {
    openSample();
    selectLine(QStringLiteral("Bau"));
    platform_->answers = {Answer::No, Answer::Yes};
    run("mnukarteloschen");
    EXPECT_EQ(storeHeadings().size(), 3);
    EXPECT_EQ(platform_->messages[0].text, QStringLiteral("Soll die Karte 'Bau' gelöscht werden?"));
    EXPECT_EQ(platform_->messages[0].title, QStringLiteral("Karte löschen."));
    selectLine(QStringLiteral("Bau"));
    QTest::mouseClick(window().ui().Command3, Qt::LeftButton);
    EXPECT_EQ(storeHeadings(), (QStringList{"Baumann@Firma", "Meier@Privat"}));
    EXPECT_EQ(panel(2), QStringLiteral("Karten: 2/2"));
}

TEST_F(Commands, InAnEmptyStoreDeleteExplainsAndTheFirstCardIsNumberOne) {
    open({QStringLiteral("Privat")}, {});
    run("mnukarteloschen");
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_EQ(platform_->messages[0].text,
              QStringLiteral("Keine Karte markiert\nBitte wählen Sie eine Karte aus der Liste."));
    chooseCategory(QStringLiteral("Privat"));
    platform_->inputs.push_back(QStringLiteral("Erste"));
    run("mnuNeuekarte");
    EXPECT_EQ(storedCard(QStringLiteral("Erste")).text(Field::Nr), QStringLiteral("1"));
}

TEST_F(Commands, ANewCategoryThenYesStartsANewCardInIt) {
    openSample();
    run("mnuNeueKategorie");
    EXPECT_TRUE(box(19)->isVisible());
    EXPECT_FALSE(window().ui().Combo1->isVisible());
    platform_->answers.push_back(Answer::Yes);
    platform_->inputs.push_back(QStringLiteral("Schulz"));
    QTest::keyClicks(box(19), QStringLiteral("Verein"));
    QTest::keyClick(box(19), Qt::Key_Return);
    EXPECT_TRUE(window().ui().Combo1->isVisible());
    ASSERT_EQ(platform_->inputRequests.size(), 1U);
    EXPECT_TRUE(platform_->inputRequests[0].prompt.startsWith(
        QStringLiteral("Gewählte Kategorie:  Verein")));
    EXPECT_TRUE(storeHeadings().contains(QStringLiteral("Schulz@Verein")));
}

TEST_F(Commands, AnEmptyOrKnownCategoryNameBringsTheSelectorBackUnchanged) {
    openSample();
    for (const auto& [typed, beeps] : {std::pair{"PRIVAT", 0}, std::pair{"", 1}}) {
        SCOPED_TRACE(typed);
        run("mnuNeueKategorie");
        box(19)->clear();
        QTest::keyClicks(box(19), QString::fromUtf8(typed));
        QTest::keyClick(box(19), Qt::Key_Return);
        EXPECT_EQ(window().ui().Combo1->count(), 3);
        EXPECT_EQ(platform_->beeps, beeps);
        EXPECT_TRUE(platform_->messages.empty());
        EXPECT_TRUE(window().ui().Combo1->isVisible());
        EXPECT_FALSE(box(19)->isVisible());
    }
}

TEST_F(Commands, AssigningAnotherCategoryMovesTheCard) {
    openSample();
    chooseCategory(QStringLiteral("Privat"));
    selectLine(QStringLiteral("Meier"));
    QTimer::singleShot(0, [] {
        auto* dialog =
            qobject_cast<maintenance::AssignCategoryDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
        list->setCurrentItem(list->topLevelItem(1));  // "Firma"
        dialog->Command5_Click();
    });
    run("mnuKarteKategorie");
    EXPECT_TRUE(listLines().isEmpty());
    chooseCategory(QStringLiteral("Firma"));
    EXPECT_TRUE(listLines().contains(QStringLiteral("Meier")));
}

TEST_F(Commands, AssigningWithoutCategoriesAsksForOne) {
    open({}, {{QStringLiteral("Waise"), QStringLiteral("Weg")}});
    maintenance::AssignCategoryDialog dialog(home_.storeFile(), QStringLiteral("Waise"));
    dialog.Command5_Click();
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_EQ(platform_->messages[0].title, QStringLiteral("Keine Kategorie gewählt !"));
    EXPECT_EQ(storeHeadings(), QStringList{"Waise@Weg"});
}

}  // namespace
