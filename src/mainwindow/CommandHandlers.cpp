// The handlers of the card and category commands: the window's names for what the
// command controllers do.
#include "mainwindow/CardCommands.h"
#include "mainwindow/CardEditor.h"
#include "mainwindow/CategoryCommands.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/UndoCommands.h"
#include "options/OptionsDialog.h"
#include "richtext/RichTextBlock.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace veltro::mainwindow {

namespace {

// Face, size, bold and italic; the text colour stays as it is.
void applyBlockFont(richtext::RichTextBlock* block, const QFont& chosen) {
    QFont font = block->font();
    font.setFamily(chosen.family());
    font.setPointSizeF(chosen.pointSizeF());
    font.setBold(chosen.bold());
    font.setItalic(chosen.italic());
    block->document()->setDefaultFont(font);
    block->setCurrentFont(font);
}

}  // namespace

void MainWindow::mnuNeuekarte() {
    if (cards_->newCardFromMenu()) {
        applyBlockFont(ui_.RichTextBox1, optionsDialog().addressFont());
        applyBlockFont(ui_.RichTextBox2, optionsDialog().notesFont());
    }
}

void MainWindow::Command1_Click() {
    cards_->newCard();
}

void MainWindow::mnukarteRen() {
    cards_->rename();
}

void MainWindow::Command3_Click() {
    cards_->remove();
}

void MainWindow::mnukarteloschen() {
    session_->markChanged();
    Command3_Click();
    ui_.Text1->setFocus();
}

void MainWindow::copyCardAsVcard() {
    cards_->copyAsVcard();
}

void MainWindow::mnuKarteKategorie() {
    cards_->assignCategory();
}

void MainWindow::mnuNeueKategorie() {
    categories_->startNew();
}

void MainWindow::mnuKategorieUmbenennen() {
    categories_->startRename();
}

void MainWindow::mnuKategorieLoschen() {
    categories_->remove();
}

// The line confirms on Enter or when the user moves on inside the window; a pop-up,
// another window or the program losing activation leave it open. Escape cancels.
bool MainWindow::categoryInputEvent(QEvent* event) {
    QLineEdit* line = ui_.box(19);
    if (event->type() == QEvent::FocusOut) {
        if (focusStaysInWindow(*line, *static_cast<QFocusEvent*>(event))) {
            Text19_Confirm();
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!key->text().isEmpty() || key->key() == Qt::Key_Backspace) {
        session_->markChanged();
    }
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Text19_Confirm();
            return true;
        case Qt::Key_Escape:
            categories_->cancelInput();
            return true;
        default:
            return false;
    }
}

void MainWindow::Text19_Confirm() {
    if (confirmingCategory_ || !categories_->inputShown()) {
        return;
    }
    confirmingCategory_ = true;
    const QString name = ui_.box(19)->text();
    bool newCardWanted = false;
    guarded(categories_->inputTitle(), [&] { newCardWanted = categories_->confirm(name); });
    ui_.Text1->setFocus();
    categories_->showInput(false);
    confirmingCategory_ = false;
    undo_->refresh();
    if (newCardWanted) {
        runCommand(QStringLiteral("Neue Karte"), [this] { mnuNeuekarte(); });
    }
}

}  // namespace veltro::mainwindow
