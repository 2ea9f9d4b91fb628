#include "export/CsvPresets.h"

#include "richtext/StoredText.h"

#include <array>

namespace veltro::exporting {

namespace {

using store::Field;
using Source = PresetSource;

constexpr PresetColumn empty(std::u16string_view header) {
    return {header};
}
constexpr PresetColumn field(std::u16string_view header, Field f) {
    return {header, Source::Field, f};
}
constexpr PresetColumn computed(std::u16string_view header, Source source) {
    return {header, source};
}
constexpr PresetColumn label(std::u16string_view header, std::u16string_view text, int partner) {
    return {header, Source::Label, Field::Nr, text, partner};
}

// Thunderbird's address book export.
constexpr std::array kThunderbird = {
    field(u"First Name", Field::Vorname),
    field(u"Last Name", Field::Nachname),
    computed(u"Display Name", Source::DisplayName),
    empty(u"Nickname"),
    field(u"Primary Email", Field::EMailAdresse),
    empty(u"Secondary Email"),
    empty(u"Screen Name"),
    computed(u"Work Phone", Source::Phone),
    empty(u"Home Phone"),
    field(u"Fax Number", Field::Fax),
    empty(u"Pager Number"),
    field(u"Mobile Number", Field::Mobiltelefon),
    empty(u"Home Address"),
    empty(u"Home Address 2"),
    empty(u"Home City"),
    empty(u"Home State"),
    empty(u"Home ZipCode"),
    empty(u"Home Country"),
    field(u"Work Address", Field::Strasse),
    empty(u"Work Address 2"),
    field(u"Work City", Field::Ort),
    empty(u"Work State"),
    field(u"Work ZipCode", Field::Postleitzahl),
    empty(u"Work Country"),
    empty(u"Job Title"),
    field(u"Department", Field::Abteilung),
    field(u"Organization", Field::Firma),
    field(u"Web Page 1", Field::Webseite),
    empty(u"Web Page 2"),
    empty(u"Birth Year"),
    empty(u"Birth Month"),
    empty(u"Birth Day"),
    empty(u"Custom 1"),
    empty(u"Custom 2"),
    empty(u"Custom 3"),
    empty(u"Custom 4"),
    computed(u"Notes", Source::Notes),
};

// Outlook's "Comma Separated Values" export.
constexpr std::array kOutlook = {
    field(u"Title", Field::Anrede),
    field(u"First Name", Field::Vorname),
    empty(u"Middle Name"),
    field(u"Last Name", Field::Nachname),
    empty(u"Suffix"),
    field(u"Company", Field::Firma),
    field(u"Department", Field::Abteilung),
    empty(u"Job Title"),
    field(u"Business Street", Field::Strasse),
    empty(u"Business Street 2"),
    empty(u"Business Street 3"),
    field(u"Business City", Field::Ort),
    empty(u"Business State"),
    field(u"Business Postal Code", Field::Postleitzahl),
    empty(u"Business Country/Region"),
    empty(u"Home Street"),
    empty(u"Home Street 2"),
    empty(u"Home Street 3"),
    empty(u"Home City"),
    empty(u"Home State"),
    empty(u"Home Postal Code"),
    empty(u"Home Country/Region"),
    empty(u"Other Street"),
    empty(u"Other Street 2"),
    empty(u"Other Street 3"),
    empty(u"Other City"),
    empty(u"Other State"),
    empty(u"Other Postal Code"),
    empty(u"Other Country/Region"),
    empty(u"Assistant's Phone"),
    field(u"Business Fax", Field::Fax),
    computed(u"Business Phone", Source::Phone),
    empty(u"Business Phone 2"),
    empty(u"Callback"),
    empty(u"Car Phone"),
    empty(u"Company Main Phone"),
    empty(u"Home Fax"),
    empty(u"Home Phone"),
    empty(u"Home Phone 2"),
    empty(u"ISDN"),
    field(u"Mobile Phone", Field::Mobiltelefon),
    empty(u"Other Fax"),
    empty(u"Other Phone"),
    empty(u"Pager"),
    empty(u"Primary Phone"),
    empty(u"Radio Phone"),
    empty(u"TTY/TDD Phone"),
    empty(u"Telex"),
    empty(u"Account"),
    empty(u"Anniversary"),
    empty(u"Assistant's Name"),
    empty(u"Billing Information"),
    empty(u"Birthday"),
    empty(u"Business Address PO Box"),
    field(u"Categories", Field::Kategorien),
    empty(u"Children"),
    empty(u"Directory Server"),
    field(u"E-mail Address", Field::EMailAdresse),
    label(u"E-mail Type", u"SMTP", -1),
    empty(u"E-mail Display Name"),
    empty(u"E-mail 2 Address"),
    empty(u"E-mail 2 Type"),
    empty(u"E-mail 2 Display Name"),
    empty(u"E-mail 3 Address"),
    empty(u"E-mail 3 Type"),
    empty(u"E-mail 3 Display Name"),
    empty(u"Gender"),
    empty(u"Government ID Number"),
    empty(u"Hobby"),
    empty(u"Home Address PO Box"),
    empty(u"Initials"),
    empty(u"Internet Free Busy"),
    empty(u"Keywords"),
    empty(u"Language"),
    empty(u"Location"),
    empty(u"Manager's Name"),
    empty(u"Mileage"),
    computed(u"Notes", Source::Notes),
    empty(u"Office Location"),
    empty(u"Organizational ID Number"),
    empty(u"Other Address PO Box"),
    empty(u"Priority"),
    empty(u"Private"),
    empty(u"Profession"),
    empty(u"Referred By"),
    empty(u"Sensitivity"),
    empty(u"Spouse"),
    empty(u"User 1"),
    empty(u"User 2"),
    empty(u"User 3"),
    empty(u"User 4"),
    field(u"Web Page", Field::Webseite),
};

// Google Contacts' "Google CSV".
constexpr std::array kGoogle = {
    computed(u"Name", Source::DisplayName),
    field(u"Given Name", Field::Vorname),
    empty(u"Additional Name"),
    field(u"Family Name", Field::Nachname),
    empty(u"Yomi Name"),
    empty(u"Given Name Yomi"),
    empty(u"Additional Name Yomi"),
    empty(u"Family Name Yomi"),
    field(u"Name Prefix", Field::Anrede),
    empty(u"Name Suffix"),
    empty(u"Initials"),
    empty(u"Nickname"),
    empty(u"Short Name"),
    empty(u"Maiden Name"),
    empty(u"Birthday"),
    empty(u"Gender"),
    empty(u"Location"),
    empty(u"Billing Information"),
    empty(u"Directory Server"),
    empty(u"Mileage"),
    empty(u"Occupation"),
    empty(u"Hobby"),
    empty(u"Sensitivity"),
    empty(u"Priority"),
    empty(u"Subject"),
    computed(u"Notes", Source::Notes),
    empty(u"Language"),
    empty(u"Photo"),
    field(u"Group Membership", Field::Kategorien),
    label(u"E-mail 1 - Type", u"Work", 1),
    field(u"E-mail 1 - Value", Field::EMailAdresse),
    label(u"Phone 1 - Type", u"Work", 1),
    computed(u"Phone 1 - Value", Source::Phone),
    label(u"Phone 2 - Type", u"Mobile", 1),
    field(u"Phone 2 - Value", Field::Mobiltelefon),
    label(u"Phone 3 - Type", u"Work Fax", 1),
    field(u"Phone 3 - Value", Field::Fax),
    label(u"Address 1 - Type", u"Work", 1),
    computed(u"Address 1 - Formatted", Source::PostalLines),
    field(u"Address 1 - Street", Field::Strasse),
    field(u"Address 1 - City", Field::Ort),
    empty(u"Address 1 - PO Box"),
    empty(u"Address 1 - Region"),
    field(u"Address 1 - Postal Code", Field::Postleitzahl),
    empty(u"Address 1 - Country"),
    empty(u"Address 1 - Extended Address"),
    empty(u"Organization 1 - Type"),
    field(u"Organization 1 - Name", Field::Firma),
    empty(u"Organization 1 - Yomi Name"),
    empty(u"Organization 1 - Title"),
    field(u"Organization 1 - Department", Field::Abteilung),
    empty(u"Organization 1 - Symbol"),
    empty(u"Organization 1 - Location"),
    empty(u"Organization 1 - Job Description"),
    label(u"Website 1 - Type", u"Work", 1),
    field(u"Website 1 - Value", Field::Webseite),
};

QString trimmedField(const store::Card& card, Field f) {
    return card.text(f).trimmed();
}

QString joined(const QString& a, const QString& b) {
    return a.isEmpty() ? b : b.isEmpty() ? a : a + u' ' + b;
}

QString valueOf(const PresetColumn& column, const store::Card& card) {
    switch (column.source) {
        case Source::Field:
            return trimmedField(card, column.field);
        case Source::DisplayName: {
            const QString name =
                joined(trimmedField(card, Field::Vorname), trimmedField(card, Field::Nachname));
            const QString company = trimmedField(card, Field::Firma);
            return !name.isEmpty()      ? name
                   : !company.isEmpty() ? company
                                        : card.text(Field::Schlagworte);
        }
        case Source::Phone:
            return joined(trimmedField(card, Field::Vorwahl), trimmedField(card, Field::Telefon));
        case Source::Notes: {
            const QString stored = card.text(Field::Notizen);
            return stored.isEmpty()
                       ? stored
                       : richtext::plainTextFromStored(stored, richtext::LineBreak::CrLf);
        }
        case Source::PostalLines: {
            const QString street = trimmedField(card, Field::Strasse);
            const QString place =
                joined(trimmedField(card, Field::Postleitzahl), trimmedField(card, Field::Ort));
            return street.isEmpty() || place.isEmpty() ? street + place
                                                       : street + QStringLiteral("\r\n") + place;
        }
        case Source::Empty:
        case Source::Label:
            break;
    }
    return {};
}

}  // namespace

std::span<const PresetColumn> presetColumns(CsvPreset preset) {
    switch (preset) {
        case CsvPreset::Thunderbird:
            return kThunderbird;
        case CsvPreset::Outlook:
            return kOutlook;
        case CsvPreset::Google:
            return kGoogle;
        case CsvPreset::None:
            break;
    }
    return {};
}

std::vector<QString> presetRow(std::span<const PresetColumn> columns, const store::Card& card) {
    std::vector<QString> row;
    row.reserve(columns.size());
    for (const PresetColumn& column : columns) {
        row.push_back(valueOf(column, card));
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].source != Source::Label) {
            continue;
        }
        const auto partner = static_cast<std::ptrdiff_t>(i) + columns[i].partner;
        if (partner >= 0 && partner < static_cast<std::ptrdiff_t>(row.size()) &&
            !row[static_cast<std::size_t>(partner)].isEmpty()) {
            row[i] = QString::fromUtf16(columns[i].label.data(),
                                        static_cast<qsizetype>(columns[i].label.size()));
        }
    }
    return row;
}

}  // namespace veltro::exporting
