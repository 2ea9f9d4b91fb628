#include "import/PresetMapping.h"

#include "import/PresetExtras.h"

#include <array>
#include <initializer_list>
#include <string_view>

namespace veltro::import {

namespace {

struct Synonyms {
    std::u16string_view target;
    std::initializer_list<std::u16string_view> headers;  // in order of preference
};

const std::array<Synonyms, 15> kSynonyms = {{
    {u"Karte",
     {u"Display Name", u"Name", u"File As", u"Full Name", u"Last Name", u"Family Name", u"Company",
      u"Organization", u"Organization 1 - Name", u"Organization Name"}},
    {u"Anrede", {u"Title", u"Name Prefix"}},
    {u"Vorname", {u"First Name", u"Given Name"}},
    {u"Nachname", {u"Last Name", u"Family Name"}},
    {u"Firma", {u"Company", u"Organization", u"Organization 1 - Name", u"Organization Name"}},
    {u"Abteilung", {u"Department", u"Organization 1 - Department", u"Organization Department"}},
    {u"Straße", {u"Business Street", u"Work Address", u"Home Street", u"Home Address"}},
    {u"PLZ", {u"Business Postal Code", u"Work ZipCode", u"Home Postal Code", u"Home ZipCode"}},
    {u"Ort", {u"Business City", u"Work City", u"Home City"}},
    {u"Telefon", {u"Business Phone", u"Work Phone", u"Primary Phone", u"Home Phone"}},
    {u"Telefax", {u"Business Fax", u"Fax Number", u"Home Fax"}},
    {u"Mobiltelefon", {u"Mobile Phone", u"Mobile Number"}},
    {u"E-Mail-Adresse", {u"E-mail Address", u"Primary Email"}},
    {u"Webseite", {u"Web Page", u"Web Page 1"}},
    {u"Notizen", {u"Notes"}},
}};

std::optional<int> columnOf(const QStringList& headers, std::u16string_view header) {
    const QStringView wanted(header.data(), static_cast<qsizetype>(header.size()));
    for (qsizetype i = 0; i < headers.size(); ++i) {
        if (headers[i].trimmed().compare(wanted, Qt::CaseInsensitive) == 0) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

bool has(const QStringList& headers, std::u16string_view header) {
    return columnOf(headers, header).has_value();
}

QString programOf(const QStringList& headers) {
    if (has(headers, u"Primary Email") && has(headers, u"Display Name")) {
        return QStringLiteral("Thunderbird");
    }
    if (has(headers, u"Business Street") || has(headers, u"E-mail Address")) {
        return QStringLiteral("Outlook");
    }
    if (has(headers, u"Given Name") || has(headers, u"E-mail 1 - Value")) {
        return QStringLiteral("Google");
    }
    return {};
}

}  // namespace

std::optional<PresetMatch> presetMapping(const QStringList& headers, const QString& category) {
    PresetMatch match{programOf(headers), FieldMapping(category)};
    for (const Synonyms& synonyms : kSynonyms) {
        const auto target = targetByName(
            QStringView(synonyms.target.data(), static_cast<qsizetype>(synonyms.target.size())));
        for (const std::u16string_view header : synonyms.headers) {
            if (const auto column = columnOf(headers, header); column && target) {
                match.mapping.assign(*target, *column, headers[*column]);
                break;
            }
        }
    }
    match.mapping.setExtras(PresetExtras::of(headers));
    // Google's numbered columns fill the card's numbers and addresses by the type of each row.
    const auto assigned = [&](const char16_t* name) {
        const auto target = targetByName(QStringView(name));
        const PresetExtras* extras = match.mapping.extras();
        return target && (match.mapping.isAssigned(*target) ||
                          (extras != nullptr && extras->fillsTarget(*target)));
    };
    const bool names = assigned(u"Vorname") || assigned(u"Nachname");
    const bool contact = assigned(u"E-Mail-Adresse") || assigned(u"Telefon") || assigned(u"Straße");
    if (match.program.isEmpty() || !match.mapping.hasHeading() || !names || !contact) {
        return std::nullopt;
    }
    return match;
}

}  // namespace veltro::import
