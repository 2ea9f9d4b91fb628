#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QUrl>

#include <functional>
#include <map>
#include <vector>

class QTcpSocket;

namespace veltro::testing {

// An HTTP/1.1 proxy on loopback in front of a server, one upstream connection per request,
// that answers badly where a rule says so: its own answer, the server's answer altered or
// cut short, an endless answer or none at all. Without an upstream port it answers 404 to
// everything and only records what reached it.
class HostileProxy : public QTcpServer {
public:
    struct Request {
        int number = 0;  // counted from 1 over the proxy's life
        QByteArray method;
        QByteArray path;
        QByteArray body;
        bool authorized = false;  // carried an Authorization header
    };

    struct Reply {
        enum class Kind {
            Pass,        // the server's answer, its body changed by `alter` where set
            Own,         // `own`, from the status line on
            Cut,         // the server's answer, half of the body, Content-Length to match
            CloseEarly,  // the server's answer, half of the body, then the connection closed
            Huge,        // a 207 of kHugeBytes, sent as fast as the client reads
            Silent,      // never an answer
        };
        Kind kind = Kind::Pass;
        QByteArray own;
        std::function<QByteArray(const QByteArray&)> alter;
    };

    // Decides on each request; it may change the request's body before it is passed on.
    using Rule = std::function<Reply(Request&)>;

    static constexpr qint64 kHugeBytes = 200LL * 1024 * 1024;

    explicit HostileProxy(int upstreamPort, const QHostAddress& address = QHostAddress::LocalHost);

    void setRule(Rule rule) { rule_ = std::move(rule); }
    // The address of `url`'s path through this proxy.
    [[nodiscard]] QUrl through(const QUrl& url) const;
    // Every request seen, as it came.
    [[nodiscard]] const std::vector<Request>& seen() const { return seen_; }
    // Bytes of huge answers handed to the system, all sockets together.
    [[nodiscard]] qint64 hugeBytesSent() const { return hugeSent_; }

    // A whole answer with Content-Length and Connection: close.
    [[nodiscard]] static QByteArray answer(const QByteArray& status, const QByteArray& type,
                                           const QByteArray& body);

private:
    void take();
    void read(QTcpSocket* socket);
    void respond(QTcpSocket* socket, Request request, const QByteArray& head);
    [[nodiscard]] QByteArray forward(const Request& request, const QByteArray& head) const;
    void stream(QTcpSocket* socket);

    int upstreamPort_;
    Rule rule_;
    std::vector<Request> seen_;
    std::map<QTcpSocket*, QByteArray> pending_;
    qint64 hugeSent_ = 0;
};

}  // namespace veltro::testing
