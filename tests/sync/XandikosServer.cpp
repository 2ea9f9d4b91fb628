#include "XandikosServer.h"

#include "ServerProcess.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace veltro::testing {

namespace {

constexpr int kRequestMs = 30000;

}  // namespace

bool XandikosServer::installed() {
    return !QStandardPaths::findExecutable(QStringLiteral("xandikos")).isEmpty();
}

XandikosServer::XandikosServer() : port_(freePort()) {
    running_ =
        startServing(process_, QStringLiteral("xandikos"),
                     {QStringLiteral("-d"), dir_.filePath(QStringLiteral("data")),
                      QStringLiteral("--defaults"), QStringLiteral("-l"),
                      QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(port_)},
                     port_, dir_.filePath(QStringLiteral("xandikos.log")));
}

XandikosServer::~XandikosServer() {
    stopServing(process_);
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
