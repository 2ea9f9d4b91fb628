#include "mainwindow/MainImportHost.h"

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
    }
    window_.setImportRunning(running);
}

QString MainImportHost::undoStepName() const {
    return QStringLiteral("Import");
}

void MainImportHost::ImportCommand1() {
    window_.ImportCommand1();
}

}  // namespace veltro::mainwindow
