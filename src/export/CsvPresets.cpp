#include "export/CsvPresets.h"

#include "richtext/StoredText.h"

#include <QStringList>

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

using Kind = store::EntryKind;
using Type = store::EntryType;
using Part = EntrySlot::Part;

// The nth further entry of the kind and type; of any type where none is given.
constexpr PresetColumn entry(std::u16string_view header, Kind kind, std::optional<Type> type,
                             int nth = 0, Part part = Part::Value) {
    return {header, Source::Entry, Field::Nr, {}, 0, {kind, type, nth, part}};
}
constexpr PresetColumn entryType(std::u16string_view header, Kind kind, int nth) {
    return {header, Source::EntryTypeLabel, Field::Nr, {}, 0, {kind, std::nullopt, nth}};
}

// Thunderbird's address book export.
constexpr std::array kThunderbird = {
    field(u"First Name", Field::Vorname),
    field(u"Last Name", Field::Nachname),
    computed(u"Display Name", Source::DisplayName),
    computed(u"Nickname", Source::Nickname),
    field(u"Primary Email", Field::EMailAdresse),
    entry(u"Secondary Email", Kind::EMail, std::nullopt),
    empty(u"Screen Name"),
    computed(u"Work Phone", Source::Phone),
    entry(u"Home Phone", Kind::Telefon, Type::Privat),
    field(u"Fax Number", Field::Fax),
    entry(u"Pager Number", Kind::Telefon, Type::Pager),
    field(u"Mobile Number", Field::Mobiltelefon),
    entry(u"Home Address", Kind::Anschrift, Type::Privat),
    empty(u"Home Address 2"),
    entry(u"Home City", Kind::Anschrift, Type::Privat, 0, Part::Town),
    empty(u"Home State"),
    entry(u"Home ZipCode", Kind::Anschrift, Type::Privat, 0, Part::Postcode),
    entry(u"Home Country", Kind::Anschrift, Type::Privat, 0, Part::Country),
    field(u"Work Address", Field::Strasse),
    empty(u"Work Address 2"),
    field(u"Work City", Field::Ort),
    empty(u"Work State"),
    field(u"Work ZipCode", Field::Postleitzahl),
    empty(u"Work Country"),
    computed(u"Job Title", Source::JobTitle),
    field(u"Department", Field::Abteilung),
    field(u"Organization", Field::Firma),
    field(u"Web Page 1", Field::Webseite),
    entry(u"Web Page 2", Kind::Webseite, std::nullopt),
    computed(u"Birth Year", Source::BirthYear),
    computed(u"Birth Month", Source::BirthMonth),
    computed(u"Birth Day", Source::BirthDay),
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
    computed(u"Job Title", Source::JobTitle),
    field(u"Business Street", Field::Strasse),
    empty(u"Business Street 2"),
    empty(u"Business Street 3"),
    field(u"Business City", Field::Ort),
    empty(u"Business State"),
    field(u"Business Postal Code", Field::Postleitzahl),
    empty(u"Business Country/Region"),
    entry(u"Home Street", Kind::Anschrift, Type::Privat),
    empty(u"Home Street 2"),
    empty(u"Home Street 3"),
    entry(u"Home City", Kind::Anschrift, Type::Privat, 0, Part::Town),
    empty(u"Home State"),
    entry(u"Home Postal Code", Kind::Anschrift, Type::Privat, 0, Part::Postcode),
    entry(u"Home Country/Region", Kind::Anschrift, Type::Privat, 0, Part::Country),
    entry(u"Other Street", Kind::Anschrift, Type::Andere),
    empty(u"Other Street 2"),
    empty(u"Other Street 3"),
    entry(u"Other City", Kind::Anschrift, Type::Andere, 0, Part::Town),
    empty(u"Other State"),
    entry(u"Other Postal Code", Kind::Anschrift, Type::Andere, 0, Part::Postcode),
    entry(u"Other Country/Region", Kind::Anschrift, Type::Andere, 0, Part::Country),
    empty(u"Assistant's Phone"),
    field(u"Business Fax", Field::Fax),
    computed(u"Business Phone", Source::Phone),
    entry(u"Business Phone 2", Kind::Telefon, Type::Geschaeftlich),
    empty(u"Callback"),
    empty(u"Car Phone"),
    empty(u"Company Main Phone"),
    entry(u"Home Fax", Kind::Telefon, Type::Fax),
    entry(u"Home Phone", Kind::Telefon, Type::Privat),
    entry(u"Home Phone 2", Kind::Telefon, Type::Privat, 1),
    empty(u"ISDN"),
    field(u"Mobile Phone", Field::Mobiltelefon),
    empty(u"Other Fax"),
    entry(u"Other Phone", Kind::Telefon, Type::Andere),
    entry(u"Pager", Kind::Telefon, Type::Pager),
    empty(u"Primary Phone"),
    empty(u"Radio Phone"),
    empty(u"TTY/TDD Phone"),
    empty(u"Telex"),
    empty(u"Account"),
    computed(u"Anniversary", Source::AnniversaryUs),
    empty(u"Assistant's Name"),
    empty(u"Billing Information"),
    computed(u"Birthday", Source::BirthdayUs),
    empty(u"Business Address PO Box"),
    field(u"Categories", Field::Kategorien),
    empty(u"Children"),
    empty(u"Directory Server"),
    field(u"E-mail Address", Field::EMailAdresse),
    label(u"E-mail Type", u"SMTP", -1),
    empty(u"E-mail Display Name"),
    entry(u"E-mail 2 Address", Kind::EMail, std::nullopt),
    label(u"E-mail 2 Type", u"SMTP", -1),
    empty(u"E-mail 2 Display Name"),
    entry(u"E-mail 3 Address", Kind::EMail, std::nullopt, 1),
    label(u"E-mail 3 Type", u"SMTP", -1),
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
    computed(u"Nickname", Source::Nickname),
    empty(u"Short Name"),
    empty(u"Maiden Name"),
    computed(u"Birthday", Source::BirthdayIso),
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
    computed(u"Organization 1 - Title", Source::JobTitle),
    field(u"Organization 1 - Department", Field::Abteilung),
    empty(u"Organization 1 - Symbol"),
    empty(u"Organization 1 - Location"),
    empty(u"Organization 1 - Job Description"),
    label(u"Website 1 - Type", u"Work", 1),
    field(u"Website 1 - Value", Field::Webseite),
    entryType(u"E-mail 2 - Type", Kind::EMail, 0),
    entry(u"E-mail 2 - Value", Kind::EMail, std::nullopt),
    entryType(u"E-mail 3 - Type", Kind::EMail, 1),
    entry(u"E-mail 3 - Value", Kind::EMail, std::nullopt, 1),
    entryType(u"Phone 4 - Type", Kind::Telefon, 0),
    entry(u"Phone 4 - Value", Kind::Telefon, std::nullopt),
    entryType(u"Phone 5 - Type", Kind::Telefon, 1),
    entry(u"Phone 5 - Value", Kind::Telefon, std::nullopt, 1),
    entryType(u"Address 2 - Type", Kind::Anschrift, 0),
    entry(u"Address 2 - Formatted", Kind::Anschrift, std::nullopt, 0, Part::Lines),
    entry(u"Address 2 - Street", Kind::Anschrift, std::nullopt),
    entry(u"Address 2 - City", Kind::Anschrift, std::nullopt, 0, Part::Town),
    entry(u"Address 2 - Postal Code", Kind::Anschrift, std::nullopt, 0, Part::Postcode),
    entry(u"Address 2 - Country", Kind::Anschrift, std::nullopt, 0, Part::Country),
    entryType(u"Website 2 - Type", Kind::Webseite, 0),
    entry(u"Website 2 - Value", Kind::Webseite, std::nullopt),
};

QString trimmedField(const store::Card& card, Field f) {
    return card.text(f).trimmed();
}

QString joined(const QString& a, const QString& b) {
    return a.isEmpty() ? b : b.isEmpty() ? a : a + u' ' + b;
}

QString usDate(const std::optional<store::PartialDate>& date) {
    if (!date || date->year == 0) {
        return {};
    }
    return QStringLiteral("%1/%2/%3").arg(date->month).arg(date->day).arg(date->year);
}

QString number(int value) {
    return value == 0 ? QString() : QString::number(value);
}

const store::Entry* entryIn(const store::CardExtras& extras, const EntrySlot& slot) {
    int seen = 0;
    for (const store::Entry& entry : extras.entries) {
        if (entry.kind == slot.kind && (!slot.type || entry.type == *slot.type) &&
            seen++ == slot.nth) {
            return &entry;
        }
    }
    return nullptr;
}

QString partOf(const store::Entry& entry, Part part) {
    switch (part) {
        case Part::Value:
            return entry.value.trimmed();
        case Part::Postcode:
            return entry.postcode.trimmed();
        case Part::Town:
            return entry.town.trimmed();
        case Part::Country:
            return entry.country.trimmed();
        case Part::Lines: {
            QStringList lines = {entry.value.trimmed(),
                                 joined(entry.postcode.trimmed(), entry.town.trimmed()),
                                 entry.country.trimmed()};
            lines.removeAll(QString());
            return lines.join(QStringLiteral("\r\n"));
        }
    }
    return {};
}

// The type as Google Contacts names it.
QString englishType(const store::Entry& entry) {
    switch (entry.type) {
        case Type::Privat:
            return QStringLiteral("Home");
        case Type::Geschaeftlich:
            return QStringLiteral("Work");
        case Type::Mobil:
            return QStringLiteral("Mobile");
        case Type::Fax:
            return QStringLiteral("Home Fax");
        case Type::Pager:
            return QStringLiteral("Pager");
        case Type::Andere:
            break;
    }
    return QStringLiteral("Other");
}

QString extrasValueOf(const PresetColumn& column, const store::CardExtras& extras) {
    const auto& birthday = extras.birthday;
    switch (column.source) {
        case Source::Nickname:
            return extras.nickname.trimmed();
        case Source::JobTitle:
            return extras.title.trimmed();
        case Source::BirthdayIso:
            return birthday ? birthday->text() : QString();
        case Source::BirthdayUs:
            return usDate(birthday);
        case Source::AnniversaryUs:
            return usDate(extras.anniversary);
        case Source::BirthYear:
            return birthday ? number(birthday->year) : QString();
        case Source::BirthMonth:
            return birthday ? number(birthday->month) : QString();
        case Source::BirthDay:
            return birthday ? number(birthday->day) : QString();
        case Source::Entry:
        case Source::EntryTypeLabel: {
            const store::Entry* entry = entryIn(extras, column.slot);
            return entry == nullptr                          ? QString()
                   : column.source == Source::EntryTypeLabel ? englishType(*entry)
                                                             : partOf(*entry, column.slot.part);
        }
        default:
            break;
    }
    return {};
}

QString valueOf(const PresetColumn& column, const store::Card& card,
                const store::CardExtras& extras) {
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
        default:
            return extrasValueOf(column, extras);
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

std::vector<QString> presetRow(std::span<const PresetColumn> columns, const store::Card& card,
                               const store::CardExtras& extras) {
    std::vector<QString> row;
    row.reserve(columns.size());
    for (const PresetColumn& column : columns) {
        row.push_back(valueOf(column, card, extras));
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
