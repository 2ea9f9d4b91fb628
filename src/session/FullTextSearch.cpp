#include "session/FullTextSearch.h"

#include "base/ThreadPriority.h"
#include "fulltext/IndexImage.h"
#include "store/AtomicFile.h"
#include "store/CardStore.h"
#include "store/FullTextNotes.h"
#include "store/StoreError.h"

#include <random>
#include <utility>

namespace veltro::session {

namespace {

namespace fs = std::filesystem;
using fulltext::FullTextIndex;

constexpr std::int64_t kChunk = 64;
// Below this many cards one reader is quick enough; above, the second core helps.
constexpr std::int64_t kOneReader = 20000;
// Up to this many noted cards are read on the spot; more in the background.
constexpr std::size_t kReadAtOnce = 200;
// Past this many noted cards, the index read is saved as an image of its own.
constexpr std::size_t kNotesWorthAnImage = 2000;

std::uint64_t newImageNumber() {
    std::random_device random;
    const std::uint64_t number =
        ((std::uint64_t{random()} << 32) | random()) & static_cast<std::uint64_t>(INT64_MAX);
    return number == 0 ? 1 : number;
}

std::optional<FullTextIndex::Values> valuesOf(store::CardStore& store, std::int64_t id) {
    const auto card = store.loadCard(id);
    if (!card || !card->value(store::Field::Schlagworte)) {
        return std::nullopt;
    }
    return FullTextIndex::valuesOf(*card, store::SearchableExtras(store.db()).of(id));
}

}  // namespace

FullTextSearch::FullTextSearch(std::function<void()> built) : built_(std::move(built)) {}

void FullTextSearch::start(const fs::path& storeFile) {
    if (complete_ || !workers_.empty()) {
        return;
    }
    std::int64_t last = 0;
    std::optional<store::FullTextMark> mark;
    try {
        auto own = store::CardStore::openForReading(storeFile);
        last = own.lastRowId();
        mark = store::fullTextMark(own.db());
    } catch (const store::StoreError&) {
        failed_ = true;  // the first search builds on the main connection instead
        return;
    }
    cancel_ = false;
    failed_ = false;
    changedDuringBuild_.clear();
    applied_ = mark ? mark->lastNote : 0;
    if (mark && mark->image != 0 &&
        fulltext::imageNumber(fulltext::imageFileOf(storeFile)) == mark->image) {
        saveImage_ = false;
        running_ = 1;
        workers_.emplace_back(
            [this, storeFile, number = mark->image] { readImage(storeFile, number); });
        return;
    }
    saveImage_ = mark.has_value();
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
void FullTextSearch::read(const fs::path& storeFile, std::int64_t after, std::int64_t until) {
    yieldProcessorToTheWindow();
    bool failed = false;
    try {
        auto own = store::CardStore::openForReading(storeFile);
        // Every page is read once, in order: a cache of a few pages does, and keeps memory low.
        own.db().exec("PRAGMA cache_size = 16");
        store::SearchableExtras extras(own.db());
        std::vector<std::pair<std::int64_t, Values>> cards;
        std::vector<FullTextIndex::Prepared> ready;
        while (!cancel_) {
            after = FullTextIndex::readValues(own, extras, after, until, kChunk, cards);
            if (after == 0 || cancel_) {
                break;
            }
            ready.clear();
            for (const auto& [id, values] : cards) {
                ready.push_back(FullTextIndex::prepare(id, values));
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
    } catch (const std::exception&) {
        failed = true;  // nothing may leave the thread; the search reads the store itself
    }
    workerDone(storeFile, failed);
}

// The image, then the cards noted since; the main thread's changes made meanwhile go on top.
void FullTextSearch::readImage(const fs::path& storeFile, std::uint64_t number) {
    yieldProcessorToTheWindow();
    auto image = fulltext::loadImage(fulltext::imageFileOf(storeFile), number);
    if (!image) {
        saveImage_ = true;
        read(storeFile, 0, INT64_MAX);
        return;
    }
    bool failed = false;
    try {
        auto own = store::CardStore::openForReading(storeFile);
        const auto ids = store::cardsNotedAfter(own.db(), 0);
        {
            const std::lock_guard lock(mutex_);
            for (const auto& [id, values] : changedDuringBuild_) {
                image->replace(id, values);
            }
            index_ = std::move(*image);
            saveImage_ = ids.size() > kNotesWorthAnImage;
        }
        readNoted(storeFile, ids);
    } catch (const std::exception&) {
        failed = true;
    }
    workerDone(storeFile, failed);
}

// Cards by their row ids, a run of neighbours at a time; those not found are gone.
void FullTextSearch::readNoted(const fs::path& storeFile, const std::vector<std::int64_t>& ids) {
    auto own = store::CardStore::openForReading(storeFile);
    store::SearchableExtras extras(own.db());
    std::vector<std::pair<std::int64_t, Values>> found;
    std::vector<std::pair<std::int64_t, std::optional<Values>>> cards;
    for (std::size_t at = 0; at < ids.size() && !cancel_;) {
        std::size_t end = at + 1;
        while (end < ids.size() && end - at < kChunk && ids[end] == ids[end - 1] + 1) {
            ++end;
        }
        cards.clear();
        std::size_t next = at;
        FullTextIndex::readValues(own, extras, ids[at] - 1, ids[end - 1], kChunk, found);
        for (auto& [id, values] : found) {
            for (; ids[next] < id; ++next) {
                cards.emplace_back(ids[next], std::nullopt);
            }
            cards.emplace_back(id, std::move(values));
            ++next;
        }
        for (; next < end; ++next) {
            cards.emplace_back(ids[next], std::nullopt);
        }
        addRead(cards);
        at = end;
    }
}

void FullTextSearch::addRead(std::vector<std::pair<std::int64_t, std::optional<Values>>>& cards) {
    {
        const std::lock_guard lock(mutex_);
        for (const auto& [id, values] : cards) {
            if (!changedDuringBuild_.contains(id)) {
                index_.replace(id, values);
            }
        }
    }
    if (shareAdded_) {
        shareAdded_();
    }
}

void FullTextSearch::workerDone(const fs::path& storeFile, bool failed) {
    bool save = false;
    {
        const std::lock_guard lock(mutex_);
        failed_ = failed_ || failed;
        if (--running_ > 0 || cancel_) {
            return;
        }
        complete_ = !failed_;
        changedDuringBuild_.clear();
        if (!complete_) {
            return;
        }
        save = std::exchange(saveImage_, false);
        QMetaObject::invokeMethod(
            &notifier_,
            [this, generation = generation_] {
                if (generation == generation_ && built_) {  // else a later build replaced it
                    built_();
                }
            },
            Qt::QueuedConnection);
    }
    if (save) {
        saveImage(storeFile);
    }
}

// The image is written from the index as it stands when writing begins; changes of the main
// thread meanwhile wait in `deferred_`, not for the writer. The store then hears which image
// its notes go with, and forgets the notes the image holds.
void FullTextSearch::saveImage(const fs::path& storeFile) {
    const std::uint64_t number = newImageNumber();
    const fs::path file = fulltext::imageFileOf(storeFile);
    const fs::path partial = fs::path(file).concat(".tmp");
    std::int64_t upTo = 0;
    bool written = false;
    {
        const std::lock_guard hold(deferredMutex_);
        saving_ = true;
        upTo = applied_;
    }
    {
        const std::shared_lock lock(mutex_);
        if (writingImage_) {
            writingImage_();
        }
        written = fulltext::writeImage(index_, partial, number, cancel_);
    }
    applyDeferred();
    std::error_code ec;
    if (!written || cancel_ || store::putInPlace(partial, file)) {
        fs::remove(partial, ec);
        return;
    }
    try {
        auto db = store::Database::open(storeFile);
        store::fullTextImageSaved(db, number, upTo);
    } catch (const store::StoreError&) {  // NOLINT(bugprone-empty-catch)
        // The store names the image before; the next start builds the index anew.
    }
}

void FullTextSearch::applyDeferred() {
    const std::lock_guard hold(deferredMutex_);
    const std::lock_guard lock(mutex_);
    for (const auto& [id, values] : deferred_) {
        index_.replace(id, values);
    }
    deferred_.clear();
    saving_ = false;
}

void FullTextSearch::cancel() {
    cancel_ = true;
    {
        const std::lock_guard lock(mutex_);
        ++generation_;
    }
    waitForWork();
}

void FullTextSearch::waitForWork() {
    for (auto& worker : std::exchange(workers_, {})) {
        worker.join();
    }
}

void FullTextSearch::restart(const fs::path& storeFile) {
    cancel();
    index_ = FullTextIndex();
    complete_ = false;
    failed_ = false;
    start(storeFile);
}

void FullTextSearch::refresh(store::CardStore& store) {
    std::optional<store::FullTextMark> mark;
    {
        const std::shared_lock lock(mutex_);
        if (complete_ && running_ == 0) {
            mark = store::fullTextMark(store.db());
        }
    }
    if (!mark) {
        restart(store.file());
        return;
    }
    auto ids = store::cardsNotedAfter(store.db(), applied_);
    if (ids.size() <= kReadAtOnce) {
        for (const std::int64_t id : ids) {
            changed(store, id);
        }
        const std::lock_guard hold(deferredMutex_);  // an image begun meanwhile takes the old mark
        applied_ = mark->lastNote;
        return;
    }
    waitForWork();  // the last build's threads have ended, or end with saving its image
    {
        const std::lock_guard lock(mutex_);
        complete_ = false;
        running_ = 1;
        applied_ = mark->lastNote;
        saveImage_ = ids.size() > kNotesWorthAnImage;
        changedDuringBuild_.clear();
    }
    cancel_ = false;
    workers_.emplace_back([this, file = store.file(), ids = std::move(ids)] {
        yieldProcessorToTheWindow();
        bool failed = false;
        try {
            readNoted(file, ids);
        } catch (const std::exception&) {
            failed = true;
        }
        workerDone(file, failed);
    });
}

void FullTextSearch::changed(store::CardStore& store, std::int64_t id) {
    const auto values = valuesOf(store, id);
    const std::lock_guard hold(deferredMutex_);
    if (saving_) {
        deferred_.emplace_back(id, values);
        return;
    }
    const std::lock_guard lock(mutex_);
    if (running_ > 0) {
        changedDuringBuild_[id] = values;  // the readers leave this card to us
    }
    index_.replace(id, values);
}

FullTextSearch::Answer FullTextSearch::search(store::CardStore& store, const QString& text) {
    bool readHere = false;
    {
        const std::shared_lock lock(mutex_);
        readHere = failed_ && running_ == 0 && !complete_;
    }
    if (readHere) {
        // No reader could open the store; read it here, once.
        cancel();
        const std::lock_guard lock(mutex_);
        index_ = FullTextIndex();
        const auto mark = store::fullTextMark(store.db());
        applied_ = mark ? mark->lastNote : 0;
        const std::atomic<bool> never = false;
        complete_ = index_.build(store, never);
        failed_ = !complete_;
    }
    std::vector<std::pair<std::int64_t, std::optional<Values>>> deferred;
    {
        const std::lock_guard hold(deferredMutex_);
        deferred = deferred_;
    }
    const std::shared_lock lock(mutex_);
    Answer answer{index_.search(text), complete_};
    if (!deferred.empty() && answer.ids) {
        // Changes waiting for an image to be written count as made.
        FullTextIndex waiting;
        for (const auto& [id, values] : deferred) {
            waiting.replace(id, values);
        }
        const auto found = waiting.search(text);
        for (const auto& [id, values] : deferred) {
            answer.ids->erase(id);
            if (found && found->contains(id)) {
                answer.ids->insert(id);
            }
        }
    }
    return answer;
}

}  // namespace veltro::session
