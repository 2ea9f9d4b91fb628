#include "labels/SerialLetter.h"

#include "labels/CardAddress.h"

#include <QStringList>

#include <algorithm>
#include <vector>

namespace veltro::labels {

using store::Field;

namespace {

constexpr char16_t kSeparator = u';';

QString quoted(const QString& value) {
    if (!value.contains(kSeparator) && !value.contains(u'"') && !value.contains(u'\n') &&
        !value.contains(u'\r')) {
        return value;
    }
    QString inner = value;
    inner.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + inner + u'"';
}

void appendRow(QString& out, const QStringList& values) {
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0) {
            out += kSeparator;
        }
        out += quoted(values[i]);
    }
    out += QStringLiteral("\r\n");
}

constexpr Field kFieldColumns[] = {Field::Anrede,       Field::Vorname,   Field::Nachname,
                                   Field::Firma,        Field::Abteilung, Field::Strasse,
                                   Field::Postleitzahl, Field::Ort};

}  // namespace

QByteArray serialLetterCsv(std::span<const store::Card> cards) {
    std::vector<QStringList> addresses;
    addresses.reserve(cards.size());
    qsizetype lineColumns = 1;
    for (const store::Card& card : cards) {
        addresses.push_back(addressLines(card));
        lineColumns = std::max(lineColumns, addresses.back().size());
    }
    QStringList header{QStringLiteral("Karte"), QStringLiteral("Briefanrede")};
    for (const Field field : kFieldColumns) {
        header << store::columnName(field);
    }
    for (qsizetype i = 1; i <= lineColumns; ++i) {
        header << QStringLiteral("Zeile %1").arg(i);
    }
    QString text;
    appendRow(text, header);
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const store::Card& card = cards[i];
        QStringList row{card.text(Field::Schlagworte), letterSalutation(card)};
        for (const Field field : kFieldColumns) {
            row << card.text(field);
        }
        QStringList lines = addresses[i];
        while (lines.size() < lineColumns) {
            lines << QString();
        }
        appendRow(text, row + lines);
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

}  // namespace veltro::labels
