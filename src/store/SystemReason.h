#pragma once

#include "base/SystemReason.h"

namespace veltro::store {

// The sentences live in base, below the store; the store's code names them as before.
using veltro::germanFileReason;
using veltro::germanSystemReason;

}  // namespace veltro::store
