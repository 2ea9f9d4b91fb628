#include "mainwindow/BirthdaysDialog.h"
#include "mainwindow/CardList.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/UndoCommands.h"
#include "options/OptionsDialog.h"
#include "platform/Platform.h"
#include "printing/PrintController.h"
#include "printing/PrintLayouts.h"
#include "store/ComingDates.h"

namespace veltro::mainwindow {

namespace {

constexpr int kBirthdayDays = 30;

}  // namespace

void MainWindow::connectBirthdays() {
    connectEntry("mnuGeburtstage", [this] {
        if (!toFront(birthdays_) && session_->isOpen()) {
            openBirthdays(store::cardDates(session_->store().db()), kBirthdayDays);
        }
    });
}

void MainWindow::openBirthdays(std::vector<store::CardDate> dates, int days) {
    const auto showCard = [this](std::int64_t card) {
        runCommand(QStringLiteral("Karte zeigen"), [this, card] {
            if (!list_->index().positionOf(card)) {
                platform::current().message({QStringLiteral("Die Karte gibt es nicht mehr."),
                                             QStringLiteral("Geburtstage"), platform::Buttons::Ok,
                                             platform::Icon::Exclamation, 0});
                return;
            }
            undo_->showCard(card);
        });
    };
    const auto print = [this](const QString& heading,
                              const std::vector<store::ComingDate>& coming) {
        printer_->printList(QStringLiteral("Geburtstage"), [&](printing::PrintJob& job) {
            printing::GeburtstageDrucken(job, heading, coming);
        });
    };
    birthdays_ =
        new BirthdaysDialog(std::move(dates), QDate::currentDate(), days, {showCard, print}, this);
    birthdays_->setAttribute(Qt::WA_DeleteOnClose);
    birthdays_->show();
}

// At start, once the window stands: the list when a date comes round soon enough.
void MainWindow::showBirthdaysAtStart() {
    const auto days = optionsDialog().birthdaysAtStart();
    if (!days || !session_->isOpen()) {
        return;
    }
    guarded(QStringLiteral("Geburtstage"), [this, days] {
        auto dates = store::cardDates(session_->store().db());
        if (!store::comingDates(dates, QDate::currentDate(), *days).empty()) {
            openBirthdays(std::move(dates), *days);
        }
    });
}

}  // namespace veltro::mainwindow
