#pragma once

#include "base/Error.h"

#include <QString>

#include <exception>

namespace veltro {

struct Failure {
    Error::Kind kind;
    QString text;  // German, for the user
};

// What a caught failure means to the user, in German: an Error's own text; for running
// out of memory, a system call's errno or anything else a sentence of ours, never a
// library's English. The technical detail goes to the log. A cancellation is no failure
// and is not logged.
[[nodiscard]] Failure describeFailure(const std::exception_ptr& failure);

// The German sentence for one exception in hand, without the log.
[[nodiscard]] QString userText(const std::exception& error);

}  // namespace veltro
