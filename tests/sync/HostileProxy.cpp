#include "HostileProxy.h"

#include <QTcpSocket>

#include <algorithm>
#include <memory>

namespace veltro::testing {

namespace {

constexpr int kWaitMs = 30000;
constexpr qint64 kBacklog = 4LL * 1024 * 1024;

QByteArray headerValue(const QByteArray& head, const QByteArray& name) {
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name) {
            return line.mid(colon + 1).trimmed();
        }
    }
    return {};
}

// The first line and the headers of a request or answer without those named, each line
// ended, the blank line not yet added.
QByteArray headWithout(const QByteArray& head, std::initializer_list<QByteArray> names) {
    QByteArray kept;
    for (const QByteArray& line : head.split('\n')) {
        const QByteArray name = line.left(line.indexOf(':')).trimmed().toLower();
        if (!line.trimmed().isEmpty() &&
            std::find(names.begin(), names.end(), name) == names.end()) {
            kept += line.trimmed() + "\r\n";
        }
    }
    return kept;
}

}  // namespace

HostileProxy::HostileProxy(int upstreamPort, const QHostAddress& address)
    : upstreamPort_(upstreamPort) {
    listen(address, 0);
    connect(this, &QTcpServer::newConnection, this, &HostileProxy::take);
}

QUrl HostileProxy::through(const QUrl& url) const {
    QUrl changed = url;
    changed.setScheme(QStringLiteral("http"));
    changed.setHost(serverAddress().toString());
    changed.setPort(serverPort());
    return changed;
}

QByteArray HostileProxy::answer(const QByteArray& status, const QByteArray& type,
                                const QByteArray& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + type +
           "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

void HostileProxy::take() {
    while (QTcpSocket* socket = nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            pending_.erase(socket);
            socket->deleteLater();
        });
    }
}

void HostileProxy::read(QTcpSocket* socket) {
    QByteArray& buffer = pending_[socket];
    buffer += socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0) {
        return;
    }
    const QByteArray head = buffer.left(end + 2);
    const qsizetype length = headerValue(head, "content-length").toLongLong();
    if (buffer.size() < end + 4 + length) {
        return;
    }
    Request request;
    request.number = static_cast<int>(seen_.size()) + 1;
    const QList<QByteArray> line = head.left(head.indexOf("\r\n")).split(' ');
    request.method = line.value(0);
    request.path = line.value(1);
    request.body = buffer.mid(end + 4, length);
    request.authorized = !headerValue(head, "authorization").isEmpty();
    pending_.erase(socket);
    respond(socket, std::move(request), head);
}

void HostileProxy::respond(QTcpSocket* socket, Request request, const QByteArray& head) {
    seen_.push_back(request);
    Reply reply = rule_ ? rule_(request) : Reply{};
    if (upstreamPort_ == 0 && reply.kind != Reply::Kind::Silent) {
        reply = {Reply::Kind::Own, answer("404 Not Found", "text/plain", "nicht hier"), {}};
    }
    switch (reply.kind) {
        case Reply::Kind::Silent:
            return;
        case Reply::Kind::Huge:
            stream(socket);
            return;
        case Reply::Kind::Own:
            socket->write(reply.own);
            socket->disconnectFromHost();
            return;
        default:
            break;
    }
    const QByteArray upstream = forward(request, head);
    const qsizetype split = upstream.indexOf("\r\n\r\n");
    if (split < 0) {
        socket->write(answer("502 Bad Gateway", "text/plain", "keine Antwort"));
        socket->disconnectFromHost();
        return;
    }
    QByteArray body = upstream.mid(split + 4);
    if (reply.alter) {
        body = reply.alter(body);
    }
    const qsizetype told = body.size();
    if (reply.kind != Reply::Kind::Pass) {
        body.truncate(body.size() / 2);
    }
    const qsizetype length = reply.kind == Reply::Kind::CloseEarly ? told : body.size();
    socket->write(headWithout(upstream.left(split + 2), {"content-length", "connection"}) +
                  "Content-Length: " + QByteArray::number(length) +
                  "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}

// The upstream answer whole, read until the server closes; empty when there is none.
QByteArray HostileProxy::forward(const Request& request, const QByteArray& head) const {
    QTcpSocket upstream;
    upstream.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(upstreamPort_));
    if (!upstream.waitForConnected(kWaitMs)) {
        return {};
    }
    // Uncompressed, so that rules can read and change the body.
    upstream.write(
        headWithout(head, {"content-length", "connection", "keep-alive", "accept-encoding"}) +
        "Content-Length: " + QByteArray::number(request.body.size()) +
        "\r\nConnection: close\r\n\r\n" + request.body);
    QByteArray whole;
    while (upstream.state() == QAbstractSocket::ConnectedState &&
           upstream.waitForReadyRead(kWaitMs)) {
        whole += upstream.readAll();
    }
    return whole + upstream.readAll();
}

// Keeps a few megabytes queued and adds more as they go out, until all is sent or the
// client hangs up.
void HostileProxy::stream(QTcpSocket* socket) {
    static const QByteArray filler =
        QByteArray(
            "<response><href>/x.vcf</href><propstat><prop><getetag>\"1\"</getetag>"
            "</prop><status>HTTP/1.1 200 OK</status></propstat></response>\n")
            .repeated(8000);
    auto queued = std::make_shared<qint64>(0);
    const auto topUp = [socket, queued] {
        while (socket->state() == QAbstractSocket::ConnectedState &&
               socket->bytesToWrite() < kBacklog && *queued < kHugeBytes) {
            QByteArray piece = *queued == 0
                                   ? "<?xml version=\"1.0\"?><multistatus xmlns=\"DAV:\">" + filler
                                   : filler;
            piece.truncate(std::min<qint64>(piece.size(), kHugeBytes - *queued));
            *queued += piece.size();
            socket->write(piece);
        }
        if (*queued == kHugeBytes) {
            socket->disconnectFromHost();
        }
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, [this, topUp](qint64 bytes) {
        hugeSent_ += bytes;
        topUp();
    });
    socket->write(
        "HTTP/1.1 207 Multi-Status\r\nContent-Type: text/xml; charset=utf-8\r\n"
        "Content-Length: " +
        QByteArray::number(kHugeBytes) + "\r\nConnection: close\r\n\r\n");
    topUp();
}

}  // namespace veltro::testing
