#include "labels/CardAddress.h"

#include "maintenance/AddressComposition.h"
#include "richtext/StoredText.h"

#include <QRegularExpression>

#include <algorithm>

namespace veltro::labels {

using store::Field;

namespace {

QStringList trimmedLines(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|[\r\n\u2028\u2029\v]"));
    QStringList lines = text.split(lineBreak);
    for (QString& line : lines) {
        // Tabs and trailing blanks mean nothing on a label.
        line.replace(u'\t', u' ');
        while (!line.isEmpty() && line.back().isSpace()) {
            line.chop(1);
        }
    }
    while (!lines.isEmpty() && lines.front().trimmed().isEmpty()) {
        lines.removeFirst();
    }
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

maintenance::AddressFields namesOf(const store::Card& card) {
    maintenance::AddressFields fields;
    fields.salutation = card.text(Field::Anrede);
    fields.firstName = card.text(Field::Vorname);
    fields.lastName = card.text(Field::Nachname);
    fields.company = card.text(Field::Firma);
    fields.department = card.text(Field::Abteilung);
    return fields;
}

QStringList composed(const maintenance::AddressFields& fields) {
    QStringList lines = trimmedLines(maintenance::composeAddress(fields));
    // A composed block keeps an empty name line where a card names nobody.
    lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    return lines;
}

}  // namespace

QStringList addressLines(const store::Card& card) {
    QStringList block = trimmedLines(
        richtext::plainTextFromStored(card.text(Field::Anschrift), richtext::LineBreak::Lf));
    if (!block.isEmpty()) {
        return block;
    }
    maintenance::AddressFields fields = namesOf(card);
    fields.street = card.text(Field::Strasse);
    fields.postcode = card.text(Field::Postleitzahl);
    fields.town = card.text(Field::Ort);
    return composed(fields);
}

QStringList addressLines(const store::Card& card, const store::CardExtras& extras,
                         std::optional<store::EntryType> type) {
    const auto entries = extras.of(store::EntryKind::Anschrift);
    const auto chosen = std::find_if(entries.begin(), entries.end(), [type](const store::Entry& e) {
        return type && e.type == *type;
    });
    if (chosen == entries.end()) {
        return addressLines(card);
    }
    maintenance::AddressFields fields = namesOf(card);
    fields.street = chosen->value;
    fields.postcode = chosen->postcode;
    fields.town = chosen->town;
    QStringList lines = composed(fields);
    if (const QString country = chosen->country.trimmed(); !country.isEmpty()) {
        lines << country;
    }
    return lines;
}

QString letterSalutation(const store::Card& card) {
    const QString lastName = card.text(Field::Nachname).simplified();
    QStringList words = card.text(Field::Anrede).simplified().split(u' ', Qt::SkipEmptyParts);
    if (!lastName.isEmpty() && !words.isEmpty()) {
        const QString first = words.takeFirst();
        const QString titles = words.isEmpty() ? QString() : words.join(u' ') + u' ';
        if (first.compare(u"Herr", Qt::CaseInsensitive) == 0 ||
            first.compare(u"Herrn", Qt::CaseInsensitive) == 0) {
            return QStringLiteral("Sehr geehrter Herr ") + titles + lastName + u',';
        }
        if (first.compare(u"Frau", Qt::CaseInsensitive) == 0) {
            return QStringLiteral("Sehr geehrte Frau ") + titles + lastName + u',';
        }
    }
    return QStringLiteral("Sehr geehrte Damen und Herren,");
}

}  // namespace veltro::labels
