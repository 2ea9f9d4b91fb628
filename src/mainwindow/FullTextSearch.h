#pragma once

#include "fulltext/FullTextIndex.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <future>
#include <memory>
#include <unordered_set>

namespace veltro::store {
class CardStore;
}

namespace veltro::mainwindow {

// The full-text index of the main window: built in the background on a connection of its
// own right after start-up, kept in step with every change, and waited for only when a
// search comes before the build is done.
class FullTextSearch {
public:
    FullTextSearch() = default;
    ~FullTextSearch() { cancel(); }
    FullTextSearch(const FullTextSearch&) = delete;
    FullTextSearch& operator=(const FullTextSearch&) = delete;

    void start(const std::filesystem::path& storeFile);
    void cancel();
    // Reads the whole store again, after changes too many to follow card by card.
    void restart(const std::filesystem::path& storeFile);
    // A card was written or deleted.
    void changed(store::CardStore& store, std::int64_t id);
    // The index with every change applied, built here if the background had none.
    [[nodiscard]] fulltext::FullTextIndex& index(store::CardStore& store);

private:
    void apply(store::CardStore& store, std::int64_t id);

    std::unique_ptr<fulltext::FullTextIndex> index_;
    std::future<std::unique_ptr<fulltext::FullTextIndex>> build_;
    std::atomic<bool> cancel_ = false;
    std::unordered_set<std::int64_t> changedDuringBuild_;
};

}  // namespace veltro::mainwindow
