#pragma once

#include "sync/DavXml.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <map>
#include <optional>
#include <vector>

class QNetworkReply;

namespace veltro::sync {

struct Credentials {
    QString user;
    QString password;
};

struct HttpAnswer {
    int status = 0;
    QByteArray body;
    QString etag;
};

struct AddressBook {
    QUrl url;
    QString name;  // the display name, else the last part of the path
};

// What a listing found: the members with their ETags, and the hrefs reported gone. A
// complete listing names every member, so one not named is gone; a delta names only what
// changed since the token sent.
struct Listing {
    bool complete = true;
    std::map<QString, QString> members;  // href → ETag
    QStringList gone;
    QString token;  // empty when the server offers no sync-collection
};

struct Fetched {
    QString href;
    QString etag;
    QByteArray text;
};

// A WebDAV/CardDAV client that waits for each answer in a local event loop, so a window
// stays responsive and can cancel. Errors, time-outs and refused logins throw SyncError.
class DavClient {
public:
    DavClient(Credentials credentials, QString acceptedFingerprint = {});
    ~DavClient();
    DavClient(const DavClient&) = delete;
    DavClient& operator=(const DavClient&) = delete;

    void setTimeout(int milliseconds) { timeoutMs_ = milliseconds; }
    // Stops the request under way and every later one; the running call throws Cancelled.
    void cancel();
    [[nodiscard]] bool cancelled() const { return cancelled_; }

    // Address books reachable from a server address or the book's own address.
    [[nodiscard]] std::vector<AddressBook> discover(const QUrl& start);
    [[nodiscard]] Listing list(const QUrl& book, const QString& token);
    [[nodiscard]] std::vector<Fetched> fetch(const QUrl& book, const QStringList& hrefs);
    // PUT with If-Match: etag, or If-None-Match: * for an empty one. Returns status and the
    // new ETag (empty when the server sent none); 412 is returned, not thrown.
    [[nodiscard]] HttpAnswer put(const QUrl& url, const QByteArray& text, const QString& etag);
    // DELETE with If-Match; 404 counts as done, 412 is returned.
    [[nodiscard]] HttpAnswer remove(const QUrl& url, const QString& etag);

    // One request, following redirects, with the body and headers given.
    HttpAnswer send(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                    const std::map<QByteArray, QByteArray>& headers = {});

private:
    HttpAnswer sendOnce(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                        const std::map<QByteArray, QByteArray>& headers, QUrl& redirect);
    Multistatus propfind(const QUrl& url, int depth, const QStringList& davProps,
                         const QStringList& cardProps);
    void requireSuccess(const QByteArray& verb, const QUrl& url, const HttpAnswer& answer) const;
    std::optional<QUrl> hrefProperty(const QUrl& base, const Multistatus& status,
                                     const QString& name);

    QNetworkAccessManager network_;
    Credentials credentials_;
    QString acceptedFingerprint_;
    QPointer<QNetworkReply> running_;
    int timeoutMs_ = 30000;
    bool cancelled_ = false;
};

// The server's answer as a short text for a message: tags dropped, blanks folded.
[[nodiscard]] QString answerExcerpt(const QByteArray& body);

}  // namespace veltro::sync
