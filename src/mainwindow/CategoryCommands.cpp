#include "maintenance/CardOperations.h"
#include "mainwindow/CardEditor.h"
#include "mainwindow/CardListModel.h"
#include "mainwindow/FullTextSearch.h"
#include "mainwindow/MainWindow.h"
#include "platform/Platform.h"
#include "store/Categories.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace veltro::mainwindow {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

Answer ask(const QString& text, const QString& title, Icon icon, Buttons buttons = Buttons::Ok) {
    return platform::current().message({text, title, buttons, icon, 0});
}

}  // namespace

void MainWindow::showCategoryInput(bool show) {
    ui_.box(19)->setVisible(show);
    ui_.Combo1->setVisible(!show);
}

void MainWindow::mnuNeueKategorie() {
    changeFlag_ = true;
    categoryInputMode_ = CategoryInput::New;
    ui_.label[6]->setText(QStringLiteral("(Notizen)"));
    if (ui_.Combo1->count() > 0) {
        ui_.Combo1->setCurrentIndex(0);
        Combo1_Click();
    }
    showCategoryInput(true);
    ui_.box(19)->clear();
    ui_.box(19)->setFocus();
}

void MainWindow::mnuKategorieUmbenennen() {
    changeFlag_ = true;
    if (ui_.Combo1->currentIndex() == 0) {
        platform::current().beep();
        ask(QStringLiteral("Wählen Sie bitte zuerst eine Kategorie aus!"),
            QStringLiteral("Diese Kategorie kann nicht umbenannt werden !"), Icon::Exclamation);
        return;
    }
    platform::current().beep();
    const QString name = ui_.Combo1->currentText();
    if (ask(QStringLiteral("Soll die Kategorie '") + name + QStringLiteral("' umbenannt werden ?"),
            QStringLiteral("Kategorie umbenennen"), Icon::Critical,
            Buttons::YesNo) != Answer::Yes) {
        return;
    }
    categoryInputMode_ = CategoryInput::Rename;
    if (ui_.box(19)->text().isEmpty()) {
        ui_.box(19)->setText(name);
    }
    ui_.List1->setFocus();
    if (listModel_->count() > 0) {
        selectFirstLine();
    }
    showCategoryInput(true);
    ui_.box(19)->setFocus();
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
        changeFlag_ = true;
    }
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Text19_Confirm();
            return true;
        case Qt::Key_Escape:
            cancelCategoryInput();
            return true;
        default:
            return false;
    }
}

void MainWindow::cancelCategoryInput() {
    if (!ui_.box(19)->isVisible()) {
        return;
    }
    showCategoryInput(false);
    ui_.Text1->setFocus();
    Combo1_Click();  // the category line showed the name typed; the card view shows it again
}

void MainWindow::Text19_Confirm() {
    if (confirmingCategory_ || !ui_.box(19)->isVisible()) {
        return;
    }
    confirmingCategory_ = true;
    const QString name = ui_.box(19)->text();
    bool newCardWanted = false;
    guarded(categoryInputMode_ == CategoryInput::New ? QStringLiteral("Neue Kategorie")
                                                     : QStringLiteral("Kategorie umbenennen"),
            [&] {
                newCardWanted = categoryInputMode_ == CategoryInput::New
                                    ? createCategory(name)
                                    : renameSelectedCategory(name);
            });
    ui_.Text1->setFocus();
    showCategoryInput(false);
    confirmingCategory_ = false;
    if (newCardWanted) {
        runCommand(QStringLiteral("Neue Karte"), [this] { mnuNeuekarte(); });
    }
}

bool MainWindow::createCategory(const QString& name) {
    if (name.isEmpty() || name == store::kAllCategories) {
        platform::current().beep();
        return false;
    }
    if (maintenance::categoryExists(*store_, name)) {
        return false;
    }
    store_->addCategory(name);
    fillCategorySelector();
    for (int i = 1; i < ui_.Combo1->count(); ++i) {
        ui_.Combo1->setCurrentIndex(i);
        Combo1_Click();
        if (ui_.Combo1->currentText() == name) {
            break;
        }
    }
    ui_.Text1->setFocus();
    showCategoryInput(false);
    return ask(QStringLiteral(
                   "Wollen Sie in der gerade erstellten Kategorie\neine Neue Karte/Adresse "
                   "anlegen?"),
               QStringLiteral("Neue Karte anlegen?"), Icon::Question,
               Buttons::YesNo) == Answer::Yes;
}

bool MainWindow::renameSelectedCategory(const QString& name) {
    if (name.isEmpty()) {
        platform::current().beep();
        return false;
    }
    if (maintenance::categoryExists(*store_, name)) {
        return false;
    }
    maintenance::renameCategory(*store_, ui_.Combo1->currentText(), name);
    reloadCardIndex();
    fillCategorySelector();
    if (ui_.Combo1->count() > 0) {
        ui_.Combo1->setCurrentIndex(0);
        Combo1_Click();
    }
    return false;
}

void MainWindow::mnuKategorieLoschen() {
    changeFlag_ = true;
    if (ui_.Combo1->currentIndex() == 0) {
        platform::current().beep();
        ask(QStringLiteral("Wählen Sie bitte eine andere Kategorie aus!"),
            QStringLiteral("Diese Kategorie kann nicht gelöscht werden !"), Icon::Exclamation);
        return;
    }
    platform::current().beep();
    const QString name = ui_.Combo1->currentText();
    if (ask(QStringLiteral("Soll die Kategorie '") + name +
                QStringLiteral("' gelöscht werden ?\n\nAchtung!!\nAlle Karten/Adressen in dieser "
                               "Kategorie werden ebenfalls gelöscht!"),
            QStringLiteral("Kategorie löschen."), Icon::Critical, Buttons::YesNo) != Answer::Yes) {
        return;
    }
    maintenance::deleteCategory(*store_, name);
    reloadCardIndex();
    fillCategorySelector();
    if (ui_.Combo1->count() > 0) {
        ui_.Combo1->setCurrentIndex(0);
        Combo1_Click();
    }
    ui_.Text1->setFocus();
}

void MainWindow::reloadCardIndex() {
    listModel_->clear();
    loadCardIndex();
    fullText_->restart(store_->file());
}

}  // namespace veltro::mainwindow
