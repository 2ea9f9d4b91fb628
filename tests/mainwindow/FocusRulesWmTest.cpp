// The category line and the postcode under a real window manager: a right click, a pop-up
// menu or another window taking the focus are no confirmation.
#include "MainWindowFixture.h"
#include "WindowTools.h"

#include "mainwindow/MainMenus.h"
#include "richtext/RichTextBlock.h"
#include "store/CardStore.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>

using namespace veltro;
using platform::Answer;
using store::Field;
using veltro::testing::MainWindowFixture;

namespace {

class FocusRules : public MainWindowFixture {
protected:
    void openSample() {
        open({QStringLiteral("Handwerker"), QStringLiteral("Privat")},
             {{QStringLiteral("Maler Huber"),
               QStringLiteral("Handwerker"),
               {{Field::Postleitzahl, QStringLiteral("96050")},
                {Field::Ort, QStringLiteral("Bamberg")}}},
              {QStringLiteral("Schreiner Ott"), QStringLiteral("Handwerker")},
              {QStringLiteral("Anna"),
               QStringLiteral("Privat"),
               {{Field::Postleitzahl, QStringLiteral("91054")},
                {Field::Ort, QStringLiteral("Erlangen")}}}});
        ASSERT_TRUE(veltro::testing::showActive(window()));
    }
    QLineEdit* startNewCategory(const QString& typed) {
        window().menus().action(QStringLiteral("mnuNeueKategorie"))->trigger();
        QLineEdit* line = box(19);
        QTest::keyClicks(line, typed);
        veltro::testing::settle();
        return line;
    }
    QStringList categories() {
        auto s = store::CardStore::open(home_.storeFile());
        QStringList names;
        for (const auto& name : s.categories()) {
            names << name;
        }
        return names;
    }
    QStringList cardCategories() {
        auto s = store::CardStore::open(home_.storeFile());
        QStringList names;
        for (const auto& row : s.headings()) {
            names << row.category;
        }
        return names;
    }
    static void closePopups() {
        while (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
        }
        veltro::testing::settle();
    }
};

// The right click that opens the list's or a block's pop-up menu leaves the name unconfirmed.
TEST_F(FocusRules, ARightClickIntoTheListOrABlockIsNoConfirmation) {
    openSample();
    for (QWidget* clicked :
         {window().ui().List1->viewport(), window().ui().RichTextBox2->viewport()}) {
        QLineEdit* line = startNewCategory(QStringLiteral("Kun"));
        veltro::testing::rightClick(*clicked);
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
        closePopups();
        EXPECT_TRUE(line->isVisible());
        EXPECT_EQ(categories(), (QStringList{"Handwerker", "Privat"}));
        line->setFocus();
        QTest::keyClick(line, Qt::Key_Escape);
    }
}

// A right click on a card of another category shows that card; the name typed so far stays,
// and closing the window asks about it.
TEST_F(FocusRules, ATypedCategoryNameOutlivesARightClickOnACardAndIsAskedAboutAtTheEnd) {
    openSample();
    QLineEdit* line = startNewCategory(QStringLiteral("Kunden"));
    auto* list = window().ui().List1;
    const QPoint anna = list->visualRect(list->model()->index(2, 0)).center();
    veltro::testing::rightClick(*list->viewport(), anna);
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
    closePopups();
    EXPECT_EQ(line->text(), QStringLiteral("Kunden"));

    platform_->answers = {Answer::Cancel};
    EXPECT_FALSE(window().close());
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_EQ(platform_->messages[0].text,
              QStringLiteral("Der Name „Kunden“ in der Kategoriezeile ist noch nicht bestätigt."
                             "\n\nSoll er vor dem Beenden übernommen werden?"));
    platform_->answers = {Answer::Yes, Answer::Yes};
    EXPECT_TRUE(window().close());
    QStringList made = categories();
    made.sort();
    EXPECT_EQ(made, (QStringList{"Handwerker", "Kunden", "Privat"}));
}

// X11 knows only Ctrl+Shift+Z as a text box's redo; Ctrl+Y must not reach the window's
// Wiederholen from inside a box, and does outside.
TEST_F(FocusRules, CtrlYInsideABoxRedoesThereAndOutsideRedoesTheCommand) {
    openSample();
    platform_->answers = {Answer::Yes};
    window().menus().action(QStringLiteral("mnukarteloschen"))->trigger();
    ASSERT_EQ(listLines().size(), 2);
    window().menus().action(QStringLiteral("mnuRueckgaengig"))->trigger();
    ASSERT_EQ(listLines().size(), 3);
    QLineEdit* town = box(12);
    town->setFocus();
    town->end(false);
    const QString before = town->text();
    QTest::keyClicks(town, QStringLiteral("xy"));
    for (const bool shifted : {false, true}) {
        QTest::keyClick(town, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(town->text(), before);
        QTest::keyClick(town, shifted ? Qt::Key_Z : Qt::Key_Y,
                        shifted ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
        EXPECT_EQ(town->text(), before + QStringLiteral("xy"));
        EXPECT_EQ(listLines().size(), 3) << "the deletion was not done again";
    }
    QTest::keyClick(town, Qt::Key_Z, Qt::ControlModifier);
    window().ui().List1->setFocus();
    QTest::keyClick(window().ui().List1, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(listLines().size(), 2);
}

TEST_F(FocusRules, AnotherWindowTakingTheFocusRenamesNothing) {
    openSample();
    window().ui().Combo1->setCurrentIndex(1);  // Handwerker
    window().Combo1_Click();
    platform_->answers = {Answer::Yes};
    window().menus().action(QStringLiteral("mnuKategorieUmbenennen"))->trigger();
    QLineEdit* line = box(19);
    ASSERT_TRUE(line->isVisible());
    line->selectAll();
    QTest::keyClicks(line, QStringLiteral("Kun"));
    const auto other = veltro::testing::activateOtherWindow();
    ASSERT_NE(other, nullptr);
    veltro::testing::settle();
    EXPECT_EQ(cardCategories(), (QStringList{"Handwerker", "Handwerker", "Privat"}));
    ASSERT_TRUE(veltro::testing::showActive(window()));
    line->setFocus();
    QTest::keyClick(line, Qt::Key_Escape);
    EXPECT_FALSE(line->isVisible());
    EXPECT_EQ(categories(), (QStringList{"Handwerker", "Privat"}));
}

TEST_F(FocusRules, TabOrALeftClickIntoAnotherBoxConfirms) {
    openSample();
    platform_->answers = {Answer::No, Answer::No};  // no new card now
    QTest::keyClick(startNewCategory(QStringLiteral("Verein")), Qt::Key_Tab);
    ASSERT_TRUE(QTest::qWaitFor([&] { return categories().size() == 3; }));
    startNewCategory(QStringLiteral("Kunden"));
    veltro::testing::click(*box(2));
    static_cast<void>(QTest::qWaitFor([&] { return categories().size() == 4; }));
    QStringList made = categories();
    made.sort();
    EXPECT_EQ(made, (QStringList{"Handwerker", "Kunden", "Privat", "Verein"}));
}

TEST_F(FocusRules, ThePostcodeLooksUpTheTownOnlyWhenTheUserMovesOn) {
    openSample();
    clickLine(0);  // Anna
    veltro::testing::click(*box(11));
    box(11)->selectAll();
    QTest::keyClicks(box(11), QStringLiteral("9605"));
    box(12)->setText(QStringLiteral("Irgendwo"));
    const auto other = veltro::testing::activateOtherWindow();
    ASSERT_NE(other, nullptr);
    veltro::testing::settle();
    EXPECT_EQ(box(12)->text(), QStringLiteral("Irgendwo"));
    ASSERT_TRUE(veltro::testing::showActive(window()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return box(11)->hasFocus(); }));
    veltro::testing::click(*box(2));
    static_cast<void>(QTest::qWaitFor([&] { return box(12)->text() == u"Bamberg"; }));
    EXPECT_EQ(box(12)->text(), QStringLiteral("Bamberg"));
}

}  // namespace
