#pragma once

#include "fulltext/FullTextIndex.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

namespace veltro::store {
class CardStore;
}

namespace veltro::session {

// The full-text index of the main window, searched at any time. At start-up it is read in the
// background: the image saved beside the store and then the cards the store noted as changed
// since (store/FullTextNotes.h), or, without a sound image, every card on connections of its
// own; an image is saved then. It is kept in step with every change. While it is read, a
// search answers from the cards read so far and says so.
class FullTextSearch {
public:
    // `built` runs on the main thread when a build has read every card.
    explicit FullTextSearch(std::function<void()> built = {});
    ~FullTextSearch() { cancel(); }
    FullTextSearch(const FullTextSearch&) = delete;
    FullTextSearch& operator=(const FullTextSearch&) = delete;

    void start(const std::filesystem::path& storeFile);
    void cancel();
    // Begins anew on the store as it is now (after a restore).
    void restart(const std::filesystem::path& storeFile);
    // After changes made elsewhere (long work, a large undo): the cards the store noted since
    // are read again, a few at once, many in the background as at start-up.
    void refresh(store::CardStore& store);
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
    // Runs on the worker's thread when it begins to write an image, the index held for
    // reading; set before start(). Tests hold the writer there.
    void setWritingImage(std::function<void()> hook) { writingImage_ = std::move(hook); }
    // Returns once the background work, the saving of an image included, is done.
    void waitForWork();

private:
    using Values = fulltext::FullTextIndex::Values;
    void launch(std::function<void()> work, int workers = 1);
    void read(const std::filesystem::path& storeFile, std::int64_t after, std::int64_t until);
    void readImage(const std::filesystem::path& storeFile, std::uint64_t number);
    void readNoted(const std::filesystem::path& storeFile, const std::vector<std::int64_t>& ids);
    void addRead(std::vector<std::pair<std::int64_t, std::optional<Values>>>& cards);
    void workerDone(const std::filesystem::path& storeFile, bool failed);
    void saveImage(const std::filesystem::path& storeFile);
    void applyDeferred();

    std::function<void()> built_;
    std::function<void()> shareAdded_;
    std::function<void()> writingImage_;
    QObject notifier_;  // lives on the main thread; carries the end of a build there
    // An image is written from the index for seconds at a million cards; the main thread's
    // changes meanwhile are kept here, and searches answer with them on top. Taken before
    // mutex_ where both are.
    std::mutex deferredMutex_;
    bool saving_ = false;
    std::vector<std::pair<std::int64_t, std::optional<Values>>> deferred_;
    std::shared_mutex mutex_;  // guards everything below while workers run
    fulltext::FullTextIndex index_;
    // Cards the main thread changed while workers read: the readers leave them alone.
    std::unordered_map<std::int64_t, std::optional<Values>> changedDuringBuild_;
    bool complete_ = false;
    bool failed_ = false;
    int running_ = 0;
    // The store's last note the index has read up to; written under deferredMutex_ where an
    // image may be begun meanwhile.
    std::atomic<std::int64_t> applied_ = 0;
    bool saveImage_ = false;        // what was read is worth an image of its own
    std::uint64_t generation_ = 0;  // counts builds, so a late notice of an old one is dropped
    std::atomic<bool> cancel_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace veltro::session
