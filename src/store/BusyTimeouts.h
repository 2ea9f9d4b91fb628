#pragma once

namespace veltro::store {

// How long a statement waits for another connection's lock before it fails.
inline constexpr int kBusyTimeoutMs = 5000;

// How long a write waits for a backup copy that reads the store: on a large store the copy
// takes seconds, and a change must not fail because a backup runs.
inline constexpr int kBackupCopyWaitMs = 10 * 60 * 1000;

}  // namespace veltro::store
