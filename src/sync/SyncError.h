#pragma once

#include "base/Error.h"

#include <QString>

#include <utility>

namespace veltro::sync {

// Why talking to the server failed, with a German text that carries the server's answer.
// Its own kind says more than the base's, which it hides.
class SyncError : public Error {
public:
    enum class Kind {
        Network,
        Timeout,
        Login,
        Http,
        Certificate,
        Cancelled,
        Answer,       // the server has no address book there, or redirects without end
        Unreadable,   // an answer that is not what was asked: nothing may follow from it
        Foreign,      // another host, or a place outside the address book
        TooLarge,     // an answer beyond the limit it is read to
        ManyDeletes,  // the sync would delete many cards and was not allowed to
    };

    SyncError(Kind kind, QString text, int status = 0, QString fingerprint = {})
        : Error(kind == Kind::Cancelled ? Error::Kind::Cancelled : Error::Kind::Network,
                std::move(text)),
          kind_(kind),
          status_(status),
          fingerprint_(std::move(fingerprint)) {}

    [[nodiscard]] Kind kind() const { return kind_; }
    [[nodiscard]] const QString& text() const { return userText(); }
    [[nodiscard]] int status() const { return status_; }
    // The SHA-256 fingerprint of a certificate not trusted, for the user to accept.
    [[nodiscard]] const QString& fingerprint() const { return fingerprint_; }

private:
    Kind kind_;
    int status_;
    QString fingerprint_;
};

}  // namespace veltro::sync
