#include "FakeSearchHost.h"
#include "MainWindowFixture.h"

#include "mainwindow/ElidingLabel.h"
#include "mainwindow/ExtrasPanel.h"
#include "mainwindow/FieldTable.h"
#include "mainwindow/MainMenus.h"
#include "platform/Twips.h"
#include "richtext/CommandBars.h"
#include "richtext/RichTextBlock.h"
#include "search/SearchWindow.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

using namespace veltro;
using veltro::testing::MainWindowFixture;

namespace {

class Layout : public MainWindowFixture {
protected:
    [[nodiscard]] int pixels(double twips) const {
        return platform::twipsToPixels(twips, *window_);
    }
    [[nodiscard]] int leftInWindow(const QWidget* widget) const {
        return widget->mapTo(window_.get(), QPoint(0, 0)).x();
    }
    void resizeBy(int width, int height) {
        window_->resize(window_->width() + width, window_->height() + height);
        QApplication::processEvents();
    }
    static void sendMouse(QWidget* to, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, to->mapToGlobal(at), Qt::LeftButton, buttons, {});
        QApplication::sendEvent(to, &event);
    }
    // Presses on the splitter band and drags to x (window coordinates), still holding.
    QPoint pressAndDrag(int x) {
        QWidget* band = window_->ui().label[7];
        const QPoint start(band->width() / 2, band->height() / 2);
        const QPoint end = band->mapFrom(window_.get(), QPoint(x, 0)) + QPoint(0, start.y());
        sendMouse(band, QEvent::MouseButtonPress, start, Qt::LeftButton);
        sendMouse(band, QEvent::MouseMove, end, Qt::LeftButton);
        return end;
    }
    void release(QPoint at) {
        sendMouse(window_->ui().label[7], QEvent::MouseButtonRelease, at, Qt::NoButton);
        QApplication::processEvents();
    }
    [[nodiscard]] int notesLeft() const { return leftInWindow(window_->ui().RichTextBox2); }
    // Lets the window system's answers come in, then what they start on the next round.
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    [[nodiscard]] static bool searchWindowOpen() {
        const auto* search = search::SearchWindow::current();
        return search != nullptr && search->isVisible();
    }

    // Leaves the main window as it is when the search window opens.
    veltro::testing::FakeSearchHost host_{{}};
};

TEST_F(Layout, GrowingTheWindowGoesToTheListAndTheBlocks) {
    const auto& ui = open({}, {}).ui();
    // Above its preferred size, whatever the screen it starts on.
    window().resize(window().size().expandedTo(window().sizeHint()));
    QApplication::processEvents();
    const int step = pixels(1000);
    const QSize list = ui.List1->size();
    const QSize notes = ui.RichTextBox2->size();
    const QSize address = ui.RichTextBox1->size();

    resizeBy(0, step);
    EXPECT_EQ(ui.List1->height(), list.height() + step);
    EXPECT_EQ(ui.RichTextBox2->height(), notes.height() + step);
    EXPECT_EQ(ui.RichTextBox1->height(), address.height());

    const int tel = box(3)->width();
    resizeBy(step, 0);
    EXPECT_EQ(ui.RichTextBox2->width(), notes.width() + step);
    EXPECT_EQ(ui.List1->width(), list.width());
    // The field boxes and the address block share the new width.
    EXPECT_GT(ui.RichTextBox1->width(), address.width() + step / 5);
    EXPECT_LT(ui.RichTextBox1->width(), address.width() + step * 4 / 5);
    EXPECT_GT(box(3)->width(), tel);
}

TEST_F(Layout, NarrowBoxesGrowWithAWideWindow) {
    open({}, {});
    window().resize(1900, 900);
    QApplication::processEvents();
    for (const int number : {3, 4, 5, 12}) {  // Tel, Fax, Mobil, Ort
        SCOPED_TRACE(number);
        EXPECT_GT(box(number)->width(), pixels(2000));
    }
}

// On an 800×600 screen the window with its frame fits, the further details shown, and every box
// still shows the first eight characters of what it holds.
TEST_F(Layout, OnASmallScreenEveryBoxShowsEightCharacters) {
    using store::Field;
    open({QStringLiteral("Privat")},
         {{QStringLiteral("Schmidt-Rottluff Annegret"),
           QStringLiteral("Privat"),
           {{Field::Anrede, QStringLiteral("Frau Dr.")},
            {Field::Vorname, QStringLiteral("Annegret")},
            {Field::Nachname, QStringLiteral("Schmidt-Rottluff")},
            {Field::Firma, QStringLiteral("Stadtwerke Mönchengladbach")},
            {Field::Abteilung, QStringLiteral("Kundenservice")},
            {Field::Strasse, QStringLiteral("Hauptstraße 123")},
            {Field::Postleitzahl, QStringLiteral("41061")},
            {Field::Ort, QStringLiteral("Mönchengladbach")},
            {Field::Vorwahl, QStringLiteral("02161")},
            {Field::Telefon, QStringLiteral("2233445")},
            {Field::Fax, QStringLiteral("2233446")},
            {Field::Mobiltelefon, QStringLiteral("0171 2233445")},
            {Field::EMailAdresse, QStringLiteral("annegret@example.de")},
            {Field::Webseite, QStringLiteral("www.example.de")},
            {Field::Nr, QStringLiteral("K-10442")}}}});
    run("mnuWeitereAngaben");
    const QSize room = QSize(800, 600) - QSize(16, 48);  // what a frame may take
    window().resize(room);
    QApplication::processEvents();
    EXPECT_EQ(window().size(), room);
    const QWidget* details = window().ui().extras;
    EXPECT_GE(details->parentWidget()->width(), details->minimumSizeHint().width()) << "cut";
    for (const QPushButton* button : {window().ui().Command4, window().ui().Command5}) {
        EXPECT_GE(button->width(), button->sizeHint().width()) << "the button's text is cut";
    }
    for (const auto& field : mainwindow::fieldTable()) {
        QLineEdit* shown = box(field.number);
        if (shown->isHidden()) {
            continue;
        }
        SCOPED_TRACE(shown->objectName().toStdString());
        const QFontMetrics metrics = shown->fontMetrics();
        // What the box needs besides its text: frame and margins.
        const int chrome = shown->minimumSizeHint().width() - metrics.maxWidth();
        EXPECT_GE(shown->width(), chrome + metrics.horizontalAdvance(shown->text().left(8)));
    }
}

TEST_F(Layout, BoxesShowTheStartOfTheirText) {
    open({QStringLiteral("Privat")},
         {{QStringLiteral("Anna"),
           QStringLiteral("Privat"),
           {{store::Field::Mobiltelefon, QStringLiteral("0171 2233445 0171 2233445 0171 2233445")},
            {store::Field::Ort, QStringLiteral("Mönchengladbach-Rheydt an der Niers")}}}});
    for (const int number : {5, 12}) {
        SCOPED_TRACE(number);
        ASSERT_LT(box(number)->width(), box(number)->fontMetrics().horizontalAdvance(
                                            box(number)->text()));  // the text is longer
        EXPECT_EQ(box(number)->cursorPosition(), 0);
    }
    // Typed at the end, the number shows its start again once the user moves on.
    focus(box(5));
    box(5)->end(false);
    QTest::keyClicks(box(5), QStringLiteral("9"));
    QTest::keyClick(box(5), Qt::Key_Tab);
    EXPECT_FALSE(box(5)->hasFocus());
    EXPECT_EQ(box(5)->cursorPosition(), 0);
}

TEST_F(Layout, ALongHeadingEndsInAnEllipsisBeforeTheButton) {
    const QString heading(200, u'W');
    const auto& ui = open({QStringLiteral("Privat")}, {{heading, QStringLiteral("Privat")}}).ui();
    const auto* caption = dynamic_cast<const mainwindow::ElidingLabel*>(ui.label[6]);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text(), QStringLiteral("Notizen zu:  ") + heading);
    EXPECT_TRUE(caption->shownText().endsWith(u'…'));
    EXPECT_LE(caption->fontMetrics().horizontalAdvance(caption->shownText()), caption->width());
    const int right = caption->mapTo(window_.get(), QPoint(caption->width(), 0)).x();
    EXPECT_LE(right, ui.Command6->mapTo(window_.get(), QPoint(0, 0)).x());
}

TEST_F(Layout, TheSplitterMovesTheNotesColumnAndStaysOffTheEdges) {
    const auto& ui = open({}, {}).ui();
    const int middle = window().width() / 2;
    release(pressAndDrag(middle));
    EXPECT_FALSE(ui.Text6->isVisible());
    EXPECT_EQ(notesLeft(), middle);
    EXPECT_EQ(leftInWindow(ui.label[6]), middle);
    // The search field ends a little before the notes column, as the list does.
    const int listRight = leftInWindow(ui.List1) + ui.List1->width();
    EXPECT_LT(listRight, middle);
    EXPECT_EQ(leftInWindow(ui.Text1) + ui.Text1->width(), listRight - pixels(410));

    release(pressAndDrag(-50));
    EXPECT_EQ(notesLeft(), pixels(2000));
    release(pressAndDrag(window().width() + 50));
    EXPECT_EQ(notesLeft(), window().width() - pixels(2000));

    // The drag bar follows the pointer until it leaves for the notes block.
    pressAndDrag(middle);
    EXPECT_TRUE(ui.Text6->isVisible());
    EXPECT_EQ(leftInWindow(ui.Text6), middle);
    sendMouse(ui.RichTextBox2->viewport(), QEvent::MouseMove, {5, 5}, Qt::NoButton);
    EXPECT_FALSE(ui.Text6->isVisible());
}

TEST_F(Layout, TheSearchWindowSurvivesTheMinimisingButNotTheRestore) {
    settings::write(settings::key::OPChk2, QStringLiteral("1"));  // opened at start-up
    open({QStringLiteral("Privat")}, {});
    settle();
    EXPECT_TRUE(searchWindowOpen());
    EXPECT_TRUE(window().isMinimized());

    window().showNormal();
    settle();
    EXPECT_FALSE(searchWindowOpen());

    // Restored and minimised again for the search window before the window system answers.
    window().showMinimized();
    settle();
    window().showNormal();
    window().menus().action(QStringLiteral("mnuEingabefenster"))->trigger();
    settle();
    EXPECT_TRUE(searchWindowOpen());
    EXPECT_TRUE(window().isMinimized());
}

TEST_F(Layout, ResizingClosesTheSearchWindowButNotBelowTheSmallestSize) {
    open({}, {});
    search::SearchWindow::open(host_);
    ASSERT_FALSE(window().isMinimized());

    QResizeEvent narrow(QSize(pixels(3500), pixels(6000)), window().size());
    QApplication::sendEvent(&window(), &narrow);
    settle();
    EXPECT_TRUE(searchWindowOpen());

    resizeBy(0, pixels(1000));
    settle();
    EXPECT_FALSE(searchWindowOpen());
}

TEST_F(Layout, AToolbarAreaOfAnotherHeightClosesTheSearchWindow) {
    open({}, {});
    search::SearchWindow::open(host_);
    settle();
    ASSERT_TRUE(searchWindowOpen());
    for (int band = 1; band <= 3; ++band) {
        window().bars().bar(band)->hide();
    }
    settle();
    EXPECT_FALSE(searchWindowOpen());
}

}  // namespace
