#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace veltro::sync {

// Passwords of sync accounts: in the desktop's secret store where one runs, else only in
// memory for this run of the program. Never written anywhere in clear. The secret store may
// take its time (it may ask to be unlocked), so nothing here waits for it.
class PasswordStore {
public:
    using Answer = std::function<void(std::optional<QString> password)>;
    // `answer` hears the password on this thread, or nothing when none is known.
    void read(const QString& account, Answer answer);
    // Kept for the run at once; `stored` hears whether the secret store took it too.
    void write(const QString& account, const QString& password,
               std::function<void(bool stored)> stored);
};

// The account key of a user on a server.
[[nodiscard]] QString accountKey(const QString& user, const QString& server);

}  // namespace veltro::sync
