#include "session/FullTextSearch.h"

#include "store/CardStore.h"
#include "store/StoreError.h"

#include <utility>

namespace veltro::session {

namespace {

constexpr std::int64_t kChunk = 64;
// Below this many cards one reader is quick enough; above, the second core helps.
constexpr std::int64_t kOneReader = 20000;

std::vector<store::Field> indexedFields() {
    std::vector<store::Field> fields;
    for (const auto& column : fulltext::FullTextIndex::columns()) {
        fields.push_back(column.field);
    }
    return fields;
}

}  // namespace

FullTextSearch::FullTextSearch(std::function<void()> built) : built_(std::move(built)) {}

void FullTextSearch::start(const std::filesystem::path& storeFile) {
    if (complete_ || !workers_.empty()) {
        return;
    }
    std::int64_t last = 0;
    try {
        last = store::CardStore::openForReading(storeFile).lastRowId();
    } catch (const store::StoreError&) {
        failed_ = true;  // the first search builds on the main connection instead
        return;
    }
    cancel_ = false;
    failed_ = false;
    changedDuringBuild_.clear();
    {
        const std::lock_guard lock(mutex_);
        index_.reserve(store::roomForCards(last));
    }
    const std::int64_t readers = last > kOneReader ? 2 : 1;
    running_ = static_cast<int>(readers);
    for (std::int64_t part = 0; part < readers; ++part) {
        const std::int64_t after = last * part / readers;
        const std::int64_t until = part + 1 == readers ? INT64_MAX : last * (part + 1) / readers;
        workers_.emplace_back([this, storeFile, after, until] { read(storeFile, after, until); });
    }
}

// One reader's share of the store: cards are read and folded without the lock, then
// added under it, except those the main thread has already put in since.
void FullTextSearch::read(const std::filesystem::path& storeFile, std::int64_t after,
                          std::int64_t until) {
    try {
        auto own = store::CardStore::openForReading(storeFile);
        // Every page is read once, in order: a cache of a few pages does, and keeps memory low.
        own.db().exec("PRAGMA cache_size = 16");
        const auto fields = indexedFields();
        // Cards are read, folded and split without the lock; only adding them takes it.
        std::vector<fulltext::FullTextIndex::Prepared> ready;
        for (;;) {
            ready.clear();
            after =
                own.visitHeadedRows(after, until, kChunk, fields,
                                    [&](std::int64_t id, std::span<const std::string_view> values) {
                                        if (!cancel_) {
                                            ready.push_back(fulltext::FullTextIndex::prepare(
                                                id, fulltext::FullTextIndex::valuesOfUtf8(values)));
                                        }
                                    });
            if (cancel_) {
                workerDone(false);
                return;
            }
            if (after == 0) {
                break;
            }
            {
                const std::lock_guard lock(mutex_);
                for (const auto& card : ready) {
                    if (!changedDuringBuild_.contains(card.id)) {
                        index_.append(card);
                    }
                }
            }
            if (shareAdded_) {
                shareAdded_();
            }
        }
        workerDone(false);
    } catch (const std::exception&) {
        workerDone(true);  // nothing may leave the thread; the search reads the store itself
    }
}

void FullTextSearch::workerDone(bool failed) {
    const std::lock_guard lock(mutex_);
    failed_ = failed_ || failed;
    if (--running_ > 0 || cancel_) {
        return;
    }
    complete_ = !failed_;
    changedDuringBuild_.clear();
    if (complete_) {
        QMetaObject::invokeMethod(
            &notifier_,
            [this, generation = generation_] {
                if (generation != generation_) {
                    return;  // a later build has replaced this one
                }
                // The workers have ended; taking them in keeps the next start clean.
                for (auto& worker : std::exchange(workers_, {})) {
                    worker.join();
                }
                if (built_) {
                    built_();
                }
            },
            Qt::QueuedConnection);
    }
}

void FullTextSearch::cancel() {
    cancel_ = true;
    {
        const std::lock_guard lock(mutex_);
        ++generation_;
    }
    for (auto& worker : std::exchange(workers_, {})) {
        worker.join();
    }
}

void FullTextSearch::restart(const std::filesystem::path& storeFile) {
    cancel();
    index_ = fulltext::FullTextIndex();
    complete_ = false;
    failed_ = false;
    start(storeFile);
}

void FullTextSearch::changed(store::CardStore& store, std::int64_t id) {
    const auto card = store.loadCard(id);
    const std::lock_guard lock(mutex_);
    if (running_ > 0) {
        changedDuringBuild_.insert(id);  // the readers leave this card to us
    }
    if (card) {
        index_.update(*card);
    } else {
        index_.remove(id);
    }
}

FullTextSearch::Answer FullTextSearch::search(store::CardStore& store, const QString& text) {
    std::unique_lock lock(mutex_);
    if (failed_ && running_ == 0 && !complete_) {
        // No reader could open the store; read it here, once.
        lock.unlock();
        cancel();
        index_ = fulltext::FullTextIndex();
        const std::atomic<bool> never = false;
        complete_ = index_.build(store, never);
        failed_ = !complete_;
        lock.lock();
    }
    return {index_.search(text), complete_};
}

}  // namespace veltro::session
