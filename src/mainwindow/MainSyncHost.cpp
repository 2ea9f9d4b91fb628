#include "mainwindow/MainSyncHost.h"

#include "mainwindow/CardEditor.h"
#include "mainwindow/MainWindow.h"

namespace veltro::mainwindow {

store::CardStore* MainSyncHost::cardStore() {
    return window_.cardStore();
}

bool MainSyncHost::commitShownCard() {
    // A running import writes the store on its own; a timed sync waits for the next turn.
    return !window_.importRunning() && window_.editor().commit();
}

void MainSyncHost::reloadAfterSync() {
    window_.setChangeFlag();
    window_.ImportCommand1();
}

void MainSyncHost::syncedThisRun() {
    window_.session().noteSynced();
}

void MainSyncHost::backUpBeforeSync() {
    window_.backUpBefore(backup::Occasion::Sync);
}

void MainSyncHost::setBusy(bool busy) {
    if (busy) {
        running_.emplace(window_.session(), session::RunState::Syncing);
    } else {
        running_.reset();
    }
}

}  // namespace veltro::mainwindow
