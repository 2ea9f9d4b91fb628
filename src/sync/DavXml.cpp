#include "sync/DavXml.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <functional>

namespace veltro::sync {

namespace {

constexpr auto kDav = "DAV:";
constexpr auto kCardDav = "urn:ietf:params:xml:ns:carddav";

// Reads one <prop> element: every child becomes a property.
void readProp(QXmlStreamReader& xml, std::map<QString, DavProperty>& into) {
    while (xml.readNextStartElement()) {
        DavProperty property;
        const QString name = xml.name().toString();
        int depth = 1;
        while (depth > 0 && !xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                ++depth;
                if (xml.name() == u"href") {
                    property.hrefs << xml.readElementText().trimmed();
                    --depth;
                } else {
                    property.children << xml.name().toString();
                }
            } else if (xml.isEndElement()) {
                --depth;
            } else if (xml.isCharacters() && depth == 1) {
                property.text += xml.text();
            }
        }
        into[name] = std::move(property);
    }
}

void readPropstat(QXmlStreamReader& xml, DavResponse& response) {
    std::map<QString, DavProperty> found;
    int status = 200;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"prop") {
            readProp(xml, found);
        } else if (xml.name() == u"status") {
            status = statusOfLine(xml.readElementText());
        } else {
            xml.skipCurrentElement();
        }
    }
    if (status >= 200 && status < 300) {
        response.properties.merge(found);
    }
}

bool isDav(const QXmlStreamReader& xml, QStringView name) {
    return xml.name() == name && xml.namespaceUri() == QLatin1String(kDav);
}

DavResponse readResponse(QXmlStreamReader& xml) {
    DavResponse response;
    while (xml.readNextStartElement()) {
        if (isDav(xml, u"href")) {
            response.href = xml.readElementText().trimmed();
        } else if (isDav(xml, u"status")) {
            response.status = statusOfLine(xml.readElementText());
        } else if (isDav(xml, u"propstat")) {
            readPropstat(xml, response);
        } else {
            xml.skipCurrentElement();
        }
    }
    return response;
}

// Nothing but white space and comments may follow the root element.
bool endsCleanly(QXmlStreamReader& xml) {
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() || (xml.isCharacters() && !xml.isWhitespace())) {
            return false;
        }
    }
    return !xml.hasError();
}

}  // namespace

const DavProperty* DavResponse::property(const QString& name) const {
    const auto found = properties.find(name);
    return found == properties.end() ? nullptr : &found->second;
}

int statusOfLine(const QString& line) {
    const QStringList parts = line.trimmed().split(u' ', Qt::SkipEmptyParts);
    return parts.size() >= 2 ? parts[1].toInt() : 0;
}

Multistatus parseMultistatus(const QByteArray& body) {
    Multistatus result;
    QXmlStreamReader xml(body);
    if (!xml.readNextStartElement() || !isDav(xml, u"multistatus")) {
        return result;
    }
    while (xml.readNextStartElement()) {
        if (isDav(xml, u"response")) {
            result.responses.push_back(readResponse(xml));
            if (result.responses.back().href.isEmpty()) {
                return result;
            }
        } else if (isDav(xml, u"sync-token")) {
            result.syncToken = xml.readElementText().trimmed();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError() || !xml.isEndElement()) {
        return result;
    }
    result.valid = endsCleanly(xml);
    return result;
}

namespace {

QByteArray document(const QString& root, const QString& rootNamespace,
                    const std::function<void(QXmlStreamWriter&)>& fill) {
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartDocument();
    xml.writeNamespace(QString::fromLatin1(kDav), QStringLiteral("d"));
    xml.writeNamespace(QString::fromLatin1(kCardDav), QStringLiteral("c"));
    xml.writeStartElement(rootNamespace, root);
    fill(xml);
    xml.writeEndElement();
    xml.writeEndDocument();
    return body;
}

void writeProps(QXmlStreamWriter& xml, const QStringList& davProps, const QStringList& cardProps) {
    xml.writeStartElement(QString::fromLatin1(kDav), QStringLiteral("prop"));
    for (const QString& name : davProps) {
        xml.writeEmptyElement(QString::fromLatin1(kDav), name);
    }
    for (const QString& name : cardProps) {
        xml.writeEmptyElement(QString::fromLatin1(kCardDav), name);
    }
    xml.writeEndElement();
}

}  // namespace

QByteArray propfindBody(const QStringList& davProps, const QStringList& cardProps) {
    return document(QStringLiteral("propfind"), QString::fromLatin1(kDav),
                    [&](QXmlStreamWriter& xml) { writeProps(xml, davProps, cardProps); });
}

QByteArray syncCollectionBody(const QString& token) {
    return document(
        QStringLiteral("sync-collection"), QString::fromLatin1(kDav), [&](QXmlStreamWriter& xml) {
            xml.writeTextElement(QString::fromLatin1(kDav), QStringLiteral("sync-token"), token);
            xml.writeTextElement(QString::fromLatin1(kDav), QStringLiteral("sync-level"),
                                 QStringLiteral("1"));
            writeProps(xml, {QStringLiteral("getetag")}, {});
        });
}

QByteArray multigetBody(const QStringList& hrefs) {
    return document(
        QStringLiteral("addressbook-multiget"), QString::fromLatin1(kCardDav),
        [&](QXmlStreamWriter& xml) {
            writeProps(xml, {QStringLiteral("getetag")}, {QStringLiteral("address-data")});
            for (const QString& href : hrefs) {
                xml.writeTextElement(QString::fromLatin1(kDav), QStringLiteral("href"), href);
            }
        });
}

}  // namespace veltro::sync
