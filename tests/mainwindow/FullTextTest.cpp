#include "MainWindowFixture.h"

#include "store/SampleCards.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

using namespace veltro;
using store::Field;
using veltro::testing::MainWindowFixture;

namespace {

class FullText : public MainWindowFixture {
protected:
    void openSample() {
        open({QStringLiteral("Privat"), QStringLiteral("Firma")},
             {{QStringLiteral("Ende"),
               QStringLiteral("Privat"),
               {{Field::Telefon, QStringLiteral("5512")}}},
              {QStringLiteral("Anfang"),
               QStringLiteral("Privat"),
               {{Field::Telefon, QStringLiteral("1255")}}},
              {QStringLiteral("Plz"),
               QStringLiteral("Firma"),
               {{Field::Postleitzahl, QStringLiteral("12345")}}},
              {QStringLiteral("Notiz"),
               QStringLiteral("Firma"),
               {{Field::Notizen, store::simpleRtf({QStringLiteral("Kaffee mit Zucker")}, true)}}},
              {QStringLiteral("Leer"), QStringLiteral("Firma")}});
    }
    // Enters the text and waits until the list shows the hits among all cards, not only
    // among those the background build has read so far.
    void search(const QString& text) {
        auto* field = window().ui().Text16;
        QSignalSpy shown(&window(), &mainwindow::MainWindow::fullTextShown);
        field->setText(text);
        QTest::keyClick(field, Qt::Key_Return);
        const auto complete = [&] { return !shown.isEmpty() && shown.last().at(0).toBool(); };
        while (!shown.isEmpty() && !complete() && shown.wait(10000)) {
        }
        EXPECT_TRUE(shown.isEmpty() || complete()) << text.toStdString();
    }
    void clickIntoFullText() {
        auto* field = window().ui().Text16;
        QTest::mouseClick(field, Qt::LeftButton);
    }
};

TEST_F(FullText, DoesNothingUntilClickedOnce) {
    openSample();
    auto* field = window().ui().Text16;
    focus(field);
    search(QStringLiteral("12"));
    EXPECT_EQ(listLines().size(), 5);
    EXPECT_EQ(field->text(), QStringLiteral("12"));  // Enter added no character
}

// What each field matches is the index's test; here what the list shows of it.
TEST_F(FullText, ListsTheHitsAmongAllCardsAndEveryCardOnceEmptied) {
    openSample();
    clickIntoFullText();
    EXPECT_TRUE(window().fullTextArmed());
    search(QStringLiteral("12"));
    // Telefon ends with 12, Postleitzahl begins with it; "1255" only begins with it.
    EXPECT_EQ(listLines(), (QStringList{"Ende", "Plz"}));
    EXPECT_EQ(panel(2), QStringLiteral("Karten: 2/5"));
    search(QStringLiteral("rtf1"));
    EXPECT_TRUE(listLines().isEmpty());
    EXPECT_TRUE(box(8)->isReadOnly());
    window().ui().Text16->clear();
    EXPECT_EQ(listLines().size(), 5);
    EXPECT_EQ(panel(2), QStringLiteral("Karten: 5/5"));
}

TEST_F(FullText, EnteringTheFieldSelectsAllCategories) {
    openSample();
    auto* combo = window().ui().Combo1;
    combo->setCurrentIndex(2);
    window().Combo1_Click();
    EXPECT_EQ(listLines().size(), 3);
    focus(window().ui().Text16);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(listLines().size(), 5);
}

TEST_F(FullText, AFoundCardIsKeptInStepWithSaves) {
    openSample();
    clickIntoFullText();
    search(QStringLiteral("zucker"));
    ASSERT_EQ(listLines(), QStringList{"Notiz"});
    focus(box(12));
    QTest::keyClicks(box(12), QStringLiteral("Zuckerhausen"));
    focus(box(2));
    clickIntoFullText();
    search(QStringLiteral("zuckerh"));
    EXPECT_EQ(listLines(), QStringList{"Notiz"});
}

}  // namespace
