#include "base/Failure.h"
#include "import/ImportDialog.h"
#include "mainwindow/CardEditor.h"
#include "mainwindow/CategoryCommands.h"
#include "mainwindow/MainWindow.h"
#include "platform/Platform.h"
#include "store/PendingEdit.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QMenuBar>
#include <QToolBar>

#include <cstdio>

namespace veltro::mainwindow {

namespace {
const QString kQuestion =
    QStringLiteral("Möchten Sie alle Änderungen speichern ?") + QString(14, u' ');
const QString kTitle = QStringLiteral("Veltro Adressbuch");
}  // namespace

bool MainWindow::Form_QueryUnload() {
    if (!session_->isOpen()) {
        return true;
    }
    if (!confirmTypedCategory()) {
        return false;
    }
    // Whatever was typed last is part of the run, whichever way the run ends.
    if (!editor_->commit()) {
        return false;
    }
    bool keep = false;
    if (session_->changed()) {
        QDir::setCurrent(QString::fromStdString(session_->directory().string()));
        platform::current().beep();
        const auto answer = platform::current().message(
            {exitQuestion(), kTitle, platform::Buttons::YesNoCancel, platform::Icon::Question, 0});
        if (answer == platform::Answer::Cancel) {
            return false;
        }
        keep = answer == platform::Answer::Yes;
    }
    cancelFullTextBuild();
    if (keep) {
        discardOrKeep(true);
    } else if (!tryDiscard()) {
        return false;
    }
    editor_->setStore(nullptr);
    session_->close();
    closeOtherWindows();
    return true;
}

// The question, with what "Nein" cannot take back.
QString MainWindow::exitQuestion() const {
    QString question = kQuestion;
    if (!session_->restoredAs().isEmpty()) {
        // A restore begins the run anew: "Nein" goes back to the restored store.
        question += QStringLiteral(
                        "\n\nDie wiederhergestellte Sicherung bleibt; „Nein“ verwirft nur, was "
                        "seither geändert wurde. Die Kartei von vorher liegt als %1 im Ordner "
                        "Sicherungen.")
                        .arg(session_->restoredAs());
    }
    if (session_->syncedThisRun()) {
        // What a sync brought in step with the server is settled: "Nein" cannot take it
        // back from the server, so it stays here too, with the pairing.
        question += QStringLiteral(
            "\n\nWas mit dem Server abgeglichen wurde, bleibt auch bei „Nein“ hier und auf dem "
            "Server so, wie es abgeglichen wurde.");
    }
    return question;
}

// A category name typed and not confirmed is not dropped without a word.
bool MainWindow::confirmTypedCategory() {
    const auto typed = categories_->unconfirmedName();
    if (!typed) {
        return true;
    }
    const auto answer = platform::current().message(
        {QStringLiteral("Der Name „%1“ in der Kategoriezeile ist noch nicht bestätigt.\n\n"
                        "Soll er vor dem Beenden übernommen werden?")
             .arg(*typed),
         kTitle, platform::Buttons::YesNoCancel, platform::Icon::Question, 0});
    if (answer == platform::Answer::Cancel) {
        return false;
    }
    if (answer == platform::Answer::Yes) {
        Text19_Confirm();
    } else {
        categories_->cancelInput();
    }
    return true;
}

void MainWindow::discardOrKeep(bool keep) {
    if (keep) {
        session_->keep();
    } else {
        session_->discard(discardStepHook_);
    }
}

// A discard that fails is said, and tried again as often as the user wants; the window
// stays open rather than closing with the run's changes silently kept.
bool MainWindow::tryDiscard() {
    for (;;) {
        try {
            discardOrKeep(false);
            return true;
        } catch (...) {
            const auto answer = platform::current().message(
                {QStringLiteral("Die Änderungen dieses Laufs konnten nicht verworfen werden.\n\n"
                                "%1\n\nMit „OK“ wird es erneut versucht; mit „Abbrechen“ "
                                "bleibt das Programm geöffnet.")
                     .arg(describeFailure(std::current_exception()).text),
                 kTitle, platform::Buttons::OkCancel, platform::Icon::Exclamation, 0});
            if (answer != platform::Answer::Ok) {
                return false;
            }
        }
    }
}

void MainWindow::endRunKeeping() {
    if (!session_->isOpen()) {
        return;
    }
    tellKeptForNextStart(editor_->commitOrKeep());
    // Work still writing stops unfinished: all of it or nothing, so nothing.
    if (auto* work = session_->work()) {
        work->cancel();
    }
    session_->finishWork();
    cancelFullTextBuild();
    try {
        discardOrKeep(true);
    } catch (const std::exception&) {
        // The next start takes a fresh snapshot; the run's changes stay either way.
    }
    Form_Unload();
    editor_->setStore(nullptr);
    session_->close();
    closeOtherWindows();
    hide();
}

void MainWindow::commitDataForSession() {
    if (session_->isOpen()) {
        tellKeptForNextStart(editor_->commitOrKeep());
    }
}

// The run ends without a question on screen; the terminal or the session's log hears why
// the typed text waits for the next start.
void MainWindow::tellKeptForNextStart(const std::optional<QString>& failure) {
    if (!failure) {
        return;
    }
    const QString text =
        QStringLiteral(
            "Veltro Adressbuch: Die Eingaben in der angezeigten Karte sind nicht "
            "gespeichert (%1). Sie sind in %2 gesichert und werden beim nächsten "
            "Start angeboten.")
            .arg(*failure,
                 QString::fromStdString(store::pendingEditFile(session_->store().file()).string()));
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

// While long work writes, nothing may be typed or chosen in the window; an import asked
// to stop before closing closes the window once it has stopped.
void MainWindow::followRunState(session::RunState state) {
    const bool idle = state == session::RunState::Idle;
    for (QWidget* part : std::initializer_list<QWidget*>{centralWidget(), menuBar()}) {
        part->setEnabled(idle);
    }
    for (QToolBar* bar : findChildren<QToolBar*>(QString(), Qt::FindDirectChildrenOnly)) {
        bar->setEnabled(idle);
    }
    if (idle && std::exchange(closeAfterImport_, false)) {
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void MainWindow::closeOtherWindows() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget != this && widget->isVisible()) {
            widget->close();
        }
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (session_->state() == session::RunState::Syncing) {
        event->ignore();
        platform::current().message(
            {QStringLiteral("Der Abgleich mit dem Server läuft noch.\nBitte warten oder ihn im "
                            "Fenster „Synchronisieren“ abbrechen."),
             kTitle, platform::Buttons::Ok, platform::Icon::Information, 0});
        return;
    }
    if (importRunning()) {
        event->ignore();
        const auto answer = platform::current().message(
            {QStringLiteral("Der Import läuft noch.\nSoll er abgebrochen werden, bevor das "
                            "Programm beendet wird?"),
             kTitle, platform::Buttons::YesNo, platform::Icon::Question, 0});
        if (answer == platform::Answer::Yes) {
            closeAfterImport_ = true;
            for (auto* dialog : findChildren<import::ImportDialog*>()) {
                dialog->close();  // asks the running import to stop
            }
            if (auto* work = session_->work()) {
                work->cancel();  // a dropped vCard has no dialog of its own
            }
        }
        return;
    }
    if (session_->state() == session::RunState::Merging) {
        session_->finishWork();  // a merge takes a moment
    }
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

}  // namespace veltro::mainwindow
