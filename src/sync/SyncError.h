#pragma once

#include <QString>

#include <exception>

namespace veltro::sync {

// Why talking to the server failed, with a German text that carries the server's answer.
class SyncError : public std::exception {
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
        : kind_(kind),
          text_(std::move(text)),
          status_(status),
          fingerprint_(std::move(fingerprint)),
          utf8_(text_.toUtf8()) {}

    [[nodiscard]] Kind kind() const { return kind_; }
    [[nodiscard]] const QString& text() const { return text_; }
    [[nodiscard]] int status() const { return status_; }
    // The SHA-256 fingerprint of a certificate not trusted, for the user to accept.
    [[nodiscard]] const QString& fingerprint() const { return fingerprint_; }
    [[nodiscard]] const char* what() const noexcept override { return utf8_.constData(); }

private:
    Kind kind_;
    QString text_;
    int status_;
    QString fingerprint_;
    QByteArray utf8_;
};

}  // namespace veltro::sync
