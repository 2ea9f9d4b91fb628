#include "labels/CardAddress.h"

#include "maintenance/AddressComposition.h"
#include "richtext/StoredText.h"

#include <QRegularExpression>

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

}  // namespace

QStringList addressLines(const store::Card& card) {
    QStringList block = trimmedLines(
        richtext::plainTextFromStored(card.text(Field::Anschrift), richtext::LineBreak::Lf));
    if (!block.isEmpty()) {
        return block;
    }
    maintenance::AddressFields fields;
    fields.salutation = card.text(Field::Anrede);
    fields.firstName = card.text(Field::Vorname);
    fields.lastName = card.text(Field::Nachname);
    fields.company = card.text(Field::Firma);
    fields.department = card.text(Field::Abteilung);
    fields.street = card.text(Field::Strasse);
    fields.postcode = card.text(Field::Postleitzahl);
    fields.town = card.text(Field::Ort);
    QStringList composed = trimmedLines(maintenance::composeAddress(fields));
    // A composed block keeps an empty name line where a card names nobody.
    composed.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    return composed;
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
