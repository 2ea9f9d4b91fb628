#pragma once

#include "import/PreviewTable.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace veltro::import {

// Rows made on a thread of their own a few chunks ahead of the one who takes them, so that
// reading a file runs beside writing its rows. The maker hands on chunks in order; the
// taker gets the rows one by one.
class RowsAhead {
public:
    // Where the maker puts its chunks; put() waits while enough are ahead.
    class Sink {
    public:
        void put(std::vector<PreviewRow>&& chunk);

    private:
        friend class RowsAhead;
        explicit Sink(RowsAhead& owner) : owner_(owner) {}
        RowsAhead& owner_;
    };
    using Maker = std::function<void(Sink& sink)>;

    explicit RowsAhead(Maker make);
    // Made from a source of single rows (false after the last), a chunk at a time.
    explicit RowsAhead(std::function<bool(PreviewRow& row)> source);
    RowsAhead(const RowsAhead&) = delete;
    RowsAhead& operator=(const RowsAhead&) = delete;
    // Stops the maker at its next put() when the taker leaves early.
    ~RowsAhead();

    // The next row; false after the last. What the maker threw is thrown here, after the
    // rows it made before.
    bool next(PreviewRow& row);

private:
    struct Stopped {};

    std::mutex mutex_;
    std::condition_variable ready_;  // a chunk came, or the maker ended
    std::condition_variable room_;   // a chunk was taken, or the maker is to stop
    std::deque<std::vector<PreviewRow>> chunks_;
    bool finished_ = false;
    bool stop_ = false;
    std::exception_ptr error_;
    std::vector<PreviewRow> chunk_;
    std::size_t taken_ = 0;
    std::thread maker_;  // last, so that it starts when everything else is there
};

}  // namespace veltro::import
