#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

namespace veltro::testing {

// A Radicale server on a free loopback port with its own storage folder and a plain
// htpasswd file holding one user, "anna" with the password "geheim", who owns the address
// books made with addBook(). Stopped when the object goes.
class RadicaleServer {
public:
    // False when Radicale is not installed; tests skip then.
    [[nodiscard]] static bool installed();

    // With `tls`, over HTTPS with a self-signed certificate made for the run.
    explicit RadicaleServer(bool tls = false);
    ~RadicaleServer();
    RadicaleServer(const RadicaleServer&) = delete;
    RadicaleServer& operator=(const RadicaleServer&) = delete;

    [[nodiscard]] bool running() const { return running_; }
    [[nodiscard]] QUrl root() const;
    [[nodiscard]] int port() const { return port_; }
    // The certificate's SHA-256 fingerprint as openssl prints it (AB:CD:…); empty without TLS.
    [[nodiscard]] QString fingerprint() const { return fingerprint_; }
    // Makes an empty address book of anna's and returns its address.
    QUrl addBook(const QString& name, const QString& displayName);

    // The second client (python3 with requests): every card of the book, by href, each an
    // object with "etag" and "text"; put and delete one card.
    [[nodiscard]] QJsonObject cards(const QUrl& book) const;
    QString put(const QUrl& book, const QString& href, const QByteArray& text) const;
    void remove(const QUrl& book, const QString& href) const;
    [[nodiscard]] int count(const QUrl& book) const;
    // Puts a card file straight into the book's storage folder, as a quick way to fill it.
    void storeDirectly(const QUrl& book, const QString& name, const QByteArray& text) const;

    static constexpr const char* kUser = "anna";
    static constexpr const char* kPassword = "geheim";

private:
    QByteArray peer(const QUrl& book, const QStringList& args, const QByteArray& input = {}) const;

    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
    bool running_ = false;
    bool tls_ = false;
    QString fingerprint_;
};

// The Python with Radicale and requests: Debian's own.
[[nodiscard]] QString systemPython();

}  // namespace veltro::testing
