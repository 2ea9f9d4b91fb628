#pragma once

#include <QString>

#include <filesystem>

namespace veltro::store {

// The lock file beside the store. It is never deleted: a process that deleted it while
// another holds the lock would let a third one lock a new file of the same name.
inline constexpr const char* kLockFileName = "Kartix.mdb.lock";

// One writer per data folder: an advisory flock() on DIR/Kartix.mdb.lock, held by the
// program for its whole run and by every command-line call that writes. The kernel drops
// it when the process ends, however it ends, so a lock never goes stale; and since it lives
// in the data folder, every process on that folder sees it, whatever its runtime folder.
class WriterLock {
public:
    enum class State {
        Held,         // this object holds the lock
        InUse,        // another process (or another WriterLock) holds it
        Unavailable,  // the lock file cannot be opened or created; see problem()
    };

    // Takes the lock on DIR without waiting.
    [[nodiscard]] static WriterLock tryAcquire(const std::filesystem::path& directory);

    WriterLock(WriterLock&& other) noexcept;
    WriterLock& operator=(WriterLock&& other) noexcept;
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;
    ~WriterLock();

    [[nodiscard]] State state() const { return state_; }
    [[nodiscard]] bool held() const { return state_ == State::Held; }
    // Why the lock file could not be opened, in German; empty unless Unavailable.
    [[nodiscard]] QString problem() const;

private:
    WriterLock(State state, int fd, int error) : fd_(fd), state_(state), error_(error) {}
    void release() noexcept;

    int fd_ = -1;
    State state_ = State::Unavailable;
    int error_ = 0;
};

}  // namespace veltro::store
