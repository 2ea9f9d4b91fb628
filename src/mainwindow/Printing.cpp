#include "mainwindow/CardEditor.h"
#include "mainwindow/CardList.h"
#include "mainwindow/CardListModel.h"
#include "mainwindow/MainMenus.h"
#include "mainwindow/MainWindow.h"
#include "options/OptionsDialog.h"
#include "printing/PrintController.h"
#include "richtext/RichTextBlock.h"

#include <QAction>
#include <QLineEdit>

namespace veltro::mainwindow {

using printing::PrintEntry;

void MainWindow::connectPrinting() {
    printer_ = std::make_unique<printing::PrintController>();
    const auto on = [this](const char* name, PrintEntry entry) {
        connectEntry(name, [this, entry] { printer_->run(entry, printData()); });
    };
    on("mnuDruckAnschrift", PrintEntry::MenuAddress);
    on("mnuDruckNotizen", PrintEntry::MenuNotes);
    on("mnuDruckEingabefelder", PrintEntry::MenuFields);
    on("mnuDruckGesamt2", PrintEntry::MenuCard);
    on("mnuDruckGesamt", PrintEntry::CardMenuCard);
    on("popaDrucken", PrintEntry::PopupAddress);
    on("popnDrucken", PrintEntry::PopupNotes);
    connectEntry("mnuDruckerAuswaehlen", [this] { printer_->choosePrinter(); });
    connectEntry("mnuSeitenansicht", [this] { printer_->preview(focusedForPrint(), printData()); });
}

printing::PrintData MainWindow::printData() {
    printing::PrintData print;
    print.card = shownCardForPrint();
    const QModelIndex current = ui_.List1->currentIndex();
    print.card.set(store::Field::Schlagworte,
                   current.isValid() ? list_->model().entry(current.row()).heading : QString());
    if (editor_->shownCardId()) {
        print.extras = editor_->viewedExtras();
    }
    print.fieldFace = ui_.box(9)->font().family();
    const auto selection = ui_.RichTextBox1->selectionAttributes();
    print.addressFace = selection.face;
    print.addressPoints = selection.pointSize;
    print.margins = {optionsDialog().topMargin(), optionsDialog().leftMargin()};
    return print;
}

printing::FocusedWidget MainWindow::focusedForPrint() const {
    const QWidget* focused = focusWidget();
    const auto in = [focused](const QWidget* widget) {
        return focused != nullptr && (focused == widget || widget->isAncestorOf(focused));
    };
    if (in(ui_.RichTextBox1)) {
        return printing::FocusedWidget::AddressBlock;
    }
    if (in(ui_.RichTextBox2)) {
        return printing::FocusedWidget::NotesBlock;
    }
    if (in(ui_.List1)) {
        return printing::FocusedWidget::CardList;
    }
    return printing::FocusedWidget::Other;
}

}  // namespace veltro::mainwindow
