#include "labels/ListColumns.h"

#include "labels/CardAddress.h"
#include "printing/PrintLayouts.h"

#include <utility>

namespace veltro::labels {

using store::Field;

namespace {

struct ColumnSource {
    const char* name;
    double weight;
    Field field;
};

constexpr ColumnSource kSources[] = {
    {"Karte", 2.2, Field::Schlagworte},
    {"Kategorie", 1.2, Field::Kategorien},
    {"Anrede", 0.8, Field::Anrede},
    {"Vorname", 1.2, Field::Vorname},
    {"Nachname", 1.4, Field::Nachname},
    {"Firma", 1.8, Field::Firma},
    {"Abteilung", 1.4, Field::Abteilung},
    {"Straße", 1.8, Field::Strasse},
    {"PLZ", 0.7, Field::Postleitzahl},
    {"Ort", 1.4, Field::Ort},
    {"Telefon", 1.5, Field::Telefon},
    {"Telefax", 1.5, Field::Fax},
    {"Mobil", 1.4, Field::Mobiltelefon},
    {"E-Mail", 2.2, Field::EMailAdresse},
    {"Webseite", 1.8, Field::Webseite},
    {"Anschrift", 3.5, Field::Anschrift},
    {"Nr", 0.6, Field::Nr},
};

constexpr std::pair<const char*, const char*> kOtherNames[] = {
    {"Handy", "Mobil"},       {"Mobiltelefon", "Mobil"}, {"EMail", "E-Mail"},
    {"Fax", "Telefax"},       {"Postleitzahl", "PLZ"},   {"Strasse", "Straße"},
    {"Schlagworte", "Karte"},
};

const ColumnSource* sourceOf(const QString& name) {
    QString wanted = name.trimmed();
    for (const auto& [other, column] : kOtherNames) {
        if (wanted.compare(QString::fromUtf8(other), Qt::CaseInsensitive) == 0) {
            wanted = QString::fromUtf8(column);
        }
    }
    for (const ColumnSource& source : kSources) {
        if (wanted.compare(QString::fromUtf8(source.name), Qt::CaseInsensitive) == 0) {
            return &source;
        }
    }
    return nullptr;
}

}  // namespace

const std::vector<ListColumn>& listColumns() {
    static const std::vector<ListColumn> columns = [] {
        std::vector<ListColumn> all;
        for (const ColumnSource& source : kSources) {
            all.push_back({QString::fromUtf8(source.name), source.weight});
        }
        return all;
    }();
    return columns;
}

QStringList defaultListColumns() {
    return {QStringLiteral("Karte"), QStringLiteral("Telefon"), QStringLiteral("Mobil"),
            QStringLiteral("E-Mail")};
}

std::optional<ListColumn> listColumnByName(const QString& name) {
    const ColumnSource* source = sourceOf(name);
    if (source == nullptr) {
        return std::nullopt;
    }
    return ListColumn{QString::fromUtf8(source->name), source->weight};
}

QString cellText(const store::Card& card, const QString& column,
                 const std::function<QStringList(const store::Card&)>& addressOf) {
    const ColumnSource* source = sourceOf(column);
    if (source == nullptr) {
        return {};
    }
    switch (source->field) {
        case Field::Telefon:
        case Field::Fax:
            if (card.text(source->field).trimmed().isEmpty()) {
                return {};
            }
            return printing::numberWithCode(card.text(Field::Vorwahl), card.text(source->field))
                .simplified();
        case Field::Anschrift:
            return (addressOf ? addressOf(card) : addressLines(card)).join(QStringLiteral(", "));
        default:
            return card.text(source->field).simplified();
    }
}

}  // namespace veltro::labels
