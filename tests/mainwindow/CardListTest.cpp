#include "MainWindowFixture.h"

#include "richtext/RichTextBlock.h"
#include "store/SampleCards.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>

using namespace veltro;
using store::Field;
using veltro::testing::GivenCard;
using veltro::testing::MainWindowFixture;

namespace {

class CardList : public MainWindowFixture {
protected:
    void openSample() {
        open({QStringLiteral("Privat"), QStringLiteral("Privatadressen"), QStringLiteral("Firma")},
             {{QStringLiteral("Zeta"),
               QStringLiteral("Privat"),
               {{Field::Telefon, QStringLiteral("0951 12")}}},
              {QStringLiteral("alpha"), QStringLiteral("Privat")},
              {QStringLiteral("Beta"),
               QStringLiteral("Privat"),
               {{Field::Firma, QStringLiteral("Alt")}}},
              {QStringLiteral("Maier"), QStringLiteral("Privatadressen")},
              {QStringLiteral("Mainz GmbH"), QStringLiteral("Firma")},
              {QStringLiteral("O'Neill"), QStringLiteral("privat")},
              {QStringLiteral("A*"),
               QStringLiteral("Firma"),
               {{Field::Ort, QStringLiteral("Stern")}}},
              {QStringLiteral("Ab"),
               QStringLiteral("Firma"),
               {{Field::Ort, QStringLiteral("Buchstaben")}}}});
    }
};

TEST_F(CardList, ListsSortedWithoutRegardToCaseAndShowsTheFirst) {
    openSample();
    EXPECT_EQ(listLines(),
              (QStringList{"A*", "Ab", "alpha", "Beta", "Maier", "Mainz GmbH", "O'Neill", "Zeta"}));
    EXPECT_EQ(window().ui().label[6]->text(), QStringLiteral("Notizen zu:  A*"));
    EXPECT_EQ(panel(2), QStringLiteral("Karten: 8/8"));
}

TEST_F(CardList, ACategoryListsItsOwnCardsNotThoseOfALongerName) {
    openSample();
    chooseCategory(QStringLiteral("Privat"));
    EXPECT_EQ(listLines(), (QStringList{"alpha", "Beta", "O'Neill", "Zeta"}));
    type(window().ui().Text1, QStringLiteral("mai"));
    EXPECT_TRUE(listLines().isEmpty());
    EXPECT_EQ(window().ui().label[6]->text(), QStringLiteral("Keine Karte vorhanden !"));
    EXPECT_EQ(panel(4), QStringLiteral("Keine Karte vorhanden !"));
    EXPECT_EQ(panel(2), QStringLiteral("Karten: 0/8"));
    EXPECT_TRUE(box(8)->isReadOnly());
}

TEST_F(CardList, TypingNarrowsLetterByLetterAndTakesQuotesAndWildcards) {
    openSample();
    auto* search = window().ui().Text1;
    type(search, QStringLiteral("a"));
    EXPECT_EQ(listLines().size(), 7);
    type(search, QStringLiteral("i"));
    EXPECT_EQ(listLines(), (QStringList{"Maier", "Mainz GmbH"}));
    search->clear();
    type(search, QStringLiteral("o'"));
    EXPECT_EQ(search->text(), QStringLiteral("o'"));
    EXPECT_EQ(listLines(), QStringList{"O'Neill"});
    search->clear();
    type(search, QStringLiteral("m*z"));
    EXPECT_EQ(listLines(), QStringList{"Mainz GmbH"});
    // An unclosed bracket cannot be searched: it is taken back at once.
    type(search, QStringLiteral("["));
    EXPECT_EQ(search->text(), QStringLiteral("m*z"));
    EXPECT_EQ(listLines(), QStringList{"Mainz GmbH"});
}

TEST_F(CardList, HeadingsWithPatternCharactersShowExactlyTheirOwnCard) {
    openSample();
    clickLine(0);
    EXPECT_EQ(box(12)->text(), QStringLiteral("Stern"));
    clickLine(1);
    EXPECT_EQ(box(12)->text(), QStringLiteral("Buchstaben"));
}

TEST_F(CardList, ShowingACardEmptiesBoxesWhoseFieldIsNull) {
    openSample();
    clickLine(7);  // Zeta has a telephone number
    EXPECT_EQ(box(3)->text(), QStringLiteral("0951 12"));
    clickLine(2);  // alpha has none
    EXPECT_EQ(box(3)->text(), QString());
    EXPECT_EQ(panel(3), QStringLiteral("Kategorie: Privat"));
}

TEST_F(CardList, DownTwiceGoesToTheListAndUpTwiceComesBack) {
    openSample();
    auto* search = window().ui().Text1;
    focus(search);
    QTest::keyClick(search, Qt::Key_Down);
    EXPECT_TRUE(search->hasFocus());
    QTest::keyClick(search, Qt::Key_Down);
    auto* list = window().ui().List1;
    EXPECT_TRUE(list->hasFocus());
    EXPECT_EQ(list->currentIndex().row(), 0);
    QTest::keyClick(list, Qt::Key_Up);  // only arms
    EXPECT_TRUE(list->hasFocus());
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_TRUE(search->hasFocus());
    EXPECT_EQ(list->currentIndex().row(), 0);
}

TEST_F(CardList, WithNoCardShownASaveWritesNothing) {
    openSample();
    type(window().ui().Text1, QStringLiteral("nichts"));
    window().Command2_Click();
    EXPECT_FALSE(window().changeFlag());
    EXPECT_EQ(storedCard(QStringLiteral("Beta")).text(Field::Firma), QStringLiteral("Alt"));
}

TEST_F(CardList, RichTextKeepsItsFormattingThroughASave) {
    openSample();
    clickLine(3);
    auto* notes = window().ui().RichTextBox2;
    notes->setRtfText(store::simpleRtf({QStringLiteral("Fett"), QStringLiteral("normal")}, true));
    focus(notes);
    focus(box(2));
    clickLine(0);
    clickLine(3);
    EXPECT_EQ(notes->toPlainText(), QStringLiteral("Fett\nnormal"));
    QTextCursor cursor(notes->document());
    cursor.setPosition(1);
    EXPECT_GE(cursor.charFormat().fontWeight(), QFont::Bold);
    cursor.setPosition(7);
    EXPECT_LT(cursor.charFormat().fontWeight(), QFont::Bold);
}

}  // namespace
