#pragma once

#include "session/Session.h"
#include "sync/SyncHost.h"

#include <optional>

namespace veltro::mainwindow {

class MainWindow;

// What the sync window reads from and does to the main window.
class MainSyncHost final : public sync::SyncHost {
public:
    explicit MainSyncHost(MainWindow& window) : window_(window) {}

    store::CardStore* cardStore() override;
    bool commitShownCard() override;
    void reloadAfterSync() override;
    void syncedThisRun() override;
    void setBusy(bool busy) override;
    void backUpBeforeSync() override;

private:
    MainWindow& window_;
    std::optional<session::Session::Busy> running_;
};

}  // namespace veltro::mainwindow
