// A backup put in the store's place from the menu: the window lets go of the store, the
// backup takes its place, and the window reads it as at start-up.
#include "backup/Restore.h"
#include "base/Failure.h"
#include "maintenance/RestoreDialog.h"
#include "mainwindow/Backups.h"
#include "mainwindow/CardEditor.h"
#include "mainwindow/CardList.h"
#include "mainwindow/FullTextSearch.h"
#include "mainwindow/MainWindow.h"
#include "platform/Platform.h"
#include "store/Snapshot.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStatusBar>

namespace veltro::mainwindow {

void MainWindow::mnuSicherungWiederherstellen() {
    if (!store_) {
        return;
    }
    maintenance::RestoreDialog dialog(store_->file(), this);
    if (dialog.exec() == QDialog::Accepted && dialog.chosenBackup()) {
        putBackupInPlace(*dialog.chosenBackup());
    }
}

void MainWindow::putBackupInPlace(const std::filesystem::path& backupFile) {
    const std::filesystem::path storeFile = store_->file();
    if (!editor_->emptyView()) {
        return;
    }
    cancelFullTextBuild();
    backups_->wait();
    editor_->setStore(nullptr);
    store_.reset();
    QString problem;
    std::filesystem::path replaced;
    try {
        replaced = backup::restoreBackup(storeFile, backupFile, backups_->now(),
                                         backup::keepPolicyFromSettings());
    } catch (...) {
        problem = describeFailure(std::current_exception()).text;
    }
    // A run begins anew on what the store now holds.
    store_ = store::CardStore::open(storeFile);
    waitForOwnCopiesOnly();
    store::Snapshot::take(store_->db());
    editor_->setStore(&*store_);
    list_->clear();
    list_->load();
    fullText_->restart(storeFile);
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
    restoredAs_ = QString::fromStdString(replaced.filename().string());
    changeFlag_ = true;  // the exit question then says that the restore stays
    ui_.StatusBar1->showMessage(
        QStringLiteral("Sicherung wiederhergestellt; die bisherige Kartei ist gesichert als %1.")
            .arg(QString::fromStdString(replaced.filename().string())),
        kRestoreNoteShownMs);
}

}  // namespace veltro::mainwindow
