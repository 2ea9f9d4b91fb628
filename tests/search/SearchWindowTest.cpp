#include "FakeSearchHost.h"
#include "RecordingPlatform.h"
#include "TestHome.h"
#include "search/SearchWindow.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace veltro::search {
namespace {

using namespace Qt::Literals::StringLiterals;
using testing::FakeSearchHost;

std::vector<FakeSearchHost::Card> sampleCards() {
    return {
        {u"Alt Meier"_s, u"Alt"_s, u"10115"_s, u"Berlin"_s, u"Herrn Alt"_s, {}},
        {u"Anna Schmidt"_s, u"Schmidt"_s, u"20095"_s, u"Hamburg"_s, {}, u"Kundin"_s},
        {u"Meier"_s, u"Meier"_s, u"80331"_s, u"München"_s, u"Herrn Meier"_s, u"Lieferant"_s},
    };
}

class SearchWindowTest : public ::testing::Test {
protected:
    void SetUp() override { open(); }
    void TearDown() override { closeWindow(); }

    void open() {
        window_ = SearchWindow::open(host_);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
        field_ = window_->findChild<QLineEdit*>(u"Text1"_s);
        ASSERT_NE(field_, nullptr);
    }
    void closeWindow() {
        if (window_ != nullptr) {
            window_->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void type(const QString& text) { QTest::keyClicks(field_, text); }
    void press(Qt::Key key) { QTest::keyClick(field_, key); }
    [[nodiscard]] QString title() const { return window_->windowTitle(); }
    [[nodiscard]] QColor background() const { return window_->palette().color(QPalette::Window); }
    void setMode(int position) { window_->findChild<QSlider*>(u"Slider1"_s)->setValue(position); }

    testing::TestHome home_;
    testing::ScopedRecordingPlatform platform_;
    FakeSearchHost host_{sampleCards()};
    QPointer<SearchWindow> window_;
    QLineEdit* field_ = nullptr;
};

TEST_F(SearchWindowTest, OpensAboveEverythingWithTheMainWindowMinimised) {
    EXPECT_EQ(window_->objectName(), u"Form4"_s);
    EXPECT_EQ(title(), u"Suche 'Anschrift'  ...bitte Suchtext eingeben."_s);
    EXPECT_TRUE(host_.minimized);
    EXPECT_EQ(host_.selectedLine(), 0);
    EXPECT_TRUE(window_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window_->height(), qRound(800.0 * window_->logicalDpiY() / 1440.0));
    EXPECT_EQ(window_->findChild<QLabel*>(u"Label1"_s)->text(), u"Anschrift"_s);
    EXPECT_EQ(field_->toolTip(), u"Text=suchen;  2xCursor=blättern;  Return=kopieren"_s);
    EXPECT_EQ(SearchWindow::open(host_), window_.data());
}

TEST_F(SearchWindowTest, OpeningRightAfterClosingGivesAWindowThatStays) {
    window_->close();
    EXPECT_EQ(SearchWindow::current(), nullptr);
    open();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(window_.isNull());
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(SearchWindowTest, TitleAndColourFollowTheHits) {
    const QColor green(0, 0xC0, 0);
    const QColor darkRed(0xC0, 0, 0);
    const QColor white(Qt::white);
    const QColor black(Qt::black);
    const struct {
        QString typed;
        QString title;
        QColor colour;
        QColor label;  // the mode's name stands out from the colour
    } cases[] = {
        {u"zzz"_s, u"0 Karten   (suche Anschrift)"_s, darkRed, white},
        {u"Meier"_s, u"2 Karten   (suche Anschrift)"_s, darkRed, white},
        {u"anna"_s, u"Anna Schmidt"_s, green, black},
    };
    const auto* label = window_->findChild<QLabel*>(u"Label1"_s);
    for (const auto& c : cases) {
        field_->clear();
        type(c.typed);
        EXPECT_EQ(host_.searchText, c.typed);
        EXPECT_EQ(title(), c.title) << c.typed.toStdString();
        EXPECT_EQ(background(), c.colour) << c.typed.toStdString();
        EXPECT_EQ(label->palette().color(QPalette::WindowText), c.label) << c.typed.toStdString();
    }
}

TEST_F(SearchWindowTest, TwoDownsBrowseAndTheEndsHold) {
    const QString ask = u"Suche 'Anschrift'  ...bitte Suchtext eingeben."_s;
    const QString first = u"Alt Meier  (3 Karten)"_s;
    const struct {
        const char* name;
        QString typed;
        const char* keys;  // D Down, U Up
        int selected;
        QString title;
    } cases[] = {
        {"FirstDownOnlyEnters", {}, "D", -1, ask},
        {"DownDownFirstCard", {}, "DD", 0, first},
        {"UpOnFirstKeepsIt", {}, "DDU", 0, first},
        {"DownOnLastKeepsIt", {}, "DDDDD", 2, u"Meier  (3 Karten)"_s},
        {"DownThenUp", {}, "DDDU", 0, first},
        {"UpWithoutBrowsingDoesNothing", {}, "U", 0, ask},
        {"UpWithNothingSelected", {}, "DU", -1, ask},
        {"OneCardSaysKarte", u"Anna"_s, "DD", 0, u"Anna Schmidt  (1 Karte)"_s},
        {"EmptyListStaysQuiet", u"zzz"_s, "DDU", -1, u"0 Karten   (suche Anschrift)"_s},
    };
    for (const auto& c : cases) {
        closeWindow();
        host_.setSearchText(QString());
        open();
        type(c.typed);
        for (const char* key = c.keys; *key != 0; ++key) {
            press(*key == 'D' ? Qt::Key_Down : Qt::Key_Up);
        }
        EXPECT_EQ(host_.selectedLine(), c.selected) << c.name;
        EXPECT_EQ(title(), c.title) << c.name;
        EXPECT_EQ(field_->text(), c.typed) << c.name;
    }
}

TEST_F(SearchWindowTest, ReturnCopiesOrSaysWhatIsMissing) {
    const struct {
        const char* name;
        QString typed;
        int mode;
        QString title;
        QStringList copied;
    } cases[] = {
        {"Address",
         u"Alt"_s,
         0,
         u"Alt, 10115 Berlin   ...Anschrift kopiert"_s,
         {u"Anschrift: Alt Meier"_s}},
        {"NoAddress", u"Anna"_s, 0, u"Schmidt, 20095 Hamburg (Keine Adresse vorhanden)"_s, {}},
        {"Notes",
         u"Anna"_s,
         1,
         u"Schmidt, 20095 Hamburg   ...Notizen kopiert"_s,
         {u"Notizen: Anna Schmidt"_s}},
        {"NoNotes", u"Alt"_s, 1, u"Alt, 10115 Berlin (Keine Notizen vorhanden)"_s, {}},
    };
    for (const auto& c : cases) {
        host_.copied.clear();
        setMode(c.mode);
        field_->clear();
        type(c.typed);
        press(Qt::Key_Return);
        EXPECT_EQ(title(), c.title) << c.name;
        EXPECT_EQ(host_.copied, c.copied) << c.name;
        if (!c.copied.isEmpty()) {
            EXPECT_EQ(field_->text(), host_.lineText(host_.selectedLine())) << c.name;
            EXPECT_EQ(field_->selectedText(), field_->text()) << c.name;
            EXPECT_FALSE(window_->browsing()) << c.name;
        }
    }
}

TEST_F(SearchWindowTest, ReturnCopiesTheBrowsedCardNotAnotherThatContainsItsHeading) {
    type(u"Meier"_s);
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    ASSERT_EQ(host_.lineText(host_.selectedLine()), u"Meier"_s);
    press(Qt::Key_Return);
    // "Meier" is found in "Alt Meier" too, which the search lists first.
    EXPECT_EQ(host_.copied, QStringList{u"Anschrift: Meier"_s});
    EXPECT_EQ(title(), u"Meier, 80331 München   ...Anschrift kopiert"_s);
}

TEST_F(SearchWindowTest, ReturnWithoutSelectedCardCopiesNothing) {
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    EXPECT_TRUE(host_.copied.isEmpty());
    EXPECT_TRUE(field_->text().isEmpty());
}

TEST_F(SearchWindowTest, SwitchChangesModeLabelAndTitle) {
    auto* label = window_->findChild<QLabel*>(u"Label1"_s);
    auto* slider = window_->findChild<QSlider*>(u"Slider1"_s);
    setMode(1);
    EXPECT_EQ(window_->mode(), CopyMode::Notes);
    EXPECT_EQ(label->text(), u"Notizen"_s);
    EXPECT_EQ(slider->toolTip(), u"Suche 'Notizen'"_s);
    EXPECT_EQ(title(), u"Suche 'Notizen'"_s);
    type(u"zzz"_s);
    EXPECT_EQ(title(), u"0 Karten   (suche Notizen)"_s);
    setMode(0);
    EXPECT_EQ(label->text(), u"Anschrift"_s);
    EXPECT_EQ(title(), u"Suche 'Anschrift'"_s);
}

TEST_F(SearchWindowTest, ClickIntoEmptyFieldAsksForText) {
    QTest::mouseClick(field_, Qt::LeftButton);
    EXPECT_EQ(title(), u"Bitte Suchtext (Schlagworte) eingeben"_s);
}

TEST_F(SearchWindowTest, F1OpensItsHelpPage) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
    press(Qt::Key_F1);
    EXPECT_EQ(platform_->helpPages, std::vector<QString>{u"suchfenster.html"_s});
}

TEST_F(SearchWindowTest, ComingBackRemovesTheLastCharacter) {
    type(u"Meie"_s);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
    EXPECT_EQ(field_->text(), u"Mei"_s);
    EXPECT_EQ(field_->cursorPosition(), 3);
    EXPECT_EQ(host_.searchText, u"Mei"_s);
    EXPECT_TRUE(field_->hasFocus());
}

TEST_F(SearchWindowTest, ClosingRestoresTheMainWindowOnlyByOption) {
    for (const bool reactivate : {false, true}) {
        closeWindow();
        open();
        host_.reactivate = reactivate;
        window_->close();
        EXPECT_EQ(host_.minimized, !reactivate) << reactivate;
    }
}

TEST_F(SearchWindowTest, GeometryRoundTrip) {
    window_->move(120, 340);
    window_->resize(420, window_->height());
    const QPoint place = window_->pos();
    const double twipsPerPixel = 1440.0 / window_->logicalDpiX();
    closeWindow();
    EXPECT_EQ(settings::readNumber(settings::key::SuchFensterLeft), place.x() * twipsPerPixel);
    EXPECT_EQ(settings::readNumber(settings::key::SuchFensterTop), place.y() * twipsPerPixel);
    EXPECT_EQ(settings::readNumber(settings::key::SuchFensterwidth), 420 * twipsPerPixel);
    open();
    EXPECT_EQ(window_->pos(), place);
    EXPECT_EQ(window_->width(), 420);
}

TEST_F(SearchWindowTest, PositionOffEveryScreenFallsBackToTheScreen) {
    closeWindow();
    settings::writeNumber(settings::key::SuchFensterLeft, 900000);
    settings::writeNumber(settings::key::SuchFensterTop, 900000);
    settings::writeNumber(settings::key::SuchFensterwidth, 6000);
    open();
    const QRect screen = window_->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window_->pos()));
}

}  // namespace
}  // namespace veltro::search
