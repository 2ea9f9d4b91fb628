#include "mainwindow/MainImportHost.h"

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

void MainImportHost::importRunning(bool running) {
    if (running) {
        window_.backUpBefore(backup::Occasion::Import);  // the copy holds the store from before
        auto* store = window_.cardStore();
        lastIdBefore_ = store != nullptr ? store->lastRowId() : 0;
    }
    if (running) {
        running_.emplace(window_.session(), session::RunState::Importing);
    } else {
        running_.reset();
    }
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
    window_.ImportCommand1();
}

}  // namespace veltro::mainwindow
