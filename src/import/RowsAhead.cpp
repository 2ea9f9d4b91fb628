#include "import/RowsAhead.h"

#include <utility>

namespace veltro::import {

namespace {

// Enough to keep both threads busy, few enough to keep memory low.
constexpr std::size_t kChunksAhead = 4;
constexpr std::size_t kChunkRows = 1000;

}  // namespace

void RowsAhead::Sink::put(std::vector<PreviewRow>&& chunk) {
    RowsAhead& owner = owner_;
    std::unique_lock lock(owner.mutex_);
    owner.room_.wait(lock, [&] { return owner.chunks_.size() < kChunksAhead || owner.stop_; });
    if (owner.stop_) {
        throw Stopped{};
    }
    owner.chunks_.push_back(std::move(chunk));
    owner.ready_.notify_one();
}

RowsAhead::RowsAhead(Maker make)
    : maker_([this, make = std::move(make)] {
          std::exception_ptr error;
          try {
              Sink sink(*this);
              make(sink);
          } catch (const Stopped&) {  // NOLINT(bugprone-empty-catch): the taker left early
          } catch (...) {
              error = std::current_exception();
          }
          const std::lock_guard lock(mutex_);
          error_ = error;
          finished_ = true;
          ready_.notify_one();
      }) {}

RowsAhead::RowsAhead(std::function<bool(PreviewRow& row)> source)
    : RowsAhead([source = std::move(source)](Sink& sink) {
          std::vector<PreviewRow> chunk;
          for (PreviewRow row; source(row);) {
              chunk.push_back(std::move(row));
              if (chunk.size() == kChunkRows) {
                  sink.put(std::exchange(chunk, {}));
              }
          }
          sink.put(std::move(chunk));
      }) {}

RowsAhead::~RowsAhead() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    room_.notify_one();
    maker_.join();
}

bool RowsAhead::next(PreviewRow& row) {
    while (taken_ == chunk_.size()) {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return !chunks_.empty() || finished_; });
        if (chunks_.empty()) {
            if (error_) {
                std::rethrow_exception(error_);
            }
            return false;
        }
        chunk_ = std::move(chunks_.front());
        chunks_.pop_front();
        taken_ = 0;
        room_.notify_one();
    }
    row = std::move(chunk_[taken_++]);
    return true;
}

}  // namespace veltro::import
