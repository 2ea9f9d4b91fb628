#include "PrintTestData.h"
#include "QtPrinters.h"

#include "printing/PrintCommand.h"

#include <gtest/gtest.h>

using namespace veltro;
namespace vt = veltro::testing;
using printing::PrintLayout;
using store::Field;

namespace {

// Each line as "text [size]" or "text [size fett]"; a tab stands for the next print zone.
QStringList described(const std::vector<vt::PrintedLine>& lines) {
    QStringList rows;
    for (const auto& line : lines) {
        rows << QStringLiteral("%1 [%2%3]")
                    .arg(line.text)
                    .arg(line.font.points)
                    .arg(line.font.bold ? QStringLiteral(" fett") : QString());
    }
    return rows;
}

const QString kRule = QString(55, u'_');
const QStringList kFieldLines = {"Anrede: \tFrau [10]",
                                 "Vorname: \tAnna [10]",
                                 "Nachname: \tMuster [10]",
                                 " [10]",
                                 "Abteilung: \tEinkauf [10]",
                                 "Firma: \tBeispiel GmbH [10]",
                                 " [10]",
                                 "PLZ: \t96047 [10]",
                                 "Ort: \tBamberg [10]",
                                 "Straße: \tLange Straße 3 [10]",
                                 " [10]",
                                 "Webseite: \twww.example.de [10]",
                                 "E-Mail: \tanna@example.de [10]",
                                 "Telefon: \t(0951) 12345 [10]",
                                 "Telefax: \t(0951) 12346 [10]",
                                 "Handy: \t0170 1234567 [10]"};

TEST(Layouts, CardAndFieldsLayoutsPrintEveryLineInOrderWithItsFont) {
    const QStringList card =
        QStringList{" [12 fett]", "Karte: \tMuster, Anna [12 fett]",
                    "Kategorie: \tPrivat\tKartenNr.: 7 [12 fett]", kRule + " [12 fett]", " [10]"} +
        kFieldLines +
        QStringList{" [10]",
                    " [10]",
                    "Notizen [12 fett]",
                    kRule + " [12 fett]",
                    " [12 fett]",
                    "Erste Zeile [10]",
                    "Zweite Zeile [10]"};
    EXPECT_EQ(described(vt::printOut(PrintLayout::Card, vt::sampleData())), card);
    const QStringList fields =
        QStringList{" [10]"} + kFieldLines + QStringList{" [10]", "KartenNr: \t7 [10]"};
    EXPECT_EQ(described(vt::printOut(PrintLayout::Fields, vt::sampleData())), fields);
}

TEST(Layouts, WithoutACardTheLabelsPrintWithEmptyValuesAndADiallingCodeAlone) {
    printing::PrintData data;
    data.card.set(Field::Vorwahl, QStringLiteral("0951"));
    for (const PrintLayout layout : {PrintLayout::Card, PrintLayout::Fields}) {
        const QStringList lines = vt::texts(vt::printOut(layout, data));
        const QStringList mustHave = layout == PrintLayout::Card
                                         ? QStringList{"Karte: \t", "Kategorie: \t\tKartenNr.: "}
                                         : QStringList{"KartenNr: \t"};
        for (const QString& line :
             mustHave + QStringList{"Anrede: \t", "Firma: \t", "Straße: \t", "Telefon: \t(0951) ",
                                    "Telefax: \t(0951) ", "Handy: \t"}) {
            EXPECT_TRUE(lines.contains(line)) << line.toStdString();
        }
    }
}

TEST(Layouts, EachLayoutHasItsFaceOriginAndLines) {
    printing::PrintData data = vt::sampleData();
    data.card.set(Field::Notizen, QStringLiteral("eins\r\nzwei\rdrei\u2028vier"));
    const struct {
        PrintLayout layout;
        printing::PrintMargins margins;
        QString face;
        double left, top;
    } cases[] = {
        {PrintLayout::Card, {70, 40}, "DejaVu Sans", -35, -22},
        {PrintLayout::Fields, {70, 40}, "DejaVu Sans", -35, -22},
        {PrintLayout::Notes, {70, 40}, "DejaVu Sans", -35, -22},
        {PrintLayout::Address, {50, 25}, "DejaVu Serif", -20, -45},
        {PrintLayout::Address, {100, 100}, "DejaVu Serif", -95, -95},
        // Under 5 mm the text would start outside the printable area and be cut off.
        {PrintLayout::Address, {3, 0}, "DejaVu Serif", 0, 0},
    };
    for (const auto& c : cases) {
        data.margins = c.margins;
        for (const auto& line : vt::printOut(c.layout, data)) {
            EXPECT_EQ(line.font.face, c.face);
            EXPECT_EQ(line.originLeft, c.left);
            EXPECT_EQ(line.originTop, c.top);
        }
    }
    EXPECT_EQ(vt::texts(vt::printOut(PrintLayout::Notes, data)),
              QStringList({"", "eins", "zwei", "drei", "vier"}));
    EXPECT_EQ(vt::texts(vt::printOut(PrintLayout::Address, data)),
              QStringList({"", "Frau", "Anna Muster", "96047 Bamberg"}));
}

}  // namespace
