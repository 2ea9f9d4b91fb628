#pragma once

#include "printing/PrintData.h"

#include <initializer_list>
#include <utility>

namespace veltro::testing {

// A card as the card view might show it, with two notes paragraphs in RTF.
inline printing::PrintData sampleData() {
    using store::Field;
    printing::PrintData data;
    const std::initializer_list<std::pair<Field, const char*>> fields = {
        {Field::Schlagworte, "Muster, Anna"},
        {Field::Kategorien, "Privat"},
        {Field::Nr, "7"},
        {Field::Anrede, "Frau"},
        {Field::Vorname, "Anna"},
        {Field::Nachname, "Muster"},
        {Field::Abteilung, "Einkauf"},
        {Field::Firma, "Beispiel GmbH"},
        {Field::Postleitzahl, "96047"},
        {Field::Ort, "Bamberg"},
        {Field::Strasse, "Lange Straße 3"},
        {Field::Webseite, "www.example.de"},
        {Field::EMailAdresse, "anna@example.de"},
        {Field::Vorwahl, "0951"},
        {Field::Telefon, "12345"},
        {Field::Fax, "12346"},
        {Field::Mobiltelefon, "0170 1234567"},
        {Field::Anschrift,
         R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0\fs24 Frau\par Anna \b Muster\b0\par )"
         R"(Lange Stra\'dfe 3\par 96047 Bamberg})"},
        {Field::Notizen,
         R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0 Erste Zeile\par Zweite \i Zeile\i0})"},
    };
    for (const auto& [field, text] : fields) {
        data.card.set(field, QString::fromUtf8(text));
    }
    data.fieldFace = QStringLiteral("DejaVu Sans");
    data.addressFace = QStringLiteral("DejaVu Serif");
    data.addressPoints = 12.0;
    return data;
}

}  // namespace veltro::testing
