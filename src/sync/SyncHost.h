#pragma once

namespace veltro::store {
class CardStore;
}

namespace veltro::sync {

// What the sync window needs of the main window.
class SyncHost {
public:
    virtual ~SyncHost() = default;
    // The open store; nullptr when none is open.
    virtual store::CardStore* cardStore() = 0;
    // Saves the shown card first; false when that failed and nothing may replace it.
    virtual bool commitShownCard() = 0;
    // After a sync that wrote here: the list, the categories and the search index anew.
    virtual void reloadAfterSync() = 0;
    // A sync may have reached the server in this run.
    virtual void syncedThisRun() = 0;
    // While a sync runs, the main window takes no input.
    virtual void setBusy(bool busy) = 0;
    // Before a sync changes cards here: a backup of the store as it is.
    virtual void backUpBeforeSync() = 0;
};

}  // namespace veltro::sync
