#include "mainwindow/MainSearchHost.h"

#include "maintenance/ClipboardCommands.h"
#include "mainwindow/CardEditor.h"
#include "mainwindow/MainWindow.h"
#include "options/OptionsDialog.h"
#include "richtext/RichTextBlock.h"

#include <QLineEdit>

#include <algorithm>

namespace veltro::mainwindow {

void MainSearchHost::setSearchText(const QString& text) {
    window_.ui().Text1->setText(text);
    // A caller's number or an e-mail address: no heading holds it, the card does, perhaps
    // among its further entries.
    const bool numberOrAddress =
        std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() || c == u'@'; });
    if (lineCount() == 0 && numberOrAddress) {
        window_.findCardsHolding(text);
    }
}

int MainSearchHost::lineCount() const {
    return window_.ui().List1->model()->rowCount();
}

QString MainSearchHost::lineText(int row) const {
    return window_.ui().List1->model()->index(row, 0).data().toString();
}

int MainSearchHost::selectedLine() const {
    const auto selected = window_.ui().List1->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
}

void MainSearchHost::selectLine(int row) {
    CardListView* list = window_.ui().List1;
    if (row < 0) {
        list->selectionModel()->clear();
        return;
    }
    list->setCurrentIndex(list->model()->index(row, 0));
}

search::ShownCard MainSearchHost::shownCard() const {
    const auto& ui = window_.ui();
    return {ui.box(7)->text(), ui.box(11)->text(), ui.box(12)->text(),
            ui.RichTextBox1->document()->isEmpty(), ui.RichTextBox2->document()->isEmpty()};
}

void MainSearchHost::copyAddress() {
    window_.editor().commit();
    maintenance::ClipboardCommands::copyBlock(*window_.ui().RichTextBox1);
}

void MainSearchHost::copyNotes() {
    window_.editor().commit();
    maintenance::ClipboardCommands::copyBlock(*window_.ui().RichTextBox2);
}

void MainSearchHost::minimizeMainWindow() {
    window_.showMinimized();
}

void MainSearchHost::restoreMainWindow() {
    window_.showNormal();
    window_.activateWindow();
}

bool MainSearchHost::reactivateOnClose() const {
    return window_.optionsDialog().reactivateMainWindow();
}

}  // namespace veltro::mainwindow
