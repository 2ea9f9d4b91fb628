#pragma once

#include "fulltext/FullTextIndex.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

namespace veltro::store {
class CardStore;
}

namespace veltro::session {

// The full-text index of the main window: built in the background on connections of its
// own right after start-up, kept in step with every change, and searched at any time: while
// the build runs, a search answers from the cards read so far and says so.
class FullTextSearch {
public:
    // `built` runs on the main thread when a build has read every card.
    explicit FullTextSearch(std::function<void()> built = {});
    ~FullTextSearch() { cancel(); }
    FullTextSearch(const FullTextSearch&) = delete;
    FullTextSearch& operator=(const FullTextSearch&) = delete;

    void start(const std::filesystem::path& storeFile);
    void cancel();
    // Reads the whole store again, after changes too many to follow card by card.
    void restart(const std::filesystem::path& storeFile);
    // A card was written or deleted.
    void changed(store::CardStore& store, std::int64_t id);

    struct Answer {
        std::optional<fulltext::IdSet> ids;  // nothing: not a valid pattern
        bool complete = false;               // false: the build has not read every card yet
    };
    [[nodiscard]] Answer search(store::CardStore& store, const QString& text);

    // Runs on a reader's thread each time it has added a share of cards; set before start().
    // Tests hold the build there to search while it is part done.
    void setShareAdded(std::function<void()> hook) { shareAdded_ = std::move(hook); }

private:
    void read(const std::filesystem::path& storeFile, std::int64_t after, std::int64_t until);
    void workerDone(bool failed);

    std::function<void()> built_;
    std::function<void()> shareAdded_;
    QObject notifier_;  // lives on the main thread; carries the end of a build there
    std::mutex mutex_;  // guards everything below while workers run
    fulltext::FullTextIndex index_;
    std::unordered_set<std::int64_t> changedDuringBuild_;
    bool complete_ = false;
    bool failed_ = false;
    int running_ = 0;
    std::uint64_t generation_ = 0;  // counts builds, so a late notice of an old one is dropped
    std::atomic<bool> cancel_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace veltro::session
