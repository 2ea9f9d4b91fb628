#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace veltro::store {

// The columns of a card, in the order of the table.
enum class Field : std::size_t {
    Nr,
    Schlagworte,
    Kategorien,
    Anrede,
    Vorname,
    Nachname,
    Firma,
    Abteilung,
    Strasse,
    Postleitzahl,
    Ort,
    Vorwahl,
    Telefon,
    Fax,
    Mobiltelefon,
    EMailAdresse,
    Webseite,
    Anschrift,
    Notizen,
};

inline constexpr std::size_t kFieldCount = 19;

// Column names as they stand in the store (UTF-8).
inline constexpr std::array<std::string_view, kFieldCount> kColumnNames = {
    "Nr",           "Schlagworte",  "Kategorien",   "Anrede",    "Vorname", "Nachname", "Firma",
    "Abteilung",    "Straße",       "Postleitzahl", "Ort",       "Vorwahl", "Telefon",  "Fax",
    "Mobiltelefon", "EMailAdresse", "Webseite",     "Anschrift", "Notizen",
};

[[nodiscard]] constexpr std::size_t index(Field f) {
    return static_cast<std::size_t>(f);
}

[[nodiscard]] inline QString columnName(Field f) {
    const std::string_view name = kColumnNames[index(f)];
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// Column name → field, for the import's target list and the command line.
[[nodiscard]] std::optional<Field> fieldByColumnName(QStringView name);

// One card as stored; a Null column is an empty optional.
struct Card {
    std::int64_t id = 0;  // the store's row id
    std::array<std::optional<QString>, kFieldCount> values;

    [[nodiscard]] const std::optional<QString>& value(Field f) const { return values[index(f)]; }
    [[nodiscard]] QString text(Field f) const { return values[index(f)].value_or(QString()); }
    void set(Field f, std::optional<QString> v) { values[index(f)] = std::move(v); }
};

}  // namespace veltro::store
