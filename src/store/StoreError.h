#pragma once

#include <QString>

#include <stdexcept>
#include <string>

namespace veltro::store {

// Carries the engine's own error text and, where the engine gave one, its result code and
// the system's errno; or a German text of our own, such as what the store lacks.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const std::string& message, int code = 0, int systemError = 0)
        : std::runtime_error(message), code_(code), systemError_(systemError) {}

    // SQLite's extended result code, or 0 for our own German texts.
    [[nodiscard]] int code() const { return code_; }
    // The errno of the system call that failed, or 0 where none is known.
    [[nodiscard]] int systemError() const { return systemError_; }

private:
    int code_;
    int systemError_;
};

// What went wrong, in German, for a message to the user: a sentence from the engine's
// result code (and the system's errno where that tells more) with the code's number, or our
// own text as it stands. The engine's English text never reaches the user.
[[nodiscard]] QString germanReason(const StoreError& error);

}  // namespace veltro::store
