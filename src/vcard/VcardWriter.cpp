#include "vcard/VcardWriter.h"

#include "maintenance/AddressComposition.h"
#include "richtext/StoredText.h"
#include "vcard/VcardMapping.h"
#include "vcard/VcardText.h"

#include <QStringEncoder>
#include <QUuid>

#include <array>
#include <cstdio>
#include <initializer_list>

namespace veltro::vcard {

namespace {

using store::Field;

constexpr qsizetype kLineOctets = 75;

void appendUtf8(QByteArray& out, QStringView text) {
    thread_local QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    const qsizetype start = out.size();
    out.resize(start + utf8.requiredSpace(text.size()));
    char* const end = utf8.appendToBuffer(out.data() + start, text);
    out.resize(end - out.constData());
}

// Folds the content line that starts at `start` and runs to the end of `out`: every
// physical line holds at most 75 octets, a continuation starts with a blank, and no UTF-8
// sequence is cut. Most lines are short and stay where they were written.
void foldFrom(QByteArray& out, qsizetype start) {
    if (out.size() - start <= kLineOctets) {
        return;
    }
    thread_local QByteArray line;
    line.resize(0);
    line.append(QByteArrayView(out).sliced(start));
    out.truncate(start);
    qsizetype pos = 0;
    qsizetype room = kLineOctets;
    while (line.size() - pos > room) {
        qsizetype cut = pos + room;
        while (cut > pos && (static_cast<unsigned char>(line[cut]) & 0xC0U) == 0x80U) {
            --cut;
        }
        out.append(line.constData() + pos, cut - pos);
        out.append("\r\n ");
        pos = cut;
        room = kLineOctets - 1;
    }
    out.append(line.constData() + pos, line.size() - pos);
}

// The property names with TYPE parameters, spelled per version: upper case in 3.0 as
// most programs write them, lower case in 4.0.
QByteArray typedName(Version version, const char* name, const char* types) {
    const QByteArray list(types);
    if (list.isEmpty()) {
        return name;
    }
    return QByteArray(name) + ";TYPE=" + (version == Version::V3 ? list.toUpper() : list);
}

struct TypedNames {
    QByteArray adrWorkPref, adrHomePref, voiceWork, voiceHome, faxWork, faxHome, cell, email;

    explicit TypedNames(Version version) {
        const bool v3 = version == Version::V3;
        const auto typed = [version](const char* name, const char* types) {
            return typedName(version, name, types);
        };
        adrWorkPref = v3 ? typed("ADR", "work,pref") : typed("ADR", "work") + ";PREF=1";
        adrHomePref = v3 ? typed("ADR", "home,pref") : typed("ADR", "home") + ";PREF=1";
        voiceWork = typed("TEL", "work,voice");
        voiceHome = typed("TEL", "home,voice");
        faxWork = typed("TEL", "work,fax");
        faxHome = typed("TEL", "home,fax");
        cell = typed("TEL", "cell");
        email = v3 ? typed("EMAIL", "internet") : QByteArray("EMAIL");
    }
};

const TypedNames& typedNames(Version version) {
    static const TypedNames v3(Version::V3);
    static const TypedNames v4(Version::V4);
    return version == Version::V3 ? v3 : v4;
}

class CardWriter {
public:
    CardWriter(QByteArray& out, Version version)
        : out_(out), version_(version), names_(typedNames(version)) {}

    // The value is written as given; callers escape it. Names are ASCII.
    void line(QByteArrayView name, QStringView value) {
        const qsizetype start = out_.size();
        out_.append(name).append(':');
        appendUtf8(out_, value);
        foldFrom(out_, start);
        out_.append("\r\n");
    }
    void text(QByteArrayView name, const QString& value) {
        if (!value.isEmpty()) {
            line(name, escapeText(value));
        }
    }
    void structured(QByteArrayView name, std::initializer_list<QStringView> components) {
        thread_local QString value;
        value.resize(0);
        bool first = true;
        for (const QStringView component : components) {
            if (!first) {
                value += u';';
            }
            first = false;
            appendEscaped(value, component);
        }
        line(name, value);
    }
    [[nodiscard]] const TypedNames& names() const { return names_; }
    [[nodiscard]] Version version() const { return version_; }

private:
    QByteArray& out_;
    Version version_;
    const TypedNames& names_;
};

// The card's fields trimmed once; the heading stays as it is.
class TrimmedFields {
public:
    explicit TrimmedFields(const store::Card& card) : card_(card) {
        for (std::size_t i = 0; i < store::kFieldCount; ++i) {
            if (const auto& value = card.values[i]) {
                fields_[i] = value->trimmed();
            }
        }
    }
    const QString& operator[](Field field) const { return fields_[store::index(field)]; }
    [[nodiscard]] const QString& heading() const {
        return card_.value(Field::Schlagworte) ? *card_.value(Field::Schlagworte) : empty_;
    }
    [[nodiscard]] const store::Card& card() const { return card_; }

private:
    const store::Card& card_;
    std::array<QString, store::kFieldCount> fields_;
    QString empty_;
};

QString formattedName(const TrimmedFields& fields) {
    const QString& first = fields[Field::Vorname];
    const QString& last = fields[Field::Nachname];
    if (!first.isEmpty() || !last.isEmpty()) {
        return first.isEmpty() ? last : last.isEmpty() ? first : first + u' ' + last;
    }
    const QString& company = fields[Field::Firma];
    return company.isEmpty() ? fields.heading() : company;
}

QString phoneValue(const TrimmedFields& fields) {
    const QString& areaCode = fields[Field::Vorwahl];
    const QString& number = fields[Field::Telefon];
    return areaCode.isEmpty() ? number : number.isEmpty() ? areaCode : areaCode + u' ' + number;
}

QString plainBlock(const store::Card& card, Field field) {
    const QString stored = card.text(field);
    return stored.isEmpty() ? stored
                            : richtext::plainTextFromStored(stored, richtext::LineBreak::Lf);
}

QString composedAddress(const TrimmedFields& fields) {
    return maintenance::composeAddress({fields[Field::Anrede], fields[Field::Vorname],
                                        fields[Field::Nachname], fields[Field::Firma],
                                        fields[Field::Abteilung], fields[Field::Strasse],
                                        fields[Field::Postleitzahl], fields[Field::Ort]});
}

void writeNames(CardWriter& writer, const TrimmedFields& fields, const QString& formatted) {
    writer.structured("N", {fields[Field::Nachname], fields[Field::Vorname], QStringView(),
                            fields[Field::Anrede], QStringView()});
    writer.line("FN", escapeText(formatted));
    const QString& company = fields[Field::Firma];
    const QString& department = fields[Field::Abteilung];
    if (!department.isEmpty()) {
        writer.structured("ORG", {company, department});
    } else {
        writer.text("ORG", company);
    }
}

void writeAddressAndNumbers(CardWriter& writer, const TrimmedFields& fields, bool business) {
    const TypedNames& names = writer.names();
    const QString& street = fields[Field::Strasse];
    const QString& postcode = fields[Field::Postleitzahl];
    const QString& town = fields[Field::Ort];
    if (!street.isEmpty() || !postcode.isEmpty() || !town.isEmpty()) {
        // Preferred, so that it stays the card's own beside further addresses of any type.
        writer.structured(
            business ? names.adrWorkPref : names.adrHomePref,
            {QStringView(), QStringView(), street, town, QStringView(), postcode, QStringView()});
    }
    writer.text(business ? names.voiceWork : names.voiceHome, phoneValue(fields));
    writer.text(business ? names.faxWork : names.faxHome, fields[Field::Fax]);
    writer.text(names.cell, fields[Field::Mobiltelefon]);
    writer.text(names.email, fields[Field::EMailAdresse]);
    writer.text("URL", fields[Field::Webseite]);
}

// What the standard properties written before say of name, firm and address, read back as
// the reader reads them.
QString writtenBasis(const TrimmedFields& fields, const QString& formatted) {
    const QString& street = fields[Field::Strasse];
    const QString& postcode = fields[Field::Postleitzahl];
    const QString& town = fields[Field::Ort];
    const bool address = !street.isEmpty() || !postcode.isEmpty() || !town.isEmpty();
    QStringList org = {fields[Field::Firma]};
    if (!fields[Field::Abteilung].isEmpty()) {
        org << fields[Field::Abteilung];
    }
    return standardBasis(
        {fields[Field::Nachname], fields[Field::Vorname], QString(), fields[Field::Anrede]}, org,
        address ? QStringList{QString(), QString(), street, town, QString(), postcode}
                : QStringList(),
        formatted);
}

// X-VELTRO properties for what reading the standard ones back would not give exactly. The
// heading and the address block come with a digest of the standard properties they refine,
// so that a reader sees when another program changed those since.
void writeOwnProperties(CardWriter& writer, const TrimmedFields& fields, const QString& formatted) {
    const QString& heading = fields.heading();
    bool refinesStandard = false;
    if (headingFromNames(fields[Field::Nachname], fields[Field::Vorname], singleLine(formatted),
                         fields[Field::Firma]) != heading) {
        writer.line("X-VELTRO-KARTE", escapeText(heading));
        refinesStandard = true;
    }
    writer.text("X-VELTRO-NR", fields[Field::Nr]);
    const QString& salutation = fields[Field::Anrede];
    if (salutationFromPrefix(salutation) != salutation) {
        writer.line("X-VELTRO-ANREDE", escapeText(salutation));
    }
    const PhoneParts parts = splitAreaCode(phoneValue(fields));
    if (parts.areaCode != fields[Field::Vorwahl] || parts.number != fields[Field::Telefon]) {
        writer.line("X-VELTRO-VORWAHL", escapeText(fields[Field::Vorwahl]));
        writer.line("X-VELTRO-TELEFON", escapeText(fields[Field::Telefon]));
    }
    const QString address = plainBlock(fields.card(), Field::Anschrift);
    if (address != composedAddress(fields)) {
        writer.line("X-VELTRO-ANSCHRIFT", escapeText(address));
        refinesStandard = true;
    }
    if (refinesStandard) {
        writer.line("X-VELTRO-BASIS", writtenBasis(fields, formatted));
    }
}

const char* phoneTypes(store::EntryType type) {
    switch (type) {
        case store::EntryType::Privat:
            return "home,voice";
        case store::EntryType::Geschaeftlich:
            return "work,voice";
        case store::EntryType::Mobil:
            return "cell";
        case store::EntryType::Fax:
            return "fax";
        case store::EntryType::Pager:
            return "pager";
        case store::EntryType::Andere:
            break;
    }
    return "voice";
}

const char* placeTypes(store::EntryType type) {
    return type == store::EntryType::Privat          ? "home"
           : type == store::EntryType::Geschaeftlich ? "work"
                                                     : "";
}

void writeEntry(CardWriter& writer, const store::Entry& entry) {
    const Version version = writer.version();
    const QString value = entry.value.trimmed();
    switch (entry.kind) {
        case store::EntryKind::Telefon:
            writer.text(typedName(version, "TEL", phoneTypes(entry.type)), value);
            break;
        case store::EntryKind::EMail: {
            QByteArray types = placeTypes(entry.type);
            if (version == Version::V3) {
                types = types.isEmpty() ? "internet" : "internet," + types;
            }
            writer.text(typedName(version, "EMAIL", types.constData()), value);
            break;
        }
        case store::EntryKind::Anschrift:
            writer.structured(typedName(version, "ADR", placeTypes(entry.type)),
                              {QStringView(), QStringView(), value, entry.town.trimmed(),
                               QStringView(), entry.postcode.trimmed(), entry.country.trimmed()});
            break;
        case store::EntryKind::Webseite:
            writer.text(typedName(version, "URL", placeTypes(entry.type)), value);
            break;
    }
}

// 1980-02-29 or --02-29 in 3.0; 19800229 or --0229 in 4.0.
QString dateValue(const store::PartialDate& date, Version version) {
    QString text = date.text();
    if (version == Version::V4) {
        text = text.startsWith(u"--") ? QStringLiteral("--") + text.mid(2).remove(u'-')
                                      : text.remove(u'-');
    }
    return text;
}

void writePhoto(CardWriter& writer, const store::Photo& photo) {
    const QString base64 = QString::fromLatin1(photo.bytes.toBase64());
    const QString type =
        photo.mediaType.isEmpty() ? store::pictureType(photo.bytes) : photo.mediaType;
    if (writer.version() == Version::V4) {
        writer.line("PHOTO", QStringLiteral("data:%1;base64,%2").arg(type, base64));
        return;
    }
    const QString subtype = type.mid(type.indexOf(u'/') + 1).toUpper();
    const QByteArray name = subtype.isEmpty() ? QByteArray("PHOTO;ENCODING=b")
                                              : "PHOTO;ENCODING=b;TYPE=" + subtype.toLatin1();
    writer.line(name, base64);
}

void writeExtras(CardWriter& writer, const store::CardExtras& extras) {
    for (const store::Entry& entry : extras.entries) {
        if (!entry.isBlank()) {
            writeEntry(writer, entry);
        }
    }
    const Version version = writer.version();
    if (extras.birthday) {
        writer.line("BDAY", dateValue(*extras.birthday, version));
    }
    if (extras.anniversary) {
        writer.line(version == Version::V4 ? "ANNIVERSARY" : "X-ANNIVERSARY",
                    dateValue(*extras.anniversary, version));
    }
    writer.text("NICKNAME", extras.nickname.trimmed());
    writer.text("TITLE", extras.title.trimmed());
    writer.text("ROLE", extras.role.trimmed());
    if (extras.photo && !extras.photo->bytes.isEmpty()) {
        writePhoto(writer, *extras.photo);
    }
}

QString uidValue(const QString& uid, Version version) {
    if (version != Version::V4 || uid.contains(u':') || QUuid::fromString(uid).isNull()) {
        return uid;
    }
    return QStringLiteral("urn:uuid:") + uid;
}

// 20240305T143000Z
QString revText(const QDateTime& rev) {
    const QDateTime utc = rev.toUTC();
    const QDate date = utc.date();
    const QTime time = utc.time();
    std::array<char, 48> text{};
    std::snprintf(text.data(), text.size(), "%04d%02d%02dT%02d%02d%02dZ", date.year(), date.month(),
                  date.day(), time.hour(), time.minute(), time.second());
    return QString::fromLatin1(text.data());
}

}  // namespace

void appendVcard(QByteArray& out, const ExportCard& exported, Version version) {
    const TrimmedFields fields(exported.card);
    CardWriter writer(out, version);
    out.append("BEGIN:VCARD\r\n");
    out.append(version == Version::V3 ? "VERSION:3.0\r\n" : "VERSION:4.0\r\n");
    const QString formatted = formattedName(fields);
    writeNames(writer, fields, formatted);
    const bool business = !fields[Field::Firma].isEmpty() || !fields[Field::Abteilung].isEmpty();
    writeAddressAndNumbers(writer, fields, business);
    writeExtras(writer, exported.extras);
    writer.text("NOTE", plainBlock(exported.card, Field::Notizen));
    writer.text("CATEGORIES", fields[Field::Kategorien]);
    writeOwnProperties(writer, fields, formatted);
    writer.text("UID", uidValue(exported.uid, version));
    if (exported.rev.isValid()) {
        writer.line("REV", revText(exported.rev));
    }
    out.append("END:VCARD\r\n");
}

QByteArray cardToVcard(const store::Card& card, const QString& uid, const QDateTime& rev,
                       Version version, const store::CardExtras& extras) {
    QByteArray out;
    appendVcard(out, {card, uid, rev, extras}, version);
    return out;
}

QByteArray writeCards(std::span<const ExportCard> cards, Version version) {
    QByteArray out;
    for (const ExportCard& card : cards) {
        appendVcard(out, card, version);
    }
    return out;
}

std::optional<Version> versionFromText(QStringView text) {
    if (text == u"3.0") {
        return Version::V3;
    }
    if (text == u"4.0") {
        return Version::V4;
    }
    return std::nullopt;
}

}  // namespace veltro::vcard
