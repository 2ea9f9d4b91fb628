#pragma once

namespace veltro::store {

// How long a statement waits for another connection's lock before it fails: five seconds.
// Tests that hold the lock themselves shorten it for their connections opened meanwhile.
[[nodiscard]] int busyTimeoutMs();
void setBusyTimeoutMs(int milliseconds);

// How long a write waits for a backup copy that reads the store: on a large store the copy
// takes seconds, and a change must not fail because a backup runs.
inline constexpr int kBackupCopyWaitMs = 10 * 60 * 1000;

}  // namespace veltro::store
