#include "DroppingProxy.h"

#include <QPointer>
#include <QTcpSocket>

namespace veltro::testing {

DroppingProxy::DroppingProxy(int upstreamPort, int putsLetThrough)
    : upstreamPort_(upstreamPort), putsLeft_(putsLetThrough) {
    listen(QHostAddress::LocalHost, 0);
    connect(this, &QTcpServer::newConnection, this, &DroppingProxy::pass);
}

void DroppingProxy::pass() {
    while (QTcpSocket* client = nextPendingConnection()) {
        if (dropped_) {
            client->abort();
            client->deleteLater();
            continue;
        }
        auto* upstream = new QTcpSocket(client);
        upstream->connectToHost(QHostAddress::LocalHost, static_cast<quint16>(upstreamPort_));
        QPointer<QTcpSocket> guard(client);
        connect(client, &QTcpSocket::readyRead, upstream, [this, client, upstream] {
            const QByteArray data = client->readAll();
            putsLeft_ -= static_cast<int>(data.count("PUT /"));
            if (putsLeft_ < 0 || dropped_) {
                dropped_ = true;
                upstream->abort();
                client->abort();
                return;
            }
            upstream->write(data);
        });
        connect(upstream, &QTcpSocket::readyRead, client,
                [client, upstream] { client->write(upstream->readAll()); });
        connect(upstream, &QTcpSocket::disconnected, client, [guard] {
            if (guard) {
                guard->disconnectFromHost();
            }
        });
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    }
}

}  // namespace veltro::testing
