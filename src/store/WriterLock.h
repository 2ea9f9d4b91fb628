#pragma once

#include <QString>

#include <filesystem>

namespace veltro::store {

// The lock file beside the store. It is never deleted: a process that deleted it while
// another holds the lock would let a third one lock a new file of the same name.
inline constexpr const char* kLockFileName = "Kartix.mdb.lock";

// One writer per store: an advisory flock() on Kartix.mdb.lock beside the real store file,
// held by the program for its whole run and by every command-line call that writes. The
// kernel drops it when the process ends, however it ends, so a lock never goes stale. The
// store's links are followed, of the file and of its folders, so every path to one store
// leads to one lock file, whatever the data folder and runtime folder of the process.
class WriterLock {
public:
    enum class State {
        Held,         // this object holds the lock
        InUse,        // another process (or another WriterLock) holds it
        Unavailable,  // the lock file cannot be opened or created; see problem()
    };

    // Takes the lock of the store DIR/Kartix.mdb (which need not exist yet) without waiting.
    [[nodiscard]] static WriterLock tryAcquire(const std::filesystem::path& directory);
    // Where that lock lies: beside the file the store's links lead to.
    [[nodiscard]] static std::filesystem::path lockFile(const std::filesystem::path& directory);

    WriterLock(WriterLock&& other) noexcept;
    WriterLock& operator=(WriterLock&& other) noexcept;
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;
    ~WriterLock();

    [[nodiscard]] State state() const { return state_; }
    [[nodiscard]] bool held() const { return state_ == State::Held; }
    // Why the lock file could not be opened, in German; empty unless Unavailable. It names
    // the folder where a linked store lies.
    [[nodiscard]] QString problem() const;

private:
    WriterLock(State state, int fd, int error) : fd_(fd), state_(state), error_(error) {}
    void release() noexcept;
    [[nodiscard]] QString reason() const;

    int fd_ = -1;
    State state_ = State::Unavailable;
    int error_ = 0;
    std::filesystem::path elsewhere_;  // the lock's folder, where it is not the one asked for
};

}  // namespace veltro::store
