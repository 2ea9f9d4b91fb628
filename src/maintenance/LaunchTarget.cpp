#include "maintenance/LaunchTarget.h"

#include "base/Blanks.h"

#include <QRegularExpression>
#include <QStringList>

#include <utility>

namespace veltro::maintenance {

namespace {

constexpr qsizetype kShortestText = 5;

bool startsWithNoCase(const QString& text, QStringView prefix) {
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

// A scheme other than the web's ("file:", "javascript:", "data:" …); "host:8080" is a port.
bool hasForeignScheme(const QString& text) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]*:(?!\\d)"));
    return scheme.match(text).hasMatch();
}

}  // namespace

LaunchTarget::LaunchTarget(Kind kind, QString address, QUrl url)
    : kind_(kind), address_(std::move(address)), url_(std::move(url)) {}

QString LaunchTarget::firstWord(const QString& text) {
    QString word = trimBlanks(text);
    // Rich-text selections separate paragraphs with U+2029; tabs end a word as well.
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (word.at(i).isSpace()) {
            word.truncate(i);
            break;
        }
    }
    return trimBlanks(word);
}

std::optional<LaunchTarget> LaunchTarget::fromText(LaunchSource source, const QString& text) {
    if (source == LaunchSource::None) {
        return std::nullopt;
    }
    const QString word = firstWord(text);
    if (word.size() < kShortestText) {
        return std::nullopt;
    }
    if (word.contains(u'@')) {
        return mail(word);
    }
    if (word.contains(u'.')) {
        return web(word);
    }
    return std::nullopt;
}

std::optional<LaunchTarget> LaunchTarget::mail(QString address) {
    if (startsWithNoCase(address, u"mailto:")) {
        address.remove(0, 7);
    }
    // A plain address only: no scheme, path, query or header ("?attach=…") can ride along.
    static const QRegularExpression unsafe(QStringLiteral("[:/\\\\?#<>\"]"));
    if (!address.contains(u'@') || unsafe.match(address).hasMatch()) {
        return std::nullopt;
    }
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(address);
    if (!url.isValid()) {
        return std::nullopt;
    }
    return LaunchTarget(Kind::Mail, address, url);
}

std::optional<LaunchTarget> LaunchTarget::web(const QString& text) {
    QString scheme = QStringLiteral("http");
    QString rest = text;
    if (startsWithNoCase(rest, u"http://")) {
        rest.remove(0, 7);
    } else if (startsWithNoCase(rest, u"https://")) {
        // Kept, so a secure address is not opened over plain http.
        scheme = QStringLiteral("https");
        rest.remove(0, 8);
    }
    if (hasForeignScheme(rest) || rest.startsWith(u'/') || rest.contains(u'\\')) {
        return std::nullopt;
    }
    if (!startsWithNoCase(rest, u"www.")) {
        rest.prepend(QStringLiteral("www."));
    }
    const QUrl url(scheme + QStringLiteral("://") + rest, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty()) {
        return std::nullopt;
    }
    const QString shown = scheme == u"https" ? QStringLiteral("https://") + rest : rest;
    return LaunchTarget(Kind::Web, shown, url);
}

std::optional<LaunchTarget> LaunchTarget::mapSearch(const QString& address) {
    QStringList parts;
    for (const QString& line :
         address.split(QRegularExpression(QStringLiteral("[\\r\\n\\x{2029}]")))) {
        if (const QString part = line.simplified(); !part.isEmpty()) {
            parts << part;
        }
    }
    if (parts.isEmpty()) {
        return std::nullopt;
    }
    const QString oneLine = parts.join(QStringLiteral(", "));
    // Every character outside the unreserved set is encoded: "&", "#" or "+" in an address
    // stay part of the query.
    const QUrl url = QUrl::fromEncoded(
        "https://www.openstreetmap.org/search?query=" + QUrl::toPercentEncoding(oneLine),
        QUrl::StrictMode);
    return LaunchTarget(Kind::Web, QStringLiteral("OpenStreetMap: ") + oneLine, url);
}

QString LaunchTarget::question() const {
    const QString lead = kind_ == Kind::Mail ? QStringLiteral("E-Mail-Verbindung herstellen zu")
                                             : QStringLiteral("Internet-Verbindung herstellen zu");
    return lead + u'\n' + address_ + QStringLiteral("  ?      ");
}

QString LaunchTarget::title() const {
    return kind_ == Kind::Mail ? QStringLiteral("E-Mail") : QStringLiteral("Internet");
}

}  // namespace veltro::maintenance
