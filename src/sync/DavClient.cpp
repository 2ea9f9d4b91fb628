#include "sync/DavClient.h"

#include "sync/SyncError.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSslCertificate>
#include <QSslError>
#include <QTimer>

namespace veltro::sync {

namespace {

constexpr int kMaxRedirects = 5;
constexpr qsizetype kExcerptLength = 300;
constexpr int kMultigetBatch = 100;

QString fingerprintOf(const QSslCertificate& certificate) {
    const QByteArray digest = certificate.digest(QCryptographicHash::Sha256).toHex().toUpper();
    QStringList pairs;
    for (qsizetype i = 0; i + 1 < digest.size(); i += 2) {
        pairs << QString::fromLatin1(digest.mid(i, 2));
    }
    return pairs.join(u':');
}

QString pathOf(const QUrl& url) {
    return url.path(QUrl::FullyEncoded);
}

QString withSlash(const QString& path) {
    return path.endsWith(u'/') ? path : path + u'/';
}

QString lastSegment(const QUrl& url) {
    const QStringList parts = url.path().split(u'/', Qt::SkipEmptyParts);
    return parts.isEmpty() ? url.host() : parts.back();
}

QString unquotedEtag(const QString& etag) {
    return etag.trimmed();
}

}  // namespace

QString answerExcerpt(const QByteArray& body) {
    QString text = QString::fromUtf8(body);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    text.replace(tags, QStringLiteral(" ")).replace(blanks, QStringLiteral(" "));
    text = text.trimmed();
    if (text.size() > kExcerptLength) {
        text = text.left(kExcerptLength) + u'…';
    }
    return text;
}

DavClient::DavClient(Credentials credentials, QString acceptedFingerprint)
    : credentials_(std::move(credentials)), acceptedFingerprint_(std::move(acceptedFingerprint)) {
    network_.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

DavClient::~DavClient() {
    if (running_) {
        running_->abort();
    }
}

void DavClient::cancel() {
    cancelled_ = true;
    if (running_) {
        running_->abort();
    }
}

HttpAnswer DavClient::send(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                           const std::map<QByteArray, QByteArray>& headers) {
    QUrl target = url;
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        QUrl redirect;
        HttpAnswer answer = sendOnce(verb, target, body, headers, redirect);
        if (redirect.isEmpty()) {
            return answer;
        }
        target = redirect;
    }
    throw SyncError(SyncError::Kind::Answer,
                    QStringLiteral("Der Server leitet %1 immer weiter um.").arg(url.toString()));
}

HttpAnswer DavClient::sendOnce(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                               const std::map<QByteArray, QByteArray>& headers, QUrl& redirect) {
    if (cancelled_) {
        throw SyncError(SyncError::Kind::Cancelled, QStringLiteral("Abgebrochen."));
    }
    QNetworkRequest request(url);
    const QByteArray login = (credentials_.user + u':' + credentials_.password).toUtf8();
    request.setRawHeader("Authorization", "Basic " + login.toBase64());
    request.setRawHeader("User-Agent", "Veltro Adressbuch");
    for (const auto& [name, value] : headers) {
        request.setRawHeader(name, value);
    }
    QNetworkReply* reply = network_.sendCustomRequest(request, verb, body);
    running_ = reply;
    QString certificateProblem;
    QString fingerprint;
    QObject::connect(reply, &QNetworkReply::sslErrors, reply, [&](const QList<QSslError>& errors) {
        const QSslCertificate peer = reply->sslConfiguration().peerCertificate();
        fingerprint = fingerprintOf(peer);
        if (!acceptedFingerprint_.isEmpty() && fingerprint == acceptedFingerprint_) {
            reply->ignoreSslErrors(errors);
            return;
        }
        QStringList reasons;
        for (const QSslError& error : errors) {
            reasons << error.errorString();
        }
        certificateProblem = reasons.join(QStringLiteral("; "));
    });
    bool timedOut = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, reply, [&] {
        timedOut = true;
        reply->abort();
    });
    timer.start(timeoutMs_);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) {
        loop.exec();
    }
    timer.stop();
    const std::unique_ptr<QNetworkReply, void (*)(QNetworkReply*)> owned(
        reply, [](QNetworkReply* r) { r->deleteLater(); });
    HttpAnswer answer;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.body = reply->isOpen() ? reply->readAll() : QByteArray();
    answer.etag = unquotedEtag(QString::fromLatin1(reply->rawHeader("ETag")));
    if (cancelled_) {
        throw SyncError(SyncError::Kind::Cancelled, QStringLiteral("Abgebrochen."));
    }
    if (timedOut) {
        throw SyncError(SyncError::Kind::Timeout,
                        QStringLiteral("Der Server %1 hat nicht innerhalb von %2 Sekunden "
                                       "geantwortet.")
                            .arg(url.host())
                            .arg(timeoutMs_ / 1000));
    }
    if (!certificateProblem.isEmpty()) {
        throw SyncError(SyncError::Kind::Certificate,
                        QStringLiteral("Dem Zertifikat des Servers %1 wird nicht vertraut (%2). "
                                       "Fingerabdruck (SHA-256): %3")
                            .arg(url.host(), certificateProblem, fingerprint),
                        0, fingerprint);
    }
    if (answer.status == 0) {
        throw SyncError(SyncError::Kind::Network,
                        QStringLiteral("Keine Verbindung zum Server %1: %2")
                            .arg(url.host(), reply->errorString()));
    }
    if (answer.status == 401) {
        throw SyncError(SyncError::Kind::Login,
                        QStringLiteral("Der Server %1 hat die Anmeldung als „%2“ abgelehnt "
                                       "(HTTP 401). Antwort des Servers: %3")
                            .arg(url.host(), credentials_.user, answerExcerpt(answer.body)),
                        401);
    }
    if (answer.status >= 300 && answer.status < 400 && reply->hasRawHeader("Location")) {
        redirect = url.resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
        // The login goes with every request: never to another host or without encryption
        // where it had it.
        if (redirect.host() != url.host() ||
            (url.scheme() == u"https" && redirect.scheme() != u"https")) {
            throw SyncError(SyncError::Kind::Answer,
                            QStringLiteral("Der Server leitet %1 nach %2 um; dorthin wird die "
                                           "Anmeldung nicht geschickt.")
                                .arg(url.toString(), redirect.toString()));
        }
    }
    return answer;
}

void DavClient::requireSuccess(const QByteArray& verb, const QUrl& url,
                               const HttpAnswer& answer) const {
    if (answer.status >= 200 && answer.status < 300) {
        return;
    }
    throw SyncError(SyncError::Kind::Http,
                    QStringLiteral("Der Server meldet bei %1 %2 den Fehler HTTP %3. Antwort des "
                                   "Servers: %4")
                        .arg(QString::fromLatin1(verb), pathOf(url))
                        .arg(answer.status)
                        .arg(answerExcerpt(answer.body)),
                    answer.status);
}

Multistatus DavClient::propfind(const QUrl& url, int depth, const QStringList& davProps,
                                const QStringList& cardProps) {
    const HttpAnswer answer = send(
        "PROPFIND", url, propfindBody(davProps, cardProps),
        {{"Depth", QByteArray::number(depth)}, {"Content-Type", "application/xml; charset=utf-8"}});
    requireSuccess("PROPFIND", url, answer);
    Multistatus status = parseMultistatus(answer.body);
    if (!status.valid) {
        throw SyncError(SyncError::Kind::Answer,
                        QStringLiteral("Der Server hat auf PROPFIND %1 keine WebDAV-Antwort "
                                       "gegeben: %2")
                            .arg(pathOf(url), answerExcerpt(answer.body)));
    }
    return status;
}

std::optional<QUrl> DavClient::hrefProperty(const QUrl& base, const Multistatus& status,
                                            const QString& name) {
    for (const DavResponse& response : status.responses) {
        if (const DavProperty* property = response.property(name);
            property != nullptr && !property->hrefs.isEmpty()) {
            return base.resolved(QUrl::fromEncoded(property->hrefs.front().toUtf8()));
        }
    }
    return std::nullopt;
}

std::vector<AddressBook> DavClient::discover(const QUrl& start) {
    const QStringList first = {QStringLiteral("resourcetype"), QStringLiteral("displayname"),
                               QStringLiteral("current-user-principal")};
    const Multistatus atStart = propfind(start, 0, first, {QStringLiteral("addressbook-home-set")});
    for (const DavResponse& response : atStart.responses) {
        const DavProperty* type = response.property(QStringLiteral("resourcetype"));
        if (type != nullptr && type->children.contains(QStringLiteral("addressbook"))) {
            const DavProperty* name = response.property(QStringLiteral("displayname"));
            return {{start, name != nullptr && !name->text.trimmed().isEmpty()
                                ? name->text.trimmed()
                                : lastSegment(start)}};
        }
    }
    std::optional<QUrl> home = hrefProperty(start, atStart, QStringLiteral("addressbook-home-set"));
    if (!home) {
        std::optional<QUrl> principal =
            hrefProperty(start, atStart, QStringLiteral("current-user-principal"));
        if (!principal) {
            const QUrl wellKnown = start.resolved(QUrl(QStringLiteral("/.well-known/carddav")));
            principal = hrefProperty(wellKnown, propfind(wellKnown, 0, first, {}),
                                     QStringLiteral("current-user-principal"));
        }
        if (principal) {
            home = hrefProperty(
                *principal, propfind(*principal, 0, {}, {QStringLiteral("addressbook-home-set")}),
                QStringLiteral("addressbook-home-set"));
        }
    }
    if (!home) {
        throw SyncError(SyncError::Kind::Answer,
                        QStringLiteral("Unter %1 ist kein CardDAV-Adressbuch zu finden.")
                            .arg(start.toString()));
    }
    std::vector<AddressBook> books;
    const Multistatus members =
        propfind(*home, 1, {QStringLiteral("resourcetype"), QStringLiteral("displayname")}, {});
    for (const DavResponse& response : members.responses) {
        const DavProperty* type = response.property(QStringLiteral("resourcetype"));
        if (type == nullptr || !type->children.contains(QStringLiteral("addressbook"))) {
            continue;
        }
        const QUrl url = home->resolved(QUrl::fromEncoded(response.href.toUtf8()));
        const DavProperty* name = response.property(QStringLiteral("displayname"));
        books.push_back({url, name != nullptr && !name->text.trimmed().isEmpty()
                                  ? name->text.trimmed()
                                  : lastSegment(url)});
    }
    return books;
}

Listing DavClient::list(const QUrl& book, const QString& token) {
    const Multistatus about = propfind(
        book, 0, {QStringLiteral("supported-report-set"), QStringLiteral("sync-token")}, {});
    bool offersSync = false;
    for (const DavResponse& response : about.responses) {
        const DavProperty* reports = response.property(QStringLiteral("supported-report-set"));
        offersSync = offersSync || (reports != nullptr &&
                                    reports->children.contains(QStringLiteral("sync-collection")));
    }
    const QString own = withSlash(pathOf(book));
    Listing listing;
    Multistatus status;
    if (offersSync) {
        const auto report = [&](const QString& sent) {
            return send("REPORT", book, syncCollectionBody(sent),
                        {{"Depth", "1"}, {"Content-Type", "application/xml; charset=utf-8"}});
        };
        HttpAnswer answer = report(token);
        // A token the server no longer knows: start over with a full listing.
        const bool restarted = !token.isEmpty() && (answer.status == 403 || answer.status == 409);
        if (restarted) {
            answer = report({});
        }
        requireSuccess("REPORT", book, answer);
        status = parseMultistatus(answer.body);
        listing.complete = token.isEmpty() || restarted;
        listing.token = status.syncToken;
    } else {
        status = propfind(book, 1, {QStringLiteral("getetag"), QStringLiteral("resourcetype")}, {});
    }
    for (const DavResponse& response : status.responses) {
        if (withSlash(response.href) == own) {
            continue;
        }
        if (response.status == 404) {
            listing.gone << response.href;
            continue;
        }
        const DavProperty* etag = response.property(QStringLiteral("getetag"));
        if (etag != nullptr && !response.href.endsWith(u'/')) {
            listing.members[response.href] = unquotedEtag(etag->text);
        }
    }
    return listing;
}

std::vector<Fetched> DavClient::fetch(const QUrl& book, const QStringList& hrefs) {
    std::vector<Fetched> fetched;
    for (qsizetype from = 0; from < hrefs.size(); from += kMultigetBatch) {
        const QStringList batch = hrefs.mid(from, kMultigetBatch);
        const HttpAnswer answer =
            send("REPORT", book, multigetBody(batch),
                 {{"Depth", "1"}, {"Content-Type", "application/xml; charset=utf-8"}});
        requireSuccess("REPORT", book, answer);
        const Multistatus status = parseMultistatus(answer.body);
        for (const DavResponse& response : status.responses) {
            const DavProperty* data = response.property(QStringLiteral("address-data"));
            const DavProperty* etag = response.property(QStringLiteral("getetag"));
            if (data != nullptr && etag != nullptr) {
                fetched.push_back({response.href, unquotedEtag(etag->text), data->text.toUtf8()});
            }
        }
    }
    return fetched;
}

HttpAnswer DavClient::put(const QUrl& url, const QByteArray& text, const QString& etag) {
    std::map<QByteArray, QByteArray> headers = {{"Content-Type", "text/vcard; charset=utf-8"}};
    if (etag.isEmpty()) {
        headers["If-None-Match"] = "*";
    } else {
        headers["If-Match"] = etag.toLatin1();
    }
    HttpAnswer answer = send("PUT", url, text, headers);
    if (answer.status != 412) {
        requireSuccess("PUT", url, answer);
    }
    return answer;
}

HttpAnswer DavClient::remove(const QUrl& url, const QString& etag) {
    std::map<QByteArray, QByteArray> headers;
    if (!etag.isEmpty()) {
        headers["If-Match"] = etag.toLatin1();
    }
    HttpAnswer answer = send("DELETE", url, {}, headers);
    if (answer.status != 412 && answer.status != 404) {
        requireSuccess("DELETE", url, answer);
    }
    return answer;
}

}  // namespace veltro::sync
