#include "richtext/CommandBars.h"

#include "richtext/BarIcons.h"

#include <QAction>
#include <QMainWindow>
#include <QToolBar>

#include <exception>

namespace veltro::richtext {
namespace {

using Button = CommandBars::Button;

constexpr std::array kButtons = {
    Button{"tbrNeueKategorie", "Neue Kategorie anlegen", 1, false, false, "folder-new"},
    Button{"tbrNeueKarte", "Neue Karte/Adresse anlegen", 1, false, false, "contact-new"},
    Button{"tbrDrucken", "Druckt den aktiven Bereich  (Cursor)", 1, false, false, "document-print"},
    Button{"tbrMail", "E-Mail  oder Internet starten", 1, false, false, "mail-message-new"},
    Button{"tbrSuchFenster", "Suchfenster einblenden", 1, false, false, "edit-find"},

    Button{"tbrCut", "Ausschneiden", 2, false, false, "edit-cut"},
    Button{"tbrCopy", "Kopieren", 2, false, false, "edit-copy"},
    Button{"tbrPaste", "Einfügen", 2, false, false, "edit-paste"},
    Button{"tbrDelete", "Löschen", 2, false, false, "edit-delete"},
    Button{"tbrOptionen", "Optionen", 2, false, true, "preferences-system"},

    Button{"tbrFont", "Schriftart", 3, false, false, "preferences-desktop-font"},
    Button{"tbrFontColor", "Farbe", 3, false, false, "format-text-color"},
    Button{"tbrFett", "Fett", 3, true, true, "format-text-bold"},
    Button{"tbrKursiv", "Kursiv", 3, true, false, "format-text-italic"},
    Button{"tbrUnterstrichen", "Unterstrichen", 3, true, false, "format-text-underline"},
    Button{"tbrBullet", "Aufzählungszeichen", 3, true, false, "format-list-unordered"},
    Button{"tbrLinks", "Linksbündig", 3, true, true, "format-justify-left"},
    Button{"tbrMitte", "Zentriert", 3, true, false, "format-justify-center"},
    Button{"tbrRechts", "Rechtsbündig", 3, true, false, "format-justify-right"},
    Button{"tbrHilfe", "Hilfe", 3, false, true, "help-contents"},
    Button{"tbrEnde", "Adressbuch Beenden", 3, false, false, "application-exit"},
};

}  // namespace

std::span<const Button> CommandBars::buttons() {
    return kButtons;
}

CommandBars::CommandBars(QMainWindow& window) : QObject(&window) {
    for (int band = 1; band <= 3; ++band) {
        auto* bar = new QToolBar(&window);
        bar->setObjectName(QStringLiteral("Toolbar%1").arg(band));
        bar->setWindowTitle(bar->objectName());
        bar->toggleViewAction()->setVisible(false);  // the bars are always shown
        bar->setFloatable(false);
        bar->setAllowedAreas(Qt::TopToolBarArea);
        window.addToolBar(Qt::TopToolBarArea, bar);
        bars_.at(band - 1) = bar;
    }
    for (const Button& button : kButtons) {
        QToolBar* bar = bars_.at(button.band - 1);
        if (button.separatorBefore) {
            bar->addSeparator();
        }
        const QString key = QLatin1String(button.key);
        QAction* action = bar->addAction(BarIcons::icon(key, QLatin1String(button.themeIcon)),
                                         QString::fromUtf8(button.toolTip));
        action->setObjectName(key);
        action->setToolTip(QString::fromUtf8(button.toolTip));
        action->setCheckable(button.twoState);
        bar->widgetForAction(action)->setObjectName(key);
        actions_.insert(key, action);
        connect(action, &QAction::triggered, this, [this, action, key](bool checked) {
            if (action->isCheckable()) {
                action->setChecked(!checked);  // the command decides what the button shows
            }
            dispatch(key);
        });
    }
}

void CommandBars::setCommand(const QString& key, Command command) {
    commands_[key] = std::move(command);
}

bool CommandBars::dispatch(const QString& key) {
    for (const Button& button : kButtons) {
        if (key != QLatin1String(button.key)) {
            continue;
        }
        // A copy, so a command may replace commands while it runs.
        const Command command = commands_.value(key);
        if (command) {
            // An exception must not unwind through Qt's event loop; a failing command just
            // stops where it failed.
            try {
                command();
            } catch (const std::exception&) {
            }
        }
        return true;
    }
    return false;
}

QToolBar* CommandBars::bar(int band) const {
    return band >= 1 && band <= 3 ? bars_.at(band - 1) : nullptr;
}

QAction* CommandBars::action(const QString& key) const {
    return actions_.value(key);
}

bool CommandBars::isPressed(const QString& key) const {
    const QAction* found = action(key);
    return found && found->isChecked();
}

void CommandBars::setPressed(const QString& key, bool pressed) {
    if (QAction* found = action(key)) {
        found->setChecked(pressed);
    }
}

}  // namespace veltro::richtext
