#include "mainwindow/MainImportHost.h"

#include "mainwindow/CardEditor.h"
#include "mainwindow/DuplicateCommands.h"
#include "mainwindow/MainWindow.h"

#include <QComboBox>

namespace veltro::mainwindow {

std::filesystem::path MainImportHost::storeFile() const {
    auto* store = window_.cardStore();
    return store != nullptr ? store->file() : std::filesystem::path();
}

QString MainImportHost::selectedCategory() const {
    return window_.ui().Combo1->currentText();
}

void MainImportHost::setChanged() {
    window_.setChangeFlag();
}

session::Task* MainImportHost::startImport(session::Session::StoreWork work,
                                           session::Task::Done done,
                                           session::Task::Progress progress) {
    auto* store = window_.cardStore();
    if (store == nullptr || !window_.editor().commit()) {
        return nullptr;
    }
    lastIdBefore_ = store->lastRowId();
    return window_.session().startWork(session::RunState::Importing, backup::Occasion::Import,
                                       std::move(work), std::move(done), std::move(progress));
}

std::int64_t MainImportHost::duplicatesOfImport() {
    return window_.duplicateCommands().countAfterImport(lastIdBefore_);
}

void MainImportHost::showDuplicatesOfImport() {
    window_.duplicateCommands().openAfterImport(lastIdBefore_);
}

QString MainImportHost::undoStepName() const {
    return QStringLiteral("Import");
}

void MainImportHost::ImportCommand1() {
    window_.showReloadedCards();
}

}  // namespace veltro::mainwindow
