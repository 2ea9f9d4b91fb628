#pragma once

#include "sync/SyncHost.h"

namespace veltro::mainwindow {

class MainWindow;

// What the sync window reads from and does to the main window.
class MainSyncHost final : public sync::SyncHost {
public:
    explicit MainSyncHost(MainWindow& window) : window_(window) {}

    session::Session& session() override;
    bool commitShownCard() override;
    void showSyncedCards() override;

private:
    MainWindow& window_;
};

}  // namespace veltro::mainwindow
