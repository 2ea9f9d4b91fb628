#include "mainwindow/FullTextSearch.h"

#include "store/CardStore.h"
#include "store/StoreError.h"

#include <utility>

namespace veltro::mainwindow {

void FullTextSearch::start(const std::filesystem::path& storeFile) {
    if (index_ || build_.valid()) {
        return;
    }
    cancel_ = false;
    changedDuringBuild_.clear();
    build_ = std::async(std::launch::async, [storeFile, this] {
        try {
            auto own = store::CardStore::open(storeFile);
            auto index = std::make_unique<fulltext::FullTextIndex>();
            return index->build(own, cancel_) ? std::move(index) : nullptr;
        } catch (const store::StoreError&) {
            return std::unique_ptr<fulltext::FullTextIndex>();  // built on first use instead
        }
    });
}

void FullTextSearch::cancel() {
    cancel_ = true;
    if (build_.valid()) {
        build_.wait();
        build_ = {};
    }
}

void FullTextSearch::restart(const std::filesystem::path& storeFile) {
    cancel();
    index_.reset();
    start(storeFile);
}

void FullTextSearch::changed(store::CardStore& store, std::int64_t id) {
    if (build_.valid()) {
        changedDuringBuild_.insert(id);
    } else if (index_) {
        apply(store, id);
    }
}

void FullTextSearch::apply(store::CardStore& store, std::int64_t id) {
    if (const auto card = store.loadCard(id)) {
        index_->update(*card);
    } else {
        index_->remove(id);
    }
}

fulltext::FullTextIndex& FullTextSearch::index(store::CardStore& store) {
    if (build_.valid()) {
        index_ = build_.get();
        build_ = {};
    }
    if (!index_) {
        index_ = std::make_unique<fulltext::FullTextIndex>();
        changedDuringBuild_.clear();
        cancel_ = false;
        index_->build(store, cancel_);
    }
    for (const auto id : std::exchange(changedDuringBuild_, {})) {
        apply(store, id);
    }
    return *index_;
}

}  // namespace veltro::mainwindow
