#include "vcard/VcardRows.h"

#include "vcard/VcardMapping.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>

namespace veltro::vcard {

namespace {

// Chunks read ahead of the writer; enough to keep both busy, few enough to keep memory low.
constexpr std::size_t kChunksAhead = 4;

struct Stopped {};

}  // namespace

struct VcardRows::Queue {
    std::mutex mutex;
    std::condition_variable ready;  // a chunk came, or the reading ended
    std::condition_variable room;   // a chunk was taken, or the reader is to stop
    std::deque<VcardImport> chunks;
    bool finished = false;
    bool stop = false;
    bool readable = true;
    std::int64_t skipped = 0;
    std::exception_ptr error;
};

VcardRows::VcardRows(const QString& path, const QString& category)
    : queue_(std::make_shared<Queue>()) {
    reader_ = std::thread([queue = queue_, path, category] {
        std::optional<std::int64_t> broken;
        std::exception_ptr error;
        try {
            broken = readMapped(path, category, [&queue](VcardImport&& mapped) {
                std::unique_lock lock(queue->mutex);
                queue->room.wait(
                    lock, [&] { return queue->chunks.size() < kChunksAhead || queue->stop; });
                if (queue->stop) {
                    throw Stopped{};
                }
                queue->skipped += mapped.skipped;
                queue->chunks.push_back(std::move(mapped));
                queue->ready.notify_one();
            });
        } catch (const Stopped&) {  // NOLINT(bugprone-empty-catch): the taker left early
        } catch (...) {
            error = std::current_exception();
        }
        const std::lock_guard lock(queue->mutex);
        queue->readable = broken.has_value();
        queue->skipped += broken.value_or(0);
        queue->error = error;
        queue->finished = true;
        queue->ready.notify_one();
    });
}

VcardRows::~VcardRows() {
    {
        const std::lock_guard lock(queue_->mutex);
        queue_->stop = true;
    }
    queue_->room.notify_one();
    reader_.join();
}

bool VcardRows::next(import::PreviewRow& row) {
    while (taken_ == chunk_.size()) {
        std::unique_lock lock(queue_->mutex);
        queue_->ready.wait(lock, [&] { return !queue_->chunks.empty() || queue_->finished; });
        if (queue_->chunks.empty()) {
            if (queue_->error) {
                std::rethrow_exception(queue_->error);
            }
            if (!queue_->readable) {
                throw VcardUnreadable();
            }
            return false;
        }
        chunk_ = std::move(queue_->chunks.front().rows);
        queue_->chunks.pop_front();
        taken_ = 0;
        queue_->room.notify_one();
    }
    row = std::move(chunk_[taken_++]);
    return true;
}

std::int64_t VcardRows::skipped() const {
    const std::lock_guard lock(queue_->mutex);
    return queue_->skipped;
}

}  // namespace veltro::vcard
