#include "RadicaleServer.h"

#include "ServerProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace veltro::testing {

namespace {

void write(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(text);
}

}  // namespace

QString systemPython() {
    return QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
               ? QStringLiteral("/usr/bin/python3")
               : QStringLiteral("python3");
}

bool RadicaleServer::installed() {
    QProcess probe;
    probe.start(systemPython(),
                {QStringLiteral("-c"), QStringLiteral("import radicale, requests")});
    return probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit &&
           probe.exitCode() == 0;
}

// A self-signed certificate and key in the folder; returns its SHA-256 fingerprint.
QString makeCertificate(const QString& dir) {
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                   QStringLiteral("1"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                   QStringLiteral("-keyout"), dir + QStringLiteral("/key.pem"),
                   QStringLiteral("-out"), dir + QStringLiteral("/cert.pem")});
    openssl.waitForFinished(60000);
    QProcess print;
    print.start(
        QStringLiteral("openssl"),
        {QStringLiteral("x509"), QStringLiteral("-noout"), QStringLiteral("-fingerprint"),
         QStringLiteral("-sha256"), QStringLiteral("-in"), dir + QStringLiteral("/cert.pem")});
    print.waitForFinished(10000);
    return QString::fromLatin1(print.readAllStandardOutput()).section(u'=', 1).trimmed();
}

RadicaleServer::RadicaleServer(bool tls) : tls_(tls) {
    const QString dir = dir_.path();
    write(dir + QStringLiteral("/users"), QByteArray(kUser) + ':' + kPassword + '\n');
    port_ = freePort();
    QByteArray ssl;
    if (tls) {
        fingerprint_ = makeCertificate(dir);
        ssl = "ssl = True\ncertificate = " + dir.toUtf8() + "/cert.pem\nkey = " + dir.toUtf8() +
              "/key.pem\n";
    }
    write(dir + QStringLiteral("/config"),
          "[server]\n" + ssl + "hosts = 127.0.0.1:" + QByteArray::number(port_) +
              "\n[auth]\ntype = htpasswd\nhtpasswd_filename = " + dir.toUtf8() +
              "/users\nhtpasswd_encryption = plain\n[storage]\nfilesystem_folder = " +
              dir.toUtf8() + "/storage\n[rights]\ntype = owner_only\n[logging]\nlevel = warning\n");
    // Its log of refused logins and handshakes the tests provoke stays in the folder.
    running_ = startServing(process_, systemPython(),
                            {QStringLiteral("-m"), QStringLiteral("radicale"),
                             QStringLiteral("--config"), dir + QStringLiteral("/config")},
                            port_, dir + QStringLiteral("/radicale.log"));
}

RadicaleServer::~RadicaleServer() {
    stopServing(process_);
}

QUrl RadicaleServer::root() const {
    return QUrl(QStringLiteral("%1://127.0.0.1:%2/")
                    .arg(tls_ ? QStringLiteral("https") : QStringLiteral("http"))
                    .arg(port_));
}

QUrl RadicaleServer::addBook(const QString& name, const QString& displayName) {
    const QString folder = dir_.path() + QStringLiteral("/storage/collection-root/") +
                           QLatin1String(kUser) + u'/' + name;
    QDir().mkpath(folder);
    write(folder + QStringLiteral("/.Radicale.props"),
          R"({"tag": "VADDRESSBOOK", "D:displayname": ")" + displayName.toUtf8() + "\"}");
    return root().resolved(QStringLiteral("/%1/%2/").arg(QLatin1String(kUser), name));
}

QByteArray RadicaleServer::peer(const QUrl& book, const QStringList& args,
                                const QByteArray& input) const {
    QProcess process;
    process.start(systemPython(), QStringList{QStringLiteral(SYNC_PEER_SCRIPT), book.toString(),
                                              QLatin1String(kUser), QLatin1String(kPassword)} +
                                      args);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

QJsonObject RadicaleServer::cards(const QUrl& book) const {
    return QJsonDocument::fromJson(peer(book, {QStringLiteral("list")})).object();
}

QString RadicaleServer::put(const QUrl& book, const QString& href, const QByteArray& text) const {
    return QString::fromUtf8(peer(book, {QStringLiteral("put"), href}, text)).trimmed();
}

int RadicaleServer::count(const QUrl& book) const {
    return peer(book, {QStringLiteral("count")}).trimmed().toInt();
}

void RadicaleServer::storeDirectly(const QUrl& book, const QString& name,
                                   const QByteArray& text) const {
    write(dir_.path() + QStringLiteral("/storage/collection-root") + book.path() + name, text);
}

void RadicaleServer::remove(const QUrl& book, const QString& href) const {
    peer(book, {QStringLiteral("delete"), href});
}

}  // namespace veltro::testing
