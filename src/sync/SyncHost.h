#pragma once

namespace veltro::session {
class Session;
}

namespace veltro::sync {

// What the sync window needs of the main window.
class SyncHost {
public:
    virtual ~SyncHost() = default;
    // The run the sync works in; its store may be closed.
    virtual session::Session& session() = 0;
    // Saves the shown card first; false when that failed and nothing may replace it.
    virtual bool commitShownCard() = 0;
    // After a sync that wrote here: the list and the categories as the store now has them.
    virtual void showSyncedCards() = 0;
};

}  // namespace veltro::sync
