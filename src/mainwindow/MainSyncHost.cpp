#include "mainwindow/MainSyncHost.h"

#include "mainwindow/CardEditor.h"
#include "mainwindow/MainWindow.h"

namespace veltro::mainwindow {

session::Session& MainSyncHost::session() {
    return window_.session();
}

bool MainSyncHost::commitShownCard() {
    // Other long work writes the store on its own; a timed sync waits for the next turn.
    return window_.session().work() == nullptr && window_.editor().commit();
}

void MainSyncHost::showSyncedCards() {
    window_.showReloadedCards();
}

}  // namespace veltro::mainwindow
