#include "vcard/VcardMapping.h"

#include "maintenance/AddressComposition.h"
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"
#include "vcard/Background.h"
#include "vcard/VcardText.h"

#include <QCryptographicHash>

#include <deque>
#include <functional>
#include <iterator>
#include <memory>

namespace veltro::vcard {

namespace {

using store::Field;

QString component(const QStringList& components, qsizetype at) {
    return components.value(at).trimmed();
}

QString joinedNonEmpty(const QStringList& parts, QStringView separator) {
    QString joined;
    for (const QString& part : parts) {
        const QStringView kept = QStringView(part).trimmed();
        if (kept.isEmpty()) {
            continue;
        }
        if (!joined.isEmpty()) {
            joined += separator;
        }
        joined += kept;
    }
    return joined;
}

QString textOf(const Property* property) {
    return property != nullptr ? unescapeText(property->value).trimmed() : QString();
}

QStringList componentsOf(const Property* property) {
    return property != nullptr ? splitComponents(property->value) : QStringList();
}

// A number of a 4.0 card may be written as a "tel:" URI.
QString phoneText(const Property& property) {
    QString text = unescapeText(property.value).trimmed();
    if (text.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive)) {
        text = text.mid(4).trimmed();
    }
    return text;
}

QString mailText(const Property* property) {
    QString text = textOf(property);
    if (text.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)) {
        text = text.mid(7);
    }
    return text;
}

bool isVoice(const Property& tel) {
    return !tel.is(kFax | kCell | kPager);
}

template <typename Fits>
const Property* firstWhere(const Vcard& vcard, Name name, Fits&& fits) {
    for (const Property& property : vcard.properties) {
        if (property.name == name && fits(property)) {
            return &property;
        }
    }
    return nullptr;
}

// The first preferred address, else the first work address, else the first of any kind.
const Property* chosenAddress(const Vcard& vcard) {
    for (const std::uint16_t flag : {kPref, kWork}) {
        if (const Property* address =
                firstWhere(vcard, Name::ADR, [flag](const Property& p) { return p.is(flag); })) {
            return address;
        }
    }
    return vcard.first(Name::ADR);
}

// Plain text that would be taken for RTF is stored as a real RTF document of that text;
// a line break at its end would come back from RTF as a paragraph of its own and is dropped.
QString storedBlock(const QString& plain) {
    if (!richtext::looksLikeRtf(QStringView(plain))) {
        return plain;
    }
    QString text = plain;
    while (text.endsWith(u'\n') || text.endsWith(u'\r')) {
        text.chop(1);
    }
    return QString::fromLatin1(richtext::writeRtf(richtext::documentFromPlainText(text)));
}

void fillNames(const Vcard& vcard, store::Card& card) {
    const QStringList name = componentsOf(vcard.first(Name::N));
    card.set(Field::Nachname, component(name, 0));
    card.set(Field::Vorname,
             joinedNonEmpty({component(name, 1), component(name, 2)}, QStringLiteral(" ")));
    card.set(Field::Anrede, salutationFromPrefix(component(name, 3)));
    const QStringList org = componentsOf(vcard.first(Name::ORG));
    card.set(Field::Firma, component(org, 0));
    card.set(Field::Abteilung, joinedNonEmpty(org.mid(1), QStringLiteral(", ")));
}

void fillAddress(const Vcard& vcard, store::Card& card) {
    const QStringList address = componentsOf(chosenAddress(vcard));
    const QString street = singleLine(address.value(2));
    card.set(Field::Strasse, street.isEmpty() ? singleLine(address.value(0)) : street);
    card.set(Field::Ort, singleLine(address.value(3)));
    card.set(Field::Postleitzahl, component(address, 5));
}

// The properties the card's own fields take: the first of each kind.
struct OwnProperties {
    const Property* voice;
    const Property* fax;
    const Property* cell;
    const Property* email;
    const Property* url;
    const Property* address;

    explicit OwnProperties(const Vcard& vcard)
        : voice(firstWhere(vcard, Name::TEL, isVoice)),
          fax(firstWhere(vcard, Name::TEL, [](const Property& p) { return p.is(kFax); })),
          cell(firstWhere(vcard, Name::TEL,
                          [](const Property& p) { return p.is(kCell) && !p.is(kFax); })),
          email(vcard.first(Name::EMAIL)),
          url(vcard.first(Name::URL)),
          address(chosenAddress(vcard)) {}

    [[nodiscard]] bool takes(const Property& p) const {
        return &p == voice || &p == fax || &p == cell || &p == email || &p == url || &p == address;
    }
};

void fillNumbers(const Vcard& vcard, store::Card& card) {
    const OwnProperties own(vcard);
    if (own.voice != nullptr) {
        const PhoneParts parts = splitAreaCode(phoneText(*own.voice));
        card.set(Field::Vorwahl, parts.areaCode);
        card.set(Field::Telefon, parts.number);
    }
    card.set(Field::Fax, own.fax != nullptr ? phoneText(*own.fax) : QString());
    card.set(Field::Mobiltelefon, own.cell != nullptr ? phoneText(*own.cell) : QString());
    card.set(Field::EMailAdresse, mailText(own.email));
    card.set(Field::Webseite, textOf(own.url));
}

constexpr int kAppleNoYear = 1604;

store::EntryType phoneType(const Property& tel) {
    using store::EntryType;
    return tel.is(kCell)    ? EntryType::Mobil
           : tel.is(kFax)   ? EntryType::Fax
           : tel.is(kPager) ? EntryType::Pager
           : tel.is(kWork)  ? EntryType::Geschaeftlich
           : tel.is(kHome)  ? EntryType::Privat
                            : EntryType::Andere;
}

store::EntryType placeType(const Property& property) {
    using store::EntryType;
    return property.is(kWork)   ? EntryType::Geschaeftlich
           : property.is(kHome) ? EntryType::Privat
                                : EntryType::Andere;
}

// A further entry from a TEL, EMAIL, ADR or URL property; nothing for other properties.
std::optional<store::Entry> entryOf(const Property& p) {
    using store::EntryKind;
    switch (p.name) {
        case Name::TEL:
            return store::Entry{EntryKind::Telefon, phoneType(p), phoneText(p)};
        case Name::EMAIL:
            return store::Entry{EntryKind::EMail, placeType(p), mailText(&p)};
        case Name::URL:
            return store::Entry{EntryKind::Webseite, placeType(p), textOf(&p)};
        case Name::ADR: {
            const QStringList parts = componentsOf(&p);
            const QString street = singleLine(parts.value(2));
            return store::Entry{EntryKind::Anschrift,
                                placeType(p),
                                street.isEmpty() ? singleLine(parts.value(0)) : street,
                                component(parts, 5),
                                singleLine(parts.value(3)),
                                singleLine(parts.value(6))};
        }
        default:
            return std::nullopt;
    }
}

void fillDetail(const Property& p, store::CardExtras& extras) {
    const auto setOnce = [&](QString& field) {
        if (field.isEmpty()) {
            field = singleLine(unescapeText(p.value));
        }
    };
    const auto date = [&p] {
        auto day = store::PartialDate::parse(unescapeText(p.value));
        // Apple writes a birthday without a year in the year 1604 (X-APPLE-OMIT-YEAR).
        if (day && day->year == kAppleNoYear) {
            day->year = 0;
        }
        return day;
    };
    if (p.name == Name::BDAY && !extras.birthday) {
        extras.birthday = date();
    } else if (p.name == Name::ANNIVERSARY && !extras.anniversary) {
        extras.anniversary = date();
    } else if (p.name == Name::PHOTO && !extras.photo) {
        const QString sniffed = store::pictureType(p.data);
        extras.photo = store::Photo{p.data, sniffed.isEmpty() ? p.value : sniffed};
    } else if (p.name == Name::NICKNAME) {
        setOnce(extras.nickname);
    } else if (p.name == Name::TITLE) {
        setOnce(extras.title);
    } else if (p.name == Name::ROLE) {
        setOnce(extras.role);
    }
}

QString notesOf(const Vcard& vcard) {
    QStringList notes;
    for (const Property& property : vcard.properties) {
        if (property.name == Name::NOTE) {
            notes << unescapeText(property.value);
        }
    }
    return notes.join(u'\n');
}

// The first voice number as written, to tell whether our split of it still stands.
QString voiceText(const Vcard& vcard) {
    const Property* voice = firstWhere(vcard, Name::TEL, isVoice);
    return voice != nullptr ? phoneText(*voice) : QString();
}

QString joinedPhone(const QString& areaCode, const QString& number) {
    return areaCode.isEmpty() ? number : number.isEmpty() ? areaCode : areaCode + u' ' + number;
}

// Whether the standard properties are still as they were when our own were written beside
// them (a vCard without a digest comes from an earlier version of ours, which wrote both).
bool standardAsWritten(const Vcard& vcard) {
    const Property* basis = vcard.first(Name::XBasis);
    return basis == nullptr || textOf(basis) == standardBasis(componentsOf(vcard.first(Name::N)),
                                                              componentsOf(vcard.first(Name::ORG)),
                                                              componentsOf(chosenAddress(vcard)),
                                                              textOf(vcard.first(Name::FN)));
}

// Our own X-VELTRO properties give back what the standard ones cannot hold: the heading
// exactly as it was, the single-line fields trimmed like all others. Each counts only while
// the standard property it refines is what we wrote; another program's change wins.
void applyOwnProperties(const Vcard& vcard, store::Card& card, bool asWritten) {
    if (const Property* heading = vcard.first(Name::XKarte); heading != nullptr && asWritten) {
        card.set(Field::Schlagworte, unescapeText(heading->value));
    }
    if (const Property* number = vcard.first(Name::XNr)) {
        card.set(Field::Nr, textOf(number));
    }
    // Our salutation is the name prefix as it stands, even where it is no "Herr" or "Frau".
    if (vcard.first(Name::XAnrede) != nullptr) {
        card.set(Field::Anrede, component(componentsOf(vcard.first(Name::N)), 3));
    }
    const Property* areaCode = vcard.first(Name::XVorwahl);
    const Property* number = vcard.first(Name::XTelefon);
    if ((areaCode != nullptr || number != nullptr) &&
        joinedPhone(textOf(areaCode), textOf(number)) == voiceText(vcard)) {
        card.set(Field::Vorwahl, textOf(areaCode));
        card.set(Field::Telefon, textOf(number));
    }
}

QString composedAddress(const store::Card& card) {
    return maintenance::composeAddress({card.text(Field::Anrede), card.text(Field::Vorname),
                                        card.text(Field::Nachname), card.text(Field::Firma),
                                        card.text(Field::Abteilung), card.text(Field::Strasse),
                                        card.text(Field::Postleitzahl), card.text(Field::Ort)});
}

}  // namespace

PhoneParts splitAreaCode(const QString& phone) {
    const QString text = phone.trimmed();
    const bool parenthesised = text.startsWith(u'(');
    qsizetype pos = parenthesised ? 1 : 0;
    const qsizetype digitsFrom = pos;
    while (pos < text.size() && text[pos].isDigit() && text[pos].unicode() < 0x80) {
        ++pos;
    }
    const qsizetype digits = pos - digitsFrom;
    // A German area code: a zero, then a digit other than zero, three to six digits in all.
    const bool areaCode =
        digits >= 3 && digits <= 6 && text[digitsFrom] == u'0' && text[digitsFrom + 1] != u'0';
    const QString code = text.mid(digitsFrom, digits);
    if (parenthesised) {
        if (!areaCode || pos >= text.size() || text[pos] != u')') {
            return {QString(), text};
        }
        ++pos;
    } else {
        const qsizetype before = pos;
        while (pos < text.size() && text[pos].isSpace()) {
            ++pos;
        }
        const bool slash = pos < text.size() && text[pos] == u'/';
        if (!areaCode || (!slash && pos == before)) {
            return {QString(), text};
        }
        pos += slash ? 1 : 0;
    }
    const QString number = text.mid(pos).trimmed();
    return number.isEmpty() ? PhoneParts{QString(), text} : PhoneParts{code, number};
}

QString singleLine(const QString& text) {
    if (!text.contains(u'\n') && !text.contains(u'\r')) {
        return text.trimmed();
    }
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return joinedNonEmpty(line.split(u'\n'), QStringLiteral(", "));
}

QString headingFromNames(const QString& lastName, const QString& firstName,
                         const QString& formattedName, const QString& company) {
    QString fromName = joinedNonEmpty({lastName, firstName}, QStringLiteral(" "));
    if (!fromName.isEmpty()) {
        return fromName;
    }
    return formattedName.trimmed().isEmpty() ? company.trimmed() : formattedName.trimmed();
}

QString standardBasis(const QStringList& name, const QStringList& org, const QStringList& address,
                      const QString& formattedName) {
    const QString street = singleLine(address.value(2));
    QStringList parts = {
        component(name, 0),
        joinedNonEmpty({component(name, 1), component(name, 2)}, QStringLiteral(" ")),
        component(name, 3),
        component(org, 0),
        joinedNonEmpty(org.mid(1), QStringLiteral(", ")),
        street.isEmpty() ? singleLine(address.value(0)) : street,
        address.value(3),
        component(address, 5),
        formattedName,
    };
    // Line breaks come back from a vCard in another spelling than a field may hold them.
    for (QString& part : parts) {
        part = singleLine(part);
    }
    const QByteArray digest =
        QCryptographicHash::hash(parts.join(QChar(0x1F)).toUtf8(), QCryptographicHash::Sha1);
    return QString::fromLatin1(digest.left(4).toHex());
}

QString salutationFromPrefix(const QString& prefix) {
    const QString trimmed = prefix.trimmed();
    for (const QString& salutation : {QStringLiteral("Herr"), QStringLiteral("Frau")}) {
        if (trimmed.compare(salutation, Qt::CaseInsensitive) == 0) {
            return salutation;
        }
    }
    return {};
}

std::optional<store::Card> toCard(const Vcard& vcard, const QString& category) {
    store::Card card;
    card.set(Field::Kategorien, category);
    card.set(Field::Nr, QString());
    fillNames(vcard, card);
    card.set(Field::Schlagworte,
             headingFromNames(card.text(Field::Nachname), card.text(Field::Vorname),
                              singleLine(textOf(vcard.first(Name::FN))), card.text(Field::Firma)));
    fillAddress(vcard, card);
    fillNumbers(vcard, card);
    const bool asWritten = standardAsWritten(vcard);
    applyOwnProperties(vcard, card, asWritten);
    if (card.text(Field::Schlagworte).trimmed().isEmpty()) {
        return std::nullopt;
    }
    const Property* ownAddress = asWritten ? vcard.first(Name::XAnschrift) : nullptr;
    card.set(Field::Anschrift, storedBlock(ownAddress != nullptr ? unescapeText(ownAddress->value)
                                                                 : composedAddress(card)));
    card.set(Field::Notizen, storedBlock(notesOf(vcard)));
    return card;
}

store::CardExtras extrasOf(const Vcard& vcard) {
    const OwnProperties own(vcard);
    store::CardExtras extras;
    for (const Property& property : vcard.properties) {
        if (own.takes(property)) {
            continue;
        }
        if (auto entry = entryOf(property)) {
            extras.entries.push_back(std::move(*entry));
        } else {
            fillDetail(property, extras);
        }
    }
    extras.dropBlankEntries();
    extras.groupEntriesByKind();
    return extras;
}

veltro::import::PreviewRow toPreviewRow(const store::Card& card) {
    veltro::import::PreviewRow::Fields fields;
    for (std::size_t target = 0; target < import::kTargetCount; ++target) {
        const auto& value = card.value(import::kTargets[target].field);
        fields[target] = value ? QStringView(*value) : QStringView();
    }
    return veltro::import::PreviewRow(fields);
}

std::optional<import::PreviewRow> rowOf(const Vcard& vcard, const QString& category) {
    const auto card = toCard(vcard, category);
    if (!card) {
        return std::nullopt;
    }
    import::PreviewRow row = toPreviewRow(*card);
    if (store::CardExtras extras = extrasOf(vcard); !extras.isEmpty()) {
        row.extras = std::make_shared<const store::CardExtras>(std::move(extras));
    }
    return row;
}

VcardImport importRows(const ReadResult& read, const QString& category) {
    VcardImport imported;
    imported.skipped = read.skipped;
    imported.rows.reserve(read.cards.size());
    for (const Vcard& vcard : read.cards) {
        if (auto row = rowOf(vcard, category)) {
            imported.rows.push_back(std::move(*row));
        } else {
            ++imported.skipped;
        }
    }
    return imported;
}

namespace {

constexpr std::size_t kChunkSize = 250;
constexpr std::size_t kChunksInFlight = 2;

VcardImport mapChunk(const std::vector<Vcard>& cards, const QString& category) {
    VcardImport mapped;
    mapped.rows.reserve(cards.size());
    for (const Vcard& vcard : cards) {
        if (auto row = rowOf(vcard, category)) {
            mapped.rows.push_back(std::move(*row));
        } else {
            ++mapped.skipped;
        }
    }
    return mapped;
}

}  // namespace

std::optional<std::int64_t> readMapped(const QString& path, const QString& category,
                                       const std::function<void(VcardImport&&)>& take) {
    // Cards are mapped in chunks on worker threads while the file is read on; the chunks
    // are handed on in the order of the file.
    std::deque<std::future<VcardImport>> mapping;
    std::vector<Vcard> chunk;
    const auto handOnOldest = [&] {
        VcardImport mapped = mapping.front().get();
        mapping.pop_front();
        take(std::move(mapped));
    };
    const auto submit = [&] {
        mapping.push_back(inBackground(
            std::move(chunk),
            [category](const std::vector<Vcard>& cards) { return mapChunk(cards, category); }));
        chunk = {};
        chunk.reserve(kChunkSize);
        if (mapping.size() > kChunksInFlight) {
            handOnOldest();
        }
    };
    const auto broken = readFile(path, [&](Vcard&& vcard) {
        chunk.push_back(std::move(vcard));
        if (chunk.size() == kChunkSize) {
            submit();
        }
    });
    if (!chunk.empty()) {
        submit();
    }
    while (!mapping.empty()) {
        handOnOldest();
    }
    return broken;
}

std::optional<VcardImport> importFile(const QString& path, const QString& category) {
    VcardImport imported;
    const auto broken = readMapped(path, category, [&](VcardImport&& mapped) {
        std::move(mapped.rows.begin(), mapped.rows.end(), std::back_inserter(imported.rows));
        imported.skipped += mapped.skipped;
    });
    if (!broken) {
        return std::nullopt;
    }
    imported.skipped += *broken;
    return imported;
}

}  // namespace veltro::vcard
