// The toolbar keys, the edit entries of the menu bar and the blocks' context menus.
#include "maintenance/AddressComposition.h"
#include "maintenance/ClipboardCommands.h"
#include "maintenance/FirstStepsDialog.h"
#include "mainwindow/CardEditor.h"
#include "mainwindow/MainMenus.h"
#include "mainwindow/MainWindow.h"
#include "options/OptionsDialog.h"
#include "printing/PrintController.h"
#include "richtext/CommandBars.h"
#include "richtext/FormattingBar.h"
#include "richtext/RichTextBlock.h"
#include "store/UndoLog.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

#include <optional>

namespace veltro::mainwindow {

using maintenance::ClipboardCommands;

void MainWindow::connectBars() {
    bars_ = new richtext::CommandBars(*this);
    formatting_ = new richtext::FormattingBar(*bars_, *ui_.RichTextBox1, *ui_.RichTextBox2, this);
    formatting_->setTouchedHandler([this] { session_->markChanged(); });
    const auto on = [this](const char* key, richtext::CommandBars::Command command) {
        bars_->setCommand(QString::fromUtf8(key), std::move(command));
    };
    const auto same = [this](const char* entry) {
        return [this, entry] { menus_->action(QString::fromUtf8(entry))->trigger(); };
    };
    on("tbrNeueKategorie", same("mnuNeueKategorie"));
    on("tbrNeueKarte", same("mnuNeuekarte"));
    on("tbrDrucken", [this] {
        runCommand(QStringLiteral("Drucken"),
                   [this] { printer_->runForFocus(focusedForPrint(), printData()); });
    });
    on("tbrMail", same("mnuEmailInternet"));
    on("tbrSuchFenster", same("mnuEingabefenster"));
    on("tbrCut", same("mnuCut"));
    on("tbrCopy", same("mnukopieren"));
    on("tbrPaste", same("mnueinfügen"));
    on("tbrDelete", same("mnulöschen"));
    on("tbrOptionen", same("mnuOptionen"));
    on("tbrHilfe", same("mnuHilfe"));
    on("tbrEnde", [this] { runCommand(QStringLiteral("Ende"), [this] { tbrEnde(); }); });
}

void MainWindow::connectEditCommands() {
    const auto on = [this](const char* name, const std::function<void()>& handler) {
        connectEntry(name, handler);
    };
    on("mnuCut", [this] { ClipboardCommands::cut(focusWidget()); });
    on("mnukopieren", [this] { ClipboardCommands::copy(focusWidget()); });
    on("mnueinfügen", [this] { ClipboardCommands::paste(focusWidget()); });
    on("mnulöschen", [this] { deleteCommand(); });
    // The context menus act on their own block, wherever the focus was before.
    for (auto* block : {ui_.RichTextBox1, ui_.RichTextBox2}) {
        const bool address = block == ui_.RichTextBox1;
        on(address ? "popAAusschneiden" : "PopNAusschneiden",
           [block] { ClipboardCommands::cut(block); });
        on(address ? "PopAKopieren" : "popnKopieren", [block] { ClipboardCommands::copy(block); });
        on(address ? "PopAEinfügen" : "popnEinfügen", [block] { ClipboardCommands::paste(block); });
        on(address ? "PopALöschen" : "popnLöschen",
           [block] { ClipboardCommands::deleteSelection(block); });
        const auto copyBlock = [block] { ClipboardCommands::copyBlock(*block); };
        on(address ? "mnuCopyAnschrift" : "mnuCopyNotizen", copyBlock);
        on(address ? "popaAnschriftKopieren" : "popnNotizenKopieren", copyBlock);
        connect(address ? ui_.Command5 : ui_.Command6, &QPushButton::clicked, this, copyBlock);
        on(address ? "popaformatieren" : "popnFormatieren",
           [this, block] { formatting_->formatter().chooseFontFor(*block); });
        // The block's own menu never shows; ours comes with the press.
        block->setContextMenuPolicy(Qt::PreventContextMenu);
        block->viewport()->installEventFilter(this);
    }
    connect(ui_.Command4, &QPushButton::clicked, this, [this] {
        runCommand(QStringLiteral("Anschrift erstellen"), [this] { Command4_Click(); });
    });
    connect(ui_.Command7, &QPushButton::clicked, this, [this] { mnuEmailInternet(); });
}

void MainWindow::deleteCommand() {
    if (focusWidget() == ui_.List1) {
        mnukarteloschen();
    } else {
        ClipboardCommands::deleteSelection(focusWidget());
    }
}

void MainWindow::tbrEnde() {
    if (auto* steps = maintenance::FirstStepsDialog::current()) {
        steps->close();
    }
    close();
}

void MainWindow::Command4_Click() {
    session_->markChanged();
    // Its own step to undo: a block typed by hand before comes back without the other edits.
    std::optional<store::UndoStep> step;
    if (session_->isOpen() && editor_->shownCardId()) {
        step.emplace(session_->store().db(), QStringLiteral("Anschrift erstellen"));
    }
    const auto text = [this](int number) { return ui_.box(number)->text(); };
    ui_.RichTextBox1->clear();
    ui_.RichTextBox1->setPlainText(maintenance::composeAddress(
        {text(18), text(2), text(7), text(8), text(9), text(10), text(11), text(12)}));
    if (editor_->save() && step) {
        step->commit();
    }
}

bool MainWindow::blockMenuEvent(QObject* watched, QEvent* event) {
    richtext::RichTextBlock* block = nullptr;
    for (auto* candidate : {ui_.RichTextBox1, ui_.RichTextBox2}) {
        if (watched == candidate || watched == candidate->viewport()) {
            block = candidate;
        }
    }
    if (block == nullptr) {
        return false;
    }
    QPoint at;
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
    } else if (event->type() == QEvent::ContextMenu &&
               static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        at = block->viewport()->mapToGlobal(block->cursorRect().bottomLeft());
    } else {
        return false;
    }
    block->setFocus(Qt::PopupFocusReason);
    const char* name = block == ui_.RichTextBox1 ? "popAdresse" : "popNotizen";
    menus_->menu(QString::fromUtf8(name))->popup(at);
    return true;
}

}  // namespace veltro::mainwindow
