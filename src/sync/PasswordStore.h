#pragma once

#include <QString>

#include <optional>

namespace veltro::sync {

// Passwords of sync accounts: in the desktop's secret store where one runs, else only in
// memory for this run of the program. Never written anywhere in clear.
class PasswordStore {
public:
    [[nodiscard]] std::optional<QString> read(const QString& account);
    // True when the secret store took it; kept for the run either way.
    bool write(const QString& account, const QString& password);
};

// The account key of a user on a server.
[[nodiscard]] QString accountKey(const QString& user, const QString& server);

}  // namespace veltro::sync
