#pragma once

#include "store/CardFields.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace veltro::import {

// One entry of the fixed list of card fields a source column can be mapped to.
struct TargetField {
    std::u16string_view name;
    store::Field field;
};

inline constexpr std::size_t kTargetCount = 19;
inline constexpr std::size_t kCategoryTarget = 0;
inline constexpr std::size_t kHeadingTarget = 1;

// In the order the mapping list and the preview show them.
inline constexpr std::array<TargetField, kTargetCount> kTargets = {{
    {u"Kategorie", store::Field::Kategorien},
    {u"Karte", store::Field::Schlagworte},
    {u"KartenNr.", store::Field::Nr},
    {u"Anrede", store::Field::Anrede},
    {u"Vorname", store::Field::Vorname},
    {u"Nachname", store::Field::Nachname},
    {u"Abteilung", store::Field::Abteilung},
    {u"Firma", store::Field::Firma},
    {u"PLZ", store::Field::Postleitzahl},
    {u"Ort", store::Field::Ort},
    {u"Straße", store::Field::Strasse},
    {u"Webseite", store::Field::Webseite},
    {u"E-Mail-Adresse", store::Field::EMailAdresse},
    {u"Vorwahl", store::Field::Vorwahl},
    {u"Telefon", store::Field::Telefon},
    {u"Telefax", store::Field::Fax},
    {u"Mobiltelefon", store::Field::Mobiltelefon},
    {u"Anschrift", store::Field::Anschrift},
    {u"Notizen", store::Field::Notizen},
}};

[[nodiscard]] QString targetName(std::size_t target);

// A target by its list name ("E-Mail-Adresse") or by its store column ("EMailAdresse"),
// without regard to case.
[[nodiscard]] std::optional<std::size_t> targetByName(QStringView name);

}  // namespace veltro::import
