#pragma once

#include <QString>

#include <stdexcept>
#include <string>

namespace veltro::store {

// Carries the engine's own error text and, where the engine gave one, its result code; or a
// German text of our own, such as what the store lacks.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const std::string& message, int code = 0)
        : std::runtime_error(message), code_(code) {}

    // SQLite's extended result code, or 0 for our own German texts.
    [[nodiscard]] int code() const { return code_; }

private:
    int code_;
};

// What went wrong, in German, for a message to the user: a sentence from the engine's
// result code followed by the engine's own text, or our own text as it stands.
[[nodiscard]] QString germanReason(const StoreError& error);

}  // namespace veltro::store
