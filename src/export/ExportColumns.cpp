#include "export/ExportColumns.h"

#include <array>

namespace veltro::exporting {

namespace {

using store::Field;

// Postcode and town come before the street, the dialling code before the number: other
// programs map these columns by position.
constexpr std::array<ExportColumn, 19> kColumns = {{
    {u"Karte", Field::Schlagworte},   {u"Kategorie", Field::Kategorien},
    {u"Kartennummer", Field::Nr},     {u"Anrede", Field::Anrede},
    {u"Vorname", Field::Vorname},     {u"Nachname", Field::Nachname},
    {u"Abteilung", Field::Abteilung}, {u"Firma", Field::Firma},
    {u"PLZ", Field::Postleitzahl},    {u"Ort", Field::Ort},
    {u"Straße", Field::Strasse},      {u"Webseite", Field::Webseite},
    {u"EMail", Field::EMailAdresse},  {u"Vorwahl", Field::Vorwahl},
    {u"Telefon", Field::Telefon},     {u"Telefax", Field::Fax},
    {u"Mobil", Field::Mobiltelefon},  {u"Anschrift", Field::Anschrift},
    {u"Notizen", Field::Notizen},
}};

constexpr std::size_t kTextColumnCount = 17;

}  // namespace

std::span<const ExportColumn> exportColumns(ExportFormat format) {
    const std::span<const ExportColumn> all(kColumns);
    return format == ExportFormat::Csv ? all : all.first(kTextColumnCount);
}

}  // namespace veltro::exporting
