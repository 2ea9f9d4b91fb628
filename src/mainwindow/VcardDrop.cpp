// A vCard file dropped onto the main window is imported into the shown category.
#include "base/Counted.h"
#include "import/ImportRun.h"
#include "mainwindow/CardEditor.h"
#include "mainwindow/MainImportHost.h"
#include "mainwindow/MainWindow.h"
#include "platform/Platform.h"
#include "session/Backups.h"
#include "store/Categories.h"
#include "vcard/VcardMapping.h"
#include "vcard/VcardReader.h"
#include "vcard/VcardRows.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>

#include <QFileInfo>
#include <QMimeData>
#include <utility>

namespace veltro::mainwindow {

namespace {

const QString kTitle = QStringLiteral("vCard importieren");

platform::Answer tell(const QString& text, platform::Icon icon,
                      platform::Buttons buttons = platform::Buttons::Ok) {
    return platform::current().message({text, kTitle, buttons, icon, 0});
}

}  // namespace

QString MainWindow::droppedVcard(const QMimeData& data) {
    const auto urls = data.urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) {
        return {};
    }
    const QString path = urls.front().toLocalFile();
    return vcard::isVcardFile(path) ? path : QString();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (session_->isOpen() && !importRunning() && !droppedVcard(*event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedVcard(*event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    runCommand(kTitle, [this, path] { importVcard(path); });
}

void MainWindow::openVcardFile(const QString& path) {
    // A file that is none is refused before anything happens: no question, no backup.
    const QFileInfo file(path);
    if (!file.exists() || !file.isReadable() || !vcard::isVcardFile(path)) {
        tell(!file.exists() ? QStringLiteral("Die Datei „%1“ gibt es nicht; es wird nichts "
                                             "importiert.")
                                  .arg(path)
             : !file.isReadable()
                 ? QStringLiteral("Die Datei „%1“ lässt sich nicht lesen; es wird nichts "
                                  "importiert.")
                       .arg(path)
                 : QStringLiteral("Die Datei „%1“ ist keine vCard-Datei (sie beginnt nicht mit "
                                  "„BEGIN:VCARD“); es wird nichts importiert.")
                       .arg(path),
             platform::Icon::Exclamation);
        return;
    }
    pendingVcard_ = path;
    if (ui_.Combo1->currentIndex() <= 0) {
        tell(QStringLiteral("Wählen Sie bitte eine Kategorie aus; die Karten aus „%1“ werden dann "
                            "dorthin importiert.")
                 .arg(QFileInfo(path).fileName()),
             platform::Icon::Information);
        return;
    }
    importPendingVcard();
}

void MainWindow::importPendingVcard() {
    if (pendingVcard_.isEmpty() || ui_.Combo1->currentIndex() <= 0) {
        return;
    }
    const QString path = std::exchange(pendingVcard_, QString());
    runCommand(kTitle, [this, path] { importVcard(path); });
}

void MainWindow::importVcard(const QString& path) {
    const QString category = ui_.Combo1->currentText();
    if (ui_.Combo1->currentIndex() <= 0 || !store::isTargetCategory(category)) {
        tell(
            QStringLiteral("Wählen Sie bitte zuerst eine Kategorie aus!\nIn der Kategorie  -Alle-  "
                           "kann nichts importiert werden."),
            platform::Icon::Exclamation);
        return;
    }
    if (tell(QStringLiteral("Sollen die Karten aus „%1“ in die Kategorie „%2“ importiert werden?")
                 .arg(QFileInfo(path).fileName(), category),
             platform::Icon::Question, platform::Buttons::YesNo) != platform::Answer::Yes) {
        return;
    }
    const auto unreadable = [path] {
        tell(QStringLiteral("Die Datei\n%1\nlässt sich nicht lesen.").arg(path),
             platform::Icon::Exclamation);
    };
    if (!QFileInfo(path).isReadable()) {
        unreadable();
        return;
    }
    struct Result {
        import::ImportOutcome outcome;
        std::int64_t skipped = 0;
    };
    auto result = std::make_shared<Result>();
    auto write = [path, category, result, undo = importHost_->undoStepName()](
                     const std::filesystem::path& file, session::TaskControl& control) {
        // The cards are written while the file is still being read.
        vcard::VcardRows rows(path, category);
        result->outcome = import::runImport(
            file, [&rows](import::PreviewRow& row) { return rows.next(row); },
            [&control](import::ImportPhase, std::int64_t) { return !control.stopRequested(); },
            undo);
        result->skipped = rows.skipped();
    };
    const auto ended = [this, result, unreadable](const std::exception_ptr& failure) {
        showReloadedCards();
        if (failure) {
            try {
                std::rethrow_exception(failure);
            } catch (const vcard::VcardUnreadable&) {
                unreadable();
            } catch (...) {
                guarded(kTitle, [&failure] { std::rethrow_exception(failure); });
            }
            return;
        }
        QString report = QStringLiteral("%1 importiert, %2 davon umbenannt.")
                             .arg(counted(result->outcome.cards, "Karte", "Karten"))
                             .arg(result->outcome.renamed);
        if (const auto skipped = result->skipped; skipped > 0) {
            report +=
                QStringLiteral("\n%1 der Datei %2 sich nicht lesen und %3 übersprungen.")
                    .arg(counted(skipped, "Karte", "Karten"), agreeing(skipped, "ließ", "ließen"),
                         agreeing(skipped, "wurde", "wurden"));
        }
        tell(report, platform::Icon::Information);
    };
    session_->startWork(session::RunState::Importing, backup::Occasion::Import, std::move(write),
                        ended);
}

}  // namespace veltro::mainwindow
