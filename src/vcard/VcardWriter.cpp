#include "vcard/VcardWriter.h"

#include "maintenance/AddressComposition.h"
#include "richtext/StoredText.h"
#include "vcard/VcardMapping.h"
#include "vcard/VcardText.h"

#include <QStringEncoder>
#include <QUuid>

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

// Folds one content line: every physical line holds at most 75 octets, a continuation
// starts with a blank, and no UTF-8 sequence is cut.
void appendFolded(QByteArray& out, const QByteArray& line) {
    if (line.size() <= kLineOctets) {
        out.append(line).append("\r\n");
        return;
    }
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
    out.append("\r\n");
}

class CardWriter {
public:
    CardWriter(QByteArray& out, Version version) : out_(out), version_(version) {}

    // The value is written as given; callers escape it.
    void line(QStringView head, QStringView value) {
        thread_local QByteArray bytes;
        bytes.resize(0);
        appendUtf8(bytes, head);
        bytes.append(':');
        appendUtf8(bytes, value);
        appendFolded(out_, bytes);
    }
    void text(QStringView head, const QString& value) {
        if (!value.isEmpty()) {
            line(head, escapeText(value));
        }
    }
    void structured(QStringView head, std::initializer_list<QString> components) {
        QString value;
        bool first = true;
        for (const QString& component : components) {
            if (!first) {
                value += u';';
            }
            first = false;
            value += escapeText(component);
        }
        line(head, value);
    }
    // TYPE parameter values: upper case in 3.0 as most programs write them, lower case in 4.0.
    [[nodiscard]] QString typed(const char* name, const char* types) const {
        const QString list = QString::fromLatin1(types);
        return QString::fromLatin1(name) + QStringLiteral(";TYPE=") +
               (version_ == Version::V3 ? list.toUpper() : list);
    }
    [[nodiscard]] Version version() const { return version_; }

private:
    QByteArray& out_;
    Version version_;
};

QString trimmedField(const store::Card& card, Field field) {
    return card.text(field).trimmed();
}

QString formattedName(const store::Card& card) {
    const QString name =
        (trimmedField(card, Field::Vorname) + u' ' + trimmedField(card, Field::Nachname)).trimmed();
    if (!name.isEmpty()) {
        return name;
    }
    const QString company = trimmedField(card, Field::Firma);
    return company.isEmpty() ? card.text(Field::Schlagworte) : company;
}

QString phoneValue(const store::Card& card) {
    const QString areaCode = trimmedField(card, Field::Vorwahl);
    const QString number = trimmedField(card, Field::Telefon);
    return areaCode.isEmpty() ? number : number.isEmpty() ? areaCode : areaCode + u' ' + number;
}

QString plainBlock(const store::Card& card, Field field) {
    const QString stored = card.text(field);
    return stored.isEmpty() ? stored
                            : richtext::plainTextFromStored(stored, richtext::LineBreak::Lf);
}

QString composedAddress(const store::Card& card) {
    return maintenance::composeAddress(
        {trimmedField(card, Field::Anrede), trimmedField(card, Field::Vorname),
         trimmedField(card, Field::Nachname), trimmedField(card, Field::Firma),
         trimmedField(card, Field::Abteilung), trimmedField(card, Field::Strasse),
         trimmedField(card, Field::Postleitzahl), trimmedField(card, Field::Ort)});
}

void writeNames(CardWriter& writer, const store::Card& card) {
    writer.structured(
        u"N", {trimmedField(card, Field::Nachname), trimmedField(card, Field::Vorname), QString(),
               trimmedField(card, Field::Anrede), QString()});
    writer.line(u"FN", escapeText(formattedName(card)));
    const QString company = trimmedField(card, Field::Firma);
    const QString department = trimmedField(card, Field::Abteilung);
    if (!department.isEmpty()) {
        writer.structured(u"ORG", {company, department});
    } else {
        writer.text(u"ORG", company);
    }
}

void writeAddressAndNumbers(CardWriter& writer, const store::Card& card, bool business) {
    const char* place = business ? "work" : "home";
    const QString street = trimmedField(card, Field::Strasse);
    const QString postcode = trimmedField(card, Field::Postleitzahl);
    const QString town = trimmedField(card, Field::Ort);
    if (!street.isEmpty() || !postcode.isEmpty() || !town.isEmpty()) {
        writer.structured(writer.typed("ADR", place),
                          {QString(), QString(), street, town, QString(), postcode, QString()});
    }
    writer.text(writer.typed("TEL", business ? "work,voice" : "home,voice"), phoneValue(card));
    writer.text(writer.typed("TEL", business ? "work,fax" : "home,fax"),
                trimmedField(card, Field::Fax));
    writer.text(writer.typed("TEL", "cell"), trimmedField(card, Field::Mobiltelefon));
    writer.text(writer.version() == Version::V3 ? writer.typed("EMAIL", "internet")
                                                : QStringLiteral("EMAIL"),
                trimmedField(card, Field::EMailAdresse));
    writer.text(u"URL", trimmedField(card, Field::Webseite));
}

// X-VELTRO properties for what reading the standard ones back would not give exactly.
void writeOwnProperties(CardWriter& writer, const store::Card& card) {
    const QString heading = card.text(Field::Schlagworte);
    if (headingFromNames(trimmedField(card, Field::Nachname), trimmedField(card, Field::Vorname),
                         singleLine(formattedName(card)),
                         trimmedField(card, Field::Firma)) != heading) {
        writer.line(u"X-VELTRO-KARTE", escapeText(heading));
    }
    writer.text(u"X-VELTRO-NR", trimmedField(card, Field::Nr));
    const QString salutation = trimmedField(card, Field::Anrede);
    if (salutationFromPrefix(salutation) != salutation) {
        writer.line(u"X-VELTRO-ANREDE", escapeText(salutation));
    }
    const PhoneParts parts = splitAreaCode(phoneValue(card));
    if (parts.areaCode != trimmedField(card, Field::Vorwahl) ||
        parts.number != trimmedField(card, Field::Telefon)) {
        writer.line(u"X-VELTRO-VORWAHL", escapeText(trimmedField(card, Field::Vorwahl)));
        writer.line(u"X-VELTRO-TELEFON", escapeText(trimmedField(card, Field::Telefon)));
    }
    const QString address = plainBlock(card, Field::Anschrift);
    if (address != composedAddress(card)) {
        writer.line(u"X-VELTRO-ANSCHRIFT", escapeText(address));
    }
}

QString uidValue(const QString& uid, Version version) {
    const bool bareUuid = !QUuid::fromString(uid).isNull() && !uid.contains(u':');
    return version == Version::V4 && bareUuid ? QStringLiteral("urn:uuid:") + uid : uid;
}

}  // namespace

void appendVcard(QByteArray& out, const ExportCard& exported, Version version) {
    const store::Card& card = exported.card;
    CardWriter writer(out, version);
    out.append("BEGIN:VCARD\r\n");
    out.append(version == Version::V3 ? "VERSION:3.0\r\n" : "VERSION:4.0\r\n");
    writeNames(writer, card);
    const bool business = !trimmedField(card, Field::Firma).isEmpty() ||
                          !trimmedField(card, Field::Abteilung).isEmpty();
    writeAddressAndNumbers(writer, card, business);
    writer.text(u"NOTE", plainBlock(card, Field::Notizen));
    writer.text(u"CATEGORIES", trimmedField(card, Field::Kategorien));
    writeOwnProperties(writer, card);
    writer.text(u"UID", uidValue(exported.uid, version));
    if (exported.rev.isValid()) {
        writer.line(u"REV", exported.rev.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")));
    }
    out.append("END:VCARD\r\n");
}

QByteArray cardToVcard(const store::Card& card, const QString& uid, const QDateTime& rev,
                       Version version) {
    QByteArray out;
    appendVcard(out, {card, uid, rev}, version);
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
