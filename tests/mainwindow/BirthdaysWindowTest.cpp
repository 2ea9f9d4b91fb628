#include "MainWindowFixture.h"

#include "mainwindow/BirthdaysDialog.h"
#include "mainwindow/CardEditor.h"
#include "store/CardExtrasTable.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"

#include <QApplication>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

using namespace veltro;
using store::Field;
using veltro::testing::MainWindowFixture;

using namespace Qt::Literals::StringLiterals;

namespace {

class BirthdaysWindowTest : public MainWindowFixture {
protected:
    [[nodiscard]] static mainwindow::BirthdaysDialog* shownList() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* list = qobject_cast<mainwindow::BirthdaysDialog*>(widget);
                list != nullptr && list->isVisible()) {
                return list;
            }
        }
        return nullptr;
    }
};

// Opened at start by the option, a line opened with Enter shows its card in its category after
// what was typed on the shown card is saved; the list prints through the print dialog.
TEST_F(BirthdaysWindowTest, OpensAtStartShowsTheCardOfALineAndPrints) {
    veltro::testing::makeStore(home_.dir(), {u"Privat"_s, u"Verein"_s},
                               {{u"Bauer Klaus"_s, u"Privat"_s}, {u"Zorn Eva"_s, u"Verein"_s}});
    const QDate today = QDate::currentDate();
    const QDate tomorrow = today.addDays(1);
    {
        auto cards = store::CardStore::open(home_.storeFile());
        store::CardExtras eva;
        eva.birthday = store::PartialDate{1972, tomorrow.month(), tomorrow.day()};
        writeCardExtras(cards.db(), *cards.findByHeading(u"Zorn Eva"), eva);
        store::CardExtras klaus;
        klaus.anniversary =
            store::PartialDate{0, today.addDays(20).month(), today.addDays(20).day()};
        writeCardExtras(cards.db(), *cards.findByHeading(u"Bauer Klaus"), klaus);
    }
    settings::write(settings::key::GeburtstageZeigen, u"1"_s);
    settings::write(settings::key::GeburtstageTage, u"2"_s);
    openExisting();
    QApplication::processEvents();
    mainwindow::BirthdaysDialog* list = shownList();
    ASSERT_NE(list, nullptr);
    auto* table = list->findChild<QTableWidget*>(u"lstTermine"_s);
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 0)->text(), store::shownDay(tomorrow));
    EXPECT_EQ(table->item(0, 1)->text(), u"Zorn Eva"_s);
    EXPECT_EQ(table->item(0, 2)->text(), u"Geburtstag"_s);
    EXPECT_EQ(table->item(0, 3)->text(), QString::number(tomorrow.year() - 1972));
    list->findChild<QSpinBox*>(u"spnTage"_s)->setValue(30);
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(1, 1)->text(), u"Bauer Klaus"_s);
    EXPECT_TRUE(table->item(1, 3)->text().isEmpty());

    chooseCategory(u"Privat"_s);
    type(box(2), u"Klaus"_s);  // not saved yet: the box keeps the focus
    list->activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(list->focusWidget(), table);
    QTest::keyClick(table, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(storedCard(u"Bauer Klaus"_s).text(Field::Vorname), u"Klaus"_s);
    EXPECT_EQ(window().ui().Combo1->currentText(), u"Verein"_s);
    EXPECT_EQ(window().editor().shownCardId(), window().cardStore()->findByHeading(u"Zorn Eva"));
    EXPECT_TRUE(list->isVisible());

    QTest::mouseClick(list->findChild<QPushButton*>(u"cmdDrucken"_s), Qt::LeftButton);
    EXPECT_EQ(platform_->printerSetups, 1);
    QStringList printed;
    for (const auto& line : platform_->printed) {
        printed << line.text;
    }
    ASSERT_GE(printed.size(), 5);
    EXPECT_TRUE(printed[0].startsWith(u"Geburtstage und Jahrestage vom "_s));
    EXPECT_EQ(printed[3], store::shownDay(tomorrow) + u"\tZorn Eva\tGeburtstag\t"_s +
                              QString::number(tomorrow.year() - 1972));
    QTest::mouseClick(list->findChild<QPushButton*>(u"cmdSchliessen"_s), Qt::LeftButton);
    EXPECT_EQ(shownList(), nullptr);
}

}  // namespace
