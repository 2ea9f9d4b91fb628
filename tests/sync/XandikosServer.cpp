#include "XandikosServer.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace veltro::testing {

namespace {

constexpr int kStartMs = 15000;
constexpr int kRequestMs = 30000;

int freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

}  // namespace

bool XandikosServer::installed() {
    return !QStandardPaths::findExecutable(QStringLiteral("xandikos")).isEmpty();
}

XandikosServer::XandikosServer() {
    port_ = freePort();
    process_.setStandardOutputFile(dir_.filePath(QStringLiteral("xandikos.log")));
    process_.setStandardErrorFile(dir_.filePath(QStringLiteral("xandikos.log")), QIODevice::Append);
    process_.start(QStringLiteral("xandikos"),
                   {QStringLiteral("-d"), dir_.filePath(QStringLiteral("data")),
                    QStringLiteral("--defaults"), QStringLiteral("-l"), QStringLiteral("127.0.0.1"),
                    QStringLiteral("-p"), QString::number(port_)});
    for (int waited = 0; waited < kStartMs; waited += 50) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port_));
        if (socket.waitForConnected(200)) {
            running_ = true;
            return;
        }
        if (process_.state() == QProcess::NotRunning) {
            return;
        }
        QThread::msleep(50);
    }
}

XandikosServer::~XandikosServer() {
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QUrl XandikosServer::root() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port_));
}

QUrl XandikosServer::addBook(const QString& name, const QString& displayName) {
    const QUrl book = root().resolved(QStringLiteral("/user/contacts/%1/").arg(name));
    QNetworkAccessManager network;
    QNetworkRequest request(book);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/xml"));
    const QByteArray body =
        R"(<?xml version="1.0"?><D:mkcol xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav">)"
        "<D:set><D:prop><D:resourcetype><D:collection/><C:addressbook/></D:resourcetype>"
        "<D:displayname>" +
        displayName.toHtmlEscaped().toUtf8() + "</D:displayname></D:prop></D:set></D:mkcol>";
    const std::unique_ptr<QNetworkReply> reply(network.sendCustomRequest(request, "MKCOL", body));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kRequestMs, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 201)
        << reply->readAll().toStdString();
    return book;
}

}  // namespace veltro::testing
