#include "maintenance/AddressComposition.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace veltro::maintenance {
namespace {

TEST(AddressComposition, ComposesEveryLayout) {
    const struct {
        const char* name;
        const char* fields;  // Anrede|Vorname|Nachname|Firma|Abteilung|Straße|Postleitzahl|Ort
        const char* expected;
    } cases[] = {
        // The six layouts, chosen by company, department and street.
        {"nothing but the name", "Frau|Eva|Klein||||10115|Berlin",
         "Frau \nEva Klein\n\n10115 Berlin"},
        {"street only", "Frau|Eva|Klein|||Hauptstraße 1|10115|Berlin",
         "Frau \nEva Klein\nHauptstraße 1\n\n10115 Berlin"},
        {"department, no street", "Frau|Eva|Klein||Einkauf||10115|Berlin",
         "Einkauf\nFrau \nEva Klein\n\n\n10115 Berlin"},
        {"department and street", "Frau|Eva|Klein||Einkauf|Weg 2|10115|Berlin",
         "Einkauf\nFrau \nEva Klein\nWeg 2\n\n10115 Berlin"},
        {"company, no street", "|||Acme GmbH|||10115|Berlin", "Acme GmbH\n\n\n\n\n10115 Berlin"},
        {"company and street", "|||Acme GmbH||Weg 2|10115|Berlin",
         "Acme GmbH\n\n\nWeg 2\n\n10115 Berlin"},
        {"company and department, no street", "|||Acme|Einkauf||10115|Berlin",
         "Acme Einkauf\n\n\n\n10115 Berlin"},
        {"company, department and street", "|||Acme|Einkauf|Weg 2|10115|Berlin",
         "Acme Einkauf\n\n\nWeg 2\n\n10115 Berlin"},
        // The salutation.
        {"Herr becomes Herrn", "Herr|Max|Muster||||12345|Musterstadt",
         "Herrn \nMax Muster\n\n12345 Musterstadt"},
        {"Frau stays", "Frau|Max|Muster|||||", "Frau \nMax Muster\n\n"},
        {"only exactly Herr changes", "herr|Max|Muster|||||", "herr \nMax Muster\n\n"},
        {"Herren stays", "Herren||Muster|||||", "Herren \n Muster\n\n"},
        {"no salutation starts with a line feed", "|Max|Muster|||||", "\nMax Muster\n\n"},
        {"first name only", "Herr|Max||||||", "Herrn \nMax\n\n"},
        // Trimming: blanks at both ends of each part go, blanks inside and line feeds stay.
        {"all empty gives three line feeds", "|||||||", "\n\n\n"},
        {"blank fields count as empty", "  | | |   |  |  | | ", "\n\n\n"},
        {"company and department trimmed before joining",
         "|||  Acme  |  Einkauf |  Weg 2 | 10115|Berlin  ",
         "Acme Einkauf\n\n\nWeg 2\n\n10115 Berlin"},
        {"town without postcode", "|||||||Berlin", "\n\n\nBerlin"},
        {"postcode without town", "||||||10115|", "\n\n\n10115"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList f = QString::fromUtf8(c.fields).split(u'|');
        ASSERT_EQ(f.size(), 8);
        EXPECT_EQ(composeAddress({f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]}),
                  QString::fromUtf8(c.expected));
    }
}

}  // namespace
}  // namespace veltro::maintenance
