// A backup put in the store's place from the menu: the window lets go of the store, the
// backup takes its place, and the window reads it as at start-up.
#include "base/Failure.h"
#include "maintenance/RestoreDialog.h"
#include "mainwindow/CardEditor.h"
#include "mainwindow/CardList.h"
#include "mainwindow/MainWindow.h"
#include "platform/Platform.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QStatusBar>

namespace veltro::mainwindow {

void MainWindow::mnuSicherungWiederherstellen() {
    if (!session_->isOpen()) {
        return;
    }
    maintenance::RestoreDialog dialog(session_->store().file(), this);
    if (dialog.exec() == QDialog::Accepted && dialog.chosenBackup()) {
        putBackupInPlace(*dialog.chosenBackup());
    }
}

void MainWindow::putBackupInPlace(const std::filesystem::path& backupFile) {
    if (!editor_->emptyView()) {
        return;
    }
    editor_->setStore(nullptr);
    list_->clear();
    session_->startRestore(backupFile, [this](const std::filesystem::path& replaced,
                                              const std::exception_ptr& failure) {
        backupPutInPlace(replaced, failure ? describeFailure(failure).text : QString());
    });
}

void MainWindow::backupPutInPlace(const std::filesystem::path& replaced, const QString& problem) {
    if (!session_->isOpen()) {
        // Not even the store from before opens again: nothing can go on.
        platform::current().message(
            {QStringLiteral("Die Kartei lässt sich nicht wieder öffnen.\n\n%1").arg(problem),
             QStringLiteral("Sicherung wiederherstellen"), platform::Buttons::Ok,
             platform::Icon::Critical, 0});
        closeOtherWindows();
        hide();
        QMetaObject::invokeMethod(
            qApp, [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
        return;
    }
    editor_->setStore(&session_->store());
    list_->fillCategorySelector();
    ui_.Combo1->setCurrentIndex(0);
    Combo1_Click();
    ui_.Text1->clear();
    if (!problem.isEmpty()) {
        platform::current().message(
            {QStringLiteral("Die Sicherung ließ sich nicht wiederherstellen; die Kartei ist, "
                            "wie sie war.\n\n%1")
                 .arg(problem),
             QStringLiteral("Sicherung wiederherstellen"), platform::Buttons::Ok,
             platform::Icon::Exclamation, 0});
        return;
    }
    ui_.StatusBar1->showMessage(
        QStringLiteral("Sicherung wiederhergestellt; die bisherige Kartei ist gesichert als %1.")
            .arg(QString::fromStdString(replaced.filename().string())),
        kRestoreNoteShownMs);
}

}  // namespace veltro::mainwindow
