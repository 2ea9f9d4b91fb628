#include "mainwindow/CategoryCommands.h"

#include "mainwindow/CardList.h"
#include "mainwindow/CardListModel.h"
#include "mainwindow/MainWindowUi.h"
#include "platform/Platform.h"
#include "store/Categories.h"

#include <QComboBox>
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

bool CategoryCommands::inputShown() const {
    return c_.ui.box(19)->isVisible();
}

void CategoryCommands::showInput(bool show) {
    c_.ui.box(19)->setVisible(show);
    c_.ui.Combo1->setVisible(!show);
}

QString CategoryCommands::inputTitle() const {
    return input_ == Input::New ? QStringLiteral("Neue Kategorie")
                                : QStringLiteral("Kategorie umbenennen");
}

void CategoryCommands::showFirstCategory() {
    if (c_.ui.Combo1->count() > 0) {
        c_.ui.Combo1->setCurrentIndex(0);
        c_.list.showCategory();
    }
}

void CategoryCommands::startNew() {
    c_.session.markChanged();
    input_ = Input::New;
    c_.ui.label[6]->setText(QStringLiteral("(Notizen)"));
    showFirstCategory();
    showInput(true);
    c_.ui.box(19)->clear();
    c_.ui.box(19)->setFocus();
}

void CategoryCommands::startRename() {
    c_.session.markChanged();
    if (c_.ui.Combo1->currentIndex() == 0) {
        platform::current().beep();
        ask(QStringLiteral("Wählen Sie bitte zuerst eine Kategorie aus!"),
            QStringLiteral("Diese Kategorie kann nicht umbenannt werden !"), Icon::Exclamation);
        return;
    }
    platform::current().beep();
    const QString name = c_.ui.Combo1->currentText();
    if (ask(QStringLiteral("Soll die Kategorie '") + name + QStringLiteral("' umbenannt werden ?"),
            QStringLiteral("Kategorie umbenennen"), Icon::Critical,
            Buttons::YesNo) != Answer::Yes) {
        return;
    }
    input_ = Input::Rename;
    renaming_ = name;
    if (c_.ui.box(19)->text().isEmpty()) {
        c_.ui.box(19)->setText(name);
    }
    c_.ui.List1->setFocus();
    if (c_.list.model().count() > 0) {
        c_.list.selectFirstLine();
    }
    showInput(true);
    c_.ui.box(19)->setFocus();
}

std::optional<QString> CategoryCommands::unconfirmedName() const {
    const QString typed = c_.ui.box(19)->text().trimmed();
    const QString opened = input_ == Input::New ? QString() : renaming_;
    if (!inputShown() || typed.isEmpty() || typed == opened) {
        return std::nullopt;
    }
    return typed;
}

void CategoryCommands::cancelInput() {
    if (!inputShown()) {
        return;
    }
    showInput(false);
    c_.ui.Text1->setFocus();
    c_.list
        .showCategory();  // the category line showed the name typed; the card view shows it again
}

bool CategoryCommands::confirm(const QString& name) {
    if (input_ == Input::New) {
        return create(name);
    }
    renameSelected(name);
    return false;
}

bool CategoryCommands::create(const QString& name) {
    if (!store::isTargetCategory(name)) {
        platform::current().beep();
        return false;
    }
    if (!c_.session.addCategory(name)) {
        return false;
    }
    c_.list.fillCategorySelector();
    for (int i = 1; i < c_.ui.Combo1->count(); ++i) {
        c_.ui.Combo1->setCurrentIndex(i);
        c_.list.showCategory();
        if (c_.ui.Combo1->currentText() == name) {
            break;
        }
    }
    c_.ui.Text1->setFocus();
    showInput(false);
    return ask(QStringLiteral(
                   "Wollen Sie in der gerade erstellten Kategorie\neine Neue Karte/Adresse "
                   "anlegen?"),
               QStringLiteral("Neue Karte anlegen?"), Icon::Question,
               Buttons::YesNo) == Answer::Yes;
}

void CategoryCommands::renameSelected(const QString& name) {
    if (!store::isTargetCategory(name)) {
        platform::current().beep();
        return;
    }
    bool renamed = false;
    c_.list.aroundReload(
        [&] { renamed = c_.session.renameCategory(c_.ui.Combo1->currentText(), name); });
    if (!renamed) {
        c_.list.showCategory();
        return;
    }
    c_.list.fillCategorySelector();
    showFirstCategory();
}

void CategoryCommands::remove() {
    c_.session.markChanged();
    if (c_.ui.Combo1->currentIndex() == 0) {
        platform::current().beep();
        ask(QStringLiteral("Wählen Sie bitte eine andere Kategorie aus!"),
            QStringLiteral("Diese Kategorie kann nicht gelöscht werden !"), Icon::Exclamation);
        return;
    }
    platform::current().beep();
    const QString name = c_.ui.Combo1->currentText();
    if (ask(QStringLiteral("Soll die Kategorie '") + name +
                QStringLiteral("' gelöscht werden ?\n\nAchtung!!\nAlle Karten/Adressen in dieser "
                               "Kategorie werden ebenfalls gelöscht!"),
            QStringLiteral("Kategorie löschen."), Icon::Critical, Buttons::YesNo) != Answer::Yes) {
        return;
    }
    c_.list.aroundReload([&] { c_.session.deleteCategory(name); });
    c_.list.fillCategorySelector();
    showFirstCategory();
    c_.ui.Text1->setFocus();
}

}  // namespace veltro::mainwindow
