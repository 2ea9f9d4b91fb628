#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

namespace veltro::testing {

// A Xandikos server on a free loopback port with its own folder, started with its default
// principal /user/. It asks for no login; the sync sends one all the same. Each addBook()
// makes a new address book with an extended MKCOL. Stopped when the object goes.
class XandikosServer {
public:
    // False when Xandikos is not installed; tests skip then.
    [[nodiscard]] static bool installed();

    XandikosServer();
    ~XandikosServer();
    XandikosServer(const XandikosServer&) = delete;
    XandikosServer& operator=(const XandikosServer&) = delete;

    [[nodiscard]] bool running() const { return running_; }
    [[nodiscard]] QUrl root() const;
    QUrl addBook(const QString& name, const QString& displayName);

private:
    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
    bool running_ = false;
};

}  // namespace veltro::testing
