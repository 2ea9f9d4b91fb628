#pragma once

#include <QString>

#include <exception>
#include <functional>

namespace veltro::platform {

// Tells why a command failed, in German, through the message seam, the command's name in
// the text; the detail goes to the log. A cancellation by the user tells nothing.
void tellFailure(const QString& command, const std::exception_ptr& failure);

// Runs a command at a user's boundary: whatever it throws is told as above instead of
// reaching the event loop. False when it failed.
bool runGuarded(const QString& command, const std::function<void()>& run);

}  // namespace veltro::platform
