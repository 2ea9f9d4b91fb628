#pragma once

#include "base/Error.h"

#include <QString>

#include <string>

namespace veltro::store {

// Carries the engine's own error text (the detail) and, where the engine gave one, its
// result code and the system's errno; or a German text of our own, such as what the store
// lacks. The user's text is made from the code, never from the engine's English.
class StoreError : public Error {
public:
    explicit StoreError(const std::string& message, int code = 0, int systemError = 0);

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
[[nodiscard]] inline QString germanReason(const StoreError& error) {
    return error.userText();
}

}  // namespace veltro::store
