#pragma once

#include "sync/DavXml.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
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
    QString contentType;
};

struct AddressBook {
    QUrl url;
    QString name;  // the display name, else the last part of the path
};

// What a listing found: the members with their ETags, and the hrefs reported gone, each
// href as hrefKey() gives it. A complete listing names every member, so one not named is
// gone; a delta names only what changed since the token sent.
struct Listing {
    bool complete = true;
    std::map<QString, QString> members;  // href → ETag
    QStringList gone;
    QString token;  // empty when the server offers no sync-collection
};

// Answers are read up to these sizes and refused beyond them.
constexpr qint64 kListingLimit = qint64{64} << 20;
constexpr qint64 kCardLimit = qint64{10} << 20;

struct Fetched {
    QString href;
    QString etag;
    QByteArray text;
};

// A WebDAV/CardDAV client that waits for each answer in a local event loop, so a window
// stays responsive and can cancel. Errors, time-outs, refused logins and answers that are not
// what was asked throw SyncError. The login goes only to the scheme, host and port of
// `origin` (the address the user gave), and of a redirect of its /.well-known/carddav on
// the same host; a request anywhere else is refused before it is sent.
class DavClient {
public:
    DavClient(Credentials credentials, const QUrl& origin, QString acceptedFingerprint = {});
    ~DavClient();
    DavClient(const DavClient&) = delete;
    DavClient& operator=(const DavClient&) = delete;

    // A book that discovery found on the same host (another port where the well-known
    // address led there); nothing for one on another host.
    void allowBookOf(const QUrl& book);
    void setTimeout(int milliseconds) { timeoutMs_ = milliseconds; }
    // Stops the request under way and every later one; the running call throws Cancelled.
    void cancel();
    [[nodiscard]] bool cancelled() const { return cancelled_; }
    // For a client on a worker thread: asked a few times a second while a request runs; true
    // cancels as cancel() does.
    void setStopCheck(std::function<bool()> stop) { stopCheck_ = std::move(stop); }

    // Address books reachable from a server address or the book's own address, each under
    // the address the server itself gives it (canonicalUrl).
    [[nodiscard]] std::vector<AddressBook> discover(const QUrl& start);
    // The book's members: all of them without a token, else what changed since it. Falls back
    // to a complete listing where the server no longer knows the token or cut its answer short.
    [[nodiscard]] Listing list(const QUrl& book, const QString& token);
    // The cards at these hrefs; one the server says is gone is left out. An href the answer
    // does not mention at all makes the answer unreadable.
    [[nodiscard]] std::vector<Fetched> fetch(const QUrl& book, const QStringList& hrefs);
    // PUT with If-Match: etag, or If-None-Match: * for an empty one. Returns status and the
    // new ETag (empty when the server sent none); 412 is returned, not thrown.
    [[nodiscard]] HttpAnswer put(const QUrl& url, const QByteArray& text, const QString& etag);
    // DELETE with If-Match; 404 counts as done, 412 is returned.
    [[nodiscard]] HttpAnswer remove(const QUrl& url, const QString& etag);

    // One request, following redirects, with the body and headers given; an answer larger
    // than `limit` bytes is refused.
    HttpAnswer send(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                    const std::map<QByteArray, QByteArray>& headers = {},
                    qint64 limit = kListingLimit);

private:
    HttpAnswer sendOnce(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                        const std::map<QByteArray, QByteArray>& headers, qint64 limit,
                        QUrl& redirect);
    void requireAllowed(const QUrl& url) const;
    QUrl allowedRedirect(const QUrl& from, const QUrl& to);
    Multistatus propfind(const QUrl& url, int depth, const QStringList& davProps,
                         const QStringList& cardProps);
    Multistatus report(const QUrl& book, const QByteArray& body, HttpAnswer& answer);
    Multistatus fullListing(const QUrl& book);
    void requireSuccess(const QByteArray& verb, const QUrl& url, const HttpAnswer& answer) const;
    std::optional<QUrl> hrefProperty(const QUrl& base, const Multistatus& status,
                                     const QString& name) const;

    QNetworkAccessManager network_;
    Credentials credentials_;
    QStringList origins_;  // scheme://host:port the login may go to
    QString acceptedFingerprint_;
    QPointer<QNetworkReply> running_;
    std::function<bool()> stopCheck_;
    int timeoutMs_ = 30000;
    bool cancelled_ = false;
};

// The server's answer as a short text for a message: tags dropped, blanks folded.
[[nodiscard]] QString answerExcerpt(const QByteArray& body);

// One spelling for every way to write a collection's address: scheme and host in lower case,
// no default port, path segments and percent-encoding normalised, a trailing slash, no query,
// fragment or login.
[[nodiscard]] QUrl canonicalUrl(const QUrl& url);
// "scheme://host:port" with the scheme's default port filled in.
[[nodiscard]] QString originOf(const QUrl& url);
// A member's href as a key: its path, normalised, resolved against the book.
[[nodiscard]] QString hrefKey(const QUrl& book, const QString& href);
// The address of a member of the book; throws SyncError (Foreign) for one outside it, on
// another host or above the book's folder.
[[nodiscard]] QUrl memberUrl(const QUrl& book, const QString& href);

}  // namespace veltro::sync
