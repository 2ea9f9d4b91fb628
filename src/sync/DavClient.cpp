#include "sync/DavClient.h"

#include "sync/SyncError.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSet>
#include <QSslCertificate>
#include <QSslError>
#include <QTimer>

#include <algorithm>

namespace veltro::sync {

namespace {

constexpr int kMaxRedirects = 5;
constexpr qsizetype kExcerptLength = 300;
constexpr int kMultigetBatch = 100;
constexpr qint64 kReadPieceBytes = qint64{1} << 20;
constexpr int kStopLookMs = 100;

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

QString megabytes(qint64 bytes) {
    return QString::number(bytes >> 20);
}

SyncError unreadable(const QByteArray& verb, const QUrl& url, const QString& why) {
    return {SyncError::Kind::Unreadable,
            QStringLiteral("Die Antwort des Servers ist nicht lesbar (%1 %2: %3). Hier wurde "
                           "nichts geändert.")
                .arg(QString::fromLatin1(verb), pathOf(url), why)};
}

SyncError foreign(const QUrl& url, const QString& where) {
    return {SyncError::Kind::Foreign,
            QStringLiteral("Der Server verweist auf %1 (%2); dorthin wird die Anmeldung nicht "
                           "geschickt, und dort wird nichts gelesen oder geschrieben.")
                .arg(url.toDisplayString(QUrl::RemoveUserInfo), where)};
}

bool isXml(const QString& contentType) {
    const QString type = contentType.section(u';', 0, 0).trimmed().toLower();
    return type == u"application/xml" || type == u"text/xml";
}

bool isBook(const DavResponse& response) {
    const DavProperty* type = response.property(QStringLiteral("resourcetype"));
    return type != nullptr && type->children.contains(QStringLiteral("addressbook"));
}

QString displayName(const DavResponse& response, const QUrl& url) {
    const DavProperty* name = response.property(QStringLiteral("displayname"));
    return name != nullptr && !name->text.trimmed().isEmpty() ? name->text.trimmed()
                                                              : lastSegment(url);
}

const QString kWellKnown = QStringLiteral("/.well-known/carddav");

// Qt's own text of a certificate problem is English wherever no translation is loaded.
QString certificateReason(const QSslError& error) {
    switch (error.error()) {
        case QSslError::SelfSignedCertificate:
        case QSslError::SelfSignedCertificateInChain:
            return QStringLiteral("selbst signiert");
        case QSslError::CertificateExpired:
            return QStringLiteral("abgelaufen");
        case QSslError::CertificateNotYetValid:
            return QStringLiteral("noch nicht gültig");
        case QSslError::HostNameMismatch:
            return QStringLiteral("für einen anderen Namen ausgestellt");
        case QSslError::UnableToGetLocalIssuerCertificate:
        case QSslError::UnableToGetIssuerCertificate:
        case QSslError::UnableToVerifyFirstCertificate:
            return QStringLiteral("Aussteller unbekannt");
        case QSslError::CertificateRevoked:
            return QStringLiteral("widerrufen");
        default:
            return QStringLiteral("ungültig");
    }
}

QString connectionProblem(QNetworkReply::NetworkError error, const QUrl& url) {
    switch (error) {
        case QNetworkReply::ConnectionRefusedError:
            return QStringLiteral("Der Server %1 nimmt keine Verbindung an (Port %2).")
                .arg(url.host())
                .arg(url.port(url.scheme() == u"https" ? 443 : 80));
        case QNetworkReply::HostNotFoundError:
            return QStringLiteral("Den Server %1 gibt es nicht (der Name ist unbekannt).")
                .arg(url.host());
        case QNetworkReply::RemoteHostClosedError:
            return QStringLiteral(
                       "Der Server %1 hat die Verbindung mitten in der Antwort "
                       "beendet.")
                .arg(url.host());
        default:
            return QStringLiteral("Keine Verbindung zum Server %1.").arg(url.host());
    }
}

}  // namespace

namespace {
Multistatus multistatusOf(const QByteArray& verb, const QUrl& url, const HttpAnswer& answer);
}  // namespace

QUrl canonicalUrl(const QUrl& url) {
    QUrl canonical = QUrl::fromEncoded(url.toEncoded(QUrl::FullyEncoded));
    canonical = canonical.adjusted(QUrl::NormalizePathSegments | QUrl::RemoveQuery |
                                   QUrl::RemoveFragment | QUrl::RemoveUserInfo);
    canonical.setScheme(canonical.scheme().toLower());
    canonical.setHost(canonical.host().toLower());
    if ((canonical.scheme() == u"http" && canonical.port() == 80) ||
        (canonical.scheme() == u"https" && canonical.port() == 443)) {
        canonical.setPort(-1);
    }
    canonical.setPath(withSlash(canonical.path(QUrl::FullyEncoded)), QUrl::TolerantMode);
    return canonical;
}

QString originOf(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme + QStringLiteral("://") + url.host().toLower() + u':' +
           QString::number(url.port(scheme == u"https" ? 443 : 80));
}

QString hrefKey(const QUrl& book, const QString& href) {
    return book.resolved(QUrl::fromEncoded(href.toUtf8()))
        .adjusted(QUrl::NormalizePathSegments)
        .path(QUrl::FullyEncoded);
}

QUrl memberUrl(const QUrl& book, const QString& href) {
    QUrl url =
        book.resolved(QUrl::fromEncoded(href.toUtf8())).adjusted(QUrl::NormalizePathSegments);
    if (originOf(url) != originOf(book)) {
        throw foreign(url, QStringLiteral("ein anderer Rechner: %1").arg(url.host()));
    }
    const QString folder = withSlash(canonicalUrl(book).path(QUrl::FullyEncoded));
    const QString path = url.path(QUrl::FullyEncoded);
    if (!path.startsWith(folder) || path.size() == folder.size()) {
        throw foreign(url, QStringLiteral("außerhalb des Adressbuchs %1").arg(folder));
    }
    return url;
}

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

DavClient::DavClient(Credentials credentials, const QUrl& origin, QString acceptedFingerprint)
    : credentials_(std::move(credentials)),
      origins_{originOf(origin)},
      acceptedFingerprint_(std::move(acceptedFingerprint)) {
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
                           const std::map<QByteArray, QByteArray>& headers, qint64 limit) {
    QUrl target = url;
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        QUrl redirect;
        HttpAnswer answer = sendOnce(verb, target, body, headers, limit, redirect);
        if (redirect.isEmpty()) {
            return answer;
        }
        target = allowedRedirect(target, redirect);
    }
    throw SyncError(SyncError::Kind::Answer,
                    QStringLiteral("Der Server leitet %1 immer weiter um.").arg(url.toString()));
}

void DavClient::allowBookOf(const QUrl& book) {
    const QUrl first(origins_.front());
    const bool downgrade = first.scheme() == u"https" && book.scheme() != u"https";
    if (!downgrade && book.host().toLower() == first.host() && !origins_.contains(originOf(book))) {
        origins_ << originOf(book);
    }
}

void DavClient::requireAllowed(const QUrl& url) const {
    if (!origins_.contains(originOf(url))) {
        throw foreign(url, QStringLiteral("nicht der angegebene Server %1")
                               .arg(origins_.front().section(QStringLiteral("://"), 1)));
    }
}

// A server may send its well-known address to another port or to https on the same host;
// everything else stays where the user pointed, and never goes from https to http.
QUrl DavClient::allowedRedirect(const QUrl& from, const QUrl& to) {
    const bool downgrade = from.scheme() == u"https" && to.scheme() != u"https";
    if (!downgrade && from.path() == kWellKnown && to.host().toLower() == from.host().toLower() &&
        (to.scheme() == u"http" || to.scheme() == u"https") && !origins_.contains(originOf(to))) {
        origins_ << originOf(to);
    }
    if (downgrade || !origins_.contains(originOf(to))) {
        throw SyncError(SyncError::Kind::Foreign,
                        QStringLiteral("Der Server leitet %1 nach %2 um; dorthin wird die "
                                       "Anmeldung nicht geschickt.")
                            .arg(from.toString(), to.toDisplayString(QUrl::RemoveUserInfo)));
    }
    return to;
}

HttpAnswer DavClient::sendOnce(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                               const std::map<QByteArray, QByteArray>& headers, qint64 limit,
                               QUrl& redirect) {
    if (cancelled_ || (stopCheck_ && stopCheck_())) {
        throw SyncError(SyncError::Kind::Cancelled, QStringLiteral("Abgebrochen."));
    }
    requireAllowed(url);
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
            if (const QString reason = certificateReason(error); !reasons.contains(reason)) {
                reasons << reason;
            }
        }
        certificateProblem = reasons.join(QStringLiteral("; "));
    });
    // The answer is taken a piece at a time and never held beyond the limit: an announced
    // length over it ends the request before the body comes.
    reply->setReadBufferSize(kReadPieceBytes);
    QByteArray received;
    bool tooLarge = false;
    const auto refuse = [&] {
        tooLarge = true;
        reply->abort();
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > limit) {
            refuse();
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        received += reply->readAll();
        if (received.size() > limit) {
            refuse();
        }
    });
    bool timedOut = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, reply, [&] {
        timedOut = true;
        reply->abort();
    });
    timer.start(timeoutMs_);
    QTimer stopLook;
    if (stopCheck_) {
        QObject::connect(&stopLook, &QTimer::timeout, reply, [&] {
            if (stopCheck_()) {
                cancel();
            }
        });
        stopLook.start(kStopLookMs);
    }
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) {
        loop.exec();
    }
    timer.stop();
    stopLook.stop();
    const std::unique_ptr<QNetworkReply, void (*)(QNetworkReply*)> owned(
        reply, [](QNetworkReply* r) { r->deleteLater(); });
    HttpAnswer answer;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->isOpen() && !tooLarge) {
        received += reply->readAll();
        tooLarge = received.size() > limit;
    }
    answer.body = tooLarge ? QByteArray() : std::move(received);
    answer.etag = unquotedEtag(QString::fromLatin1(reply->rawHeader("ETag")));
    answer.contentType = QString::fromLatin1(reply->rawHeader("Content-Type"));
    if (cancelled_) {
        throw SyncError(SyncError::Kind::Cancelled, QStringLiteral("Abgebrochen."));
    }
    if (tooLarge) {
        throw SyncError(
            SyncError::Kind::TooLarge,
            QStringLiteral("Die Antwort des Servers %1 auf %2 %3 ist größer als %4 MB "
                           "und wird nicht gelesen. Hier wurde nichts geändert.")
                .arg(url.host(), QString::fromLatin1(verb), pathOf(url), megabytes(limit)));
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
    if (const auto error = reply->error();
        answer.status == 0 || (error > QNetworkReply::NoError && error < 100)) {
        throw SyncError(SyncError::Kind::Network, connectionProblem(error, url));
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
    return multistatusOf("PROPFIND", url, answer);
}

namespace {

// A multistatus read strictly: status 207, XML, well-formed and whole; anything else throws.
Multistatus multistatusOf(const QByteArray& verb, const QUrl& url, const HttpAnswer& answer) {
    if (answer.status != 207) {
        throw unreadable(verb, url,
                         QStringLiteral("HTTP %1 statt 207 Multi-Status").arg(answer.status));
    }
    if (!isXml(answer.contentType)) {
        throw unreadable(verb, url,
                         QStringLiteral("„%1“ statt XML: %2")
                             .arg(answer.contentType, answerExcerpt(answer.body)));
    }
    Multistatus status = parseMultistatus(answer.body);
    if (!status.valid) {
        throw unreadable(verb, url,
                         answer.body.isEmpty()
                             ? QStringLiteral("leer")
                             : QStringLiteral("unvollständig oder kein WebDAV: %1")
                                   .arg(answerExcerpt(answer.body)));
    }
    return status;
}

}  // namespace

std::optional<QUrl> DavClient::hrefProperty(const QUrl& base, const Multistatus& status,
                                            const QString& name) const {
    for (const DavResponse& response : status.responses) {
        if (const DavProperty* property = response.property(name);
            property != nullptr && !property->hrefs.isEmpty()) {
            const QUrl url = base.resolved(QUrl::fromEncoded(property->hrefs.front().toUtf8()));
            requireAllowed(url);
            return url;
        }
    }
    return std::nullopt;
}

std::vector<AddressBook> DavClient::discover(const QUrl& start) {
    const QStringList first = {QStringLiteral("resourcetype"), QStringLiteral("displayname"),
                               QStringLiteral("current-user-principal")};
    const Multistatus atStart = propfind(start, 0, first, {QStringLiteral("addressbook-home-set")});
    for (const DavResponse& response : atStart.responses) {
        if (isBook(response)) {
            const QUrl url =
                canonicalUrl(start.resolved(QUrl::fromEncoded(response.href.toUtf8())));
            requireAllowed(url);
            return {{url, displayName(response, url)}};
        }
    }
    std::optional<QUrl> home = hrefProperty(start, atStart, QStringLiteral("addressbook-home-set"));
    if (!home) {
        std::optional<QUrl> principal =
            hrefProperty(start, atStart, QStringLiteral("current-user-principal"));
        if (!principal) {
            const QUrl wellKnown = start.resolved(QUrl(kWellKnown));
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
        if (isBook(response)) {
            const QUrl url =
                canonicalUrl(home->resolved(QUrl::fromEncoded(response.href.toUtf8())));
            requireAllowed(url);
            books.push_back({url, displayName(response, url)});
        }
    }
    return books;
}

Multistatus DavClient::report(const QUrl& book, const QByteArray& body, HttpAnswer& answer) {
    answer = send("REPORT", book, body,
                  {{"Depth", "1"}, {"Content-Type", "application/xml; charset=utf-8"}});
    requireSuccess("REPORT", book, answer);
    return multistatusOf("REPORT", book, answer);
}

Multistatus DavClient::fullListing(const QUrl& book) {
    return propfind(book, 1, {QStringLiteral("getetag"), QStringLiteral("resourcetype")}, {});
}

Listing DavClient::list(const QUrl& book, const QString& token) {
    const Multistatus about =
        propfind(book, 0,
                 {QStringLiteral("resourcetype"), QStringLiteral("supported-report-set"),
                  QStringLiteral("sync-token")},
                 {});
    const QString own = withSlash(hrefKey(book, {}));
    const auto isOwn = [&](const QString& href) { return withSlash(hrefKey(book, href)) == own; };
    const auto self = std::find_if(about.responses.begin(), about.responses.end(),
                                   [&](const DavResponse& r) { return isOwn(r.href); });
    if (self == about.responses.end() || !isBook(*self)) {
        throw unreadable("PROPFIND", book, QStringLiteral("dort ist kein Adressbuch"));
    }
    const DavProperty* reports = self->property(QStringLiteral("supported-report-set"));
    const bool offersSync =
        reports != nullptr && reports->children.contains(QStringLiteral("sync-collection"));
    Listing listing;
    Multistatus status;
    if (offersSync) {
        HttpAnswer answer;
        answer = send("REPORT", book, syncCollectionBody(token),
                      {{"Depth", "1"}, {"Content-Type", "application/xml; charset=utf-8"}});
        // A token the server no longer knows: start over with a full listing.
        const bool restarted = !token.isEmpty() && (answer.status == 403 || answer.status == 409);
        if (restarted) {
            status = report(book, syncCollectionBody({}), answer);
        } else {
            requireSuccess("REPORT", book, answer);
            status = multistatusOf("REPORT", book, answer);
        }
        if (status.syncToken.isEmpty()) {
            throw unreadable("REPORT", book, QStringLiteral("ohne Sync-Token"));
        }
        listing.complete = token.isEmpty() || restarted;
        listing.token = status.syncToken;
        // An answer the server cut short (507 for the book itself) is not the whole change:
        // compare against a full listing instead.
        const bool truncated =
            std::any_of(status.responses.begin(), status.responses.end(),
                        [&](const DavResponse& r) { return r.status == 507 && isOwn(r.href); });
        if (truncated) {
            status = fullListing(book);
            listing.complete = true;
            listing.token.clear();
        }
    } else {
        status = fullListing(book);
    }
    for (const DavResponse& response : status.responses) {
        if (isOwn(response.href)) {
            continue;
        }
        const QString key = hrefKey(book, response.href);
        (void)memberUrl(book, response.href);
        if (response.status == 404) {
            listing.gone << key;
            continue;
        }
        const DavProperty* etag = response.property(QStringLiteral("getetag"));
        if (isBook(response) || key.endsWith(u'/')) {
            continue;
        }
        if (etag == nullptr || etag->text.trimmed().isEmpty()) {
            throw unreadable("REPORT", book,
                             QStringLiteral("die Karte %1 kommt ohne ETag").arg(response.href));
        }
        listing.members[key] = unquotedEtag(etag->text);
    }
    return listing;
}

std::vector<Fetched> DavClient::fetch(const QUrl& book, const QStringList& hrefs) {
    std::vector<Fetched> fetched;
    for (qsizetype from = 0; from < hrefs.size(); from += kMultigetBatch) {
        const QStringList batch = hrefs.mid(from, kMultigetBatch);
        QSet<QString> unanswered;
        for (const QString& href : batch) {
            unanswered.insert(hrefKey(book, href));
        }
        HttpAnswer answer;
        const Multistatus status = report(book, multigetBody(batch), answer);
        for (const DavResponse& response : status.responses) {
            const QString key = hrefKey(book, response.href);
            (void)memberUrl(book, response.href);
            if (!unanswered.remove(key)) {
                continue;
            }
            if (response.status == 404) {
                continue;
            }
            const DavProperty* data = response.property(QStringLiteral("address-data"));
            const DavProperty* etag = response.property(QStringLiteral("getetag"));
            if (data == nullptr || etag == nullptr) {
                throw unreadable(
                    "REPORT", book,
                    QStringLiteral("die Karte %1 kommt ohne Inhalt oder ETag").arg(response.href));
            }
            QByteArray text = data->text.toUtf8();
            if (text.size() > kCardLimit) {
                throw SyncError(SyncError::Kind::TooLarge,
                                QStringLiteral("Die Karte %1 auf dem Server ist größer als %2 MB "
                                               "und wird nicht gelesen. Hier wurde nichts "
                                               "geändert.")
                                    .arg(response.href, megabytes(kCardLimit)));
            }
            fetched.push_back({key, unquotedEtag(etag->text), std::move(text)});
        }
        if (!unanswered.isEmpty()) {
            throw unreadable("REPORT", book,
                             QStringLiteral("%1 der erbetenen Karten fehlen in der Antwort")
                                 .arg(unanswered.size()));
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
