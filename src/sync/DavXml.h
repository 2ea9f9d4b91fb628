#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

namespace veltro::sync {

// One property of a response that the server answered with 200: its text (ETag,
// address data, display name), the hrefs inside it (principal, home set) and the local
// names of the elements inside it (resource types, supported reports).
struct DavProperty {
    QString text;
    QStringList hrefs;
    QStringList children;
};

// One <response> of a multistatus: the resource's href (percent-decoded path as sent),
// the status of the response itself (404 for a member gone, in a sync report; 0 when
// it has none) and the properties found.
struct DavResponse {
    QString href;
    int status = 0;
    std::map<QString, DavProperty> properties;  // by local name: "getetag", "address-data"

    [[nodiscard]] const DavProperty* property(const QString& name) const;
};

struct Multistatus {
    std::vector<DavResponse> responses;
    QString syncToken;
    // False for anything but a whole, well-formed multistatus of DAV: whose every response
    // names its href.
    bool valid = false;
};

[[nodiscard]] Multistatus parseMultistatus(const QByteArray& body);

// Request bodies.
[[nodiscard]] QByteArray propfindBody(const QStringList& davProps, const QStringList& cardProps);
[[nodiscard]] QByteArray syncCollectionBody(const QString& token);
[[nodiscard]] QByteArray multigetBody(const QStringList& hrefs);

// The status code of an HTTP status line ("HTTP/1.1 404 Not Found" gives 404).
[[nodiscard]] int statusOfLine(const QString& line);

}  // namespace veltro::sync
