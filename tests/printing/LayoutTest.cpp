#include "PrintTestData.h"
#include "QtPrinters.h"

#include "printing/PrintCommand.h"

#include <gtest/gtest.h>

using namespace veltro;
using namespace Qt::Literals::StringLiterals;
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
const QStringList kFieldLines = {u"Anrede: \tFrau [10]"_s,
                                 u"Vorname: \tAnna [10]"_s,
                                 u"Nachname: \tMuster [10]"_s,
                                 u" [10]"_s,
                                 u"Abteilung: \tEinkauf [10]"_s,
                                 u"Firma: \tBeispiel GmbH [10]"_s,
                                 u" [10]"_s,
                                 u"PLZ: \t96047 [10]"_s,
                                 u"Ort: \tBamberg [10]"_s,
                                 u"Straße: \tLange Straße 3 [10]"_s,
                                 u" [10]"_s,
                                 u"Webseite: \twww.example.de [10]"_s,
                                 u"E-Mail: \tanna@example.de [10]"_s,
                                 u"Telefon: \t(0951) 12345 [10]"_s,
                                 u"Telefax: \t(0951) 12346 [10]"_s,
                                 u"Handy: \t0170 1234567 [10]"_s};

TEST(Layouts, CardAndFieldsLayoutsPrintEveryLineInOrderWithItsFont) {
    const QStringList card = QStringList{u" [12 fett]"_s, u"Karte: \tMuster, Anna [12 fett]"_s,
                                         u"Kategorie: \tPrivat\tKartenNr.: 7 [12 fett]"_s,
                                         kRule + u" [12 fett]"_s, u" [10]"_s} +
                             kFieldLines +
                             QStringList{u" [10]"_s,
                                         u" [10]"_s,
                                         u"Notizen [12 fett]"_s,
                                         kRule + u" [12 fett]"_s,
                                         u" [12 fett]"_s,
                                         u"Erste Zeile [10]"_s,
                                         u"Zweite Zeile [10]"_s};
    EXPECT_EQ(described(vt::printOut(PrintLayout::Card, vt::sampleData())), card);
    const QStringList fields =
        QStringList{u" [10]"_s} + kFieldLines + QStringList{u" [10]"_s, u"KartenNr: \t7 [10]"_s};
    EXPECT_EQ(described(vt::printOut(PrintLayout::Fields, vt::sampleData())), fields);
}

TEST(Layouts, TheCardLayoutPrintsWhatTheCardHoldsBeyondItsFieldsBeforeTheNotes) {
    printing::PrintData data = vt::sampleData();
    data.extras.birthday = store::PartialDate{1980, 2, 29};
    data.extras.nickname = u"Anni"_s;
    data.extras.entries = {{store::EntryKind::Telefon, store::EntryType::Privat, u"0911 123"_s},
                           {store::EntryKind::Anschrift, store::EntryType::Geschaeftlich,
                            u"Rue 1"_s, u"75001"_s, u"Paris"_s, u"Frankreich"_s}};
    const QStringList lines = vt::texts(vt::printOut(PrintLayout::Card, data));
    const QStringList extras = {u"Weitere Angaben"_s,
                                kRule,
                                QString(),
                                u"Geburtstag: \t29.02.1980"_s,
                                u"Spitzname: \tAnni"_s,
                                u"Telefon (privat): \t0911 123"_s,
                                u"Anschrift (geschäftlich): \tRue 1, 75001 Paris, Frankreich"_s};
    const auto at = lines.indexOf(extras.front());
    ASSERT_GT(at, lines.indexOf(u"Handy: \t0170 1234567"_s));
    EXPECT_EQ(lines.mid(at, extras.size()), extras);
    EXPECT_GT(lines.indexOf(u"Notizen"_s), at);
}

TEST(Layouts, WithoutACardTheLabelsPrintWithEmptyValuesAndADiallingCodeAlone) {
    printing::PrintData data;
    data.card.set(Field::Vorwahl, QStringLiteral("0951"));
    for (const PrintLayout layout : {PrintLayout::Card, PrintLayout::Fields}) {
        const QStringList lines = vt::texts(vt::printOut(layout, data));
        const QStringList mustHave =
            layout == PrintLayout::Card
                ? QStringList{u"Karte: \t"_s, u"Kategorie: \t\tKartenNr.: "_s}
                : QStringList{u"KartenNr: \t"_s};
        for (const QString& line :
             mustHave + QStringList{u"Anrede: \t"_s, u"Firma: \t"_s, u"Straße: \t"_s,
                                    u"Telefon: \t(0951) "_s, u"Telefax: \t(0951) "_s,
                                    u"Handy: \t"_s}) {
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
        {PrintLayout::Card, {70, 40}, u"DejaVu Sans"_s, -35, -22},
        {PrintLayout::Fields, {70, 40}, u"DejaVu Sans"_s, -35, -22},
        {PrintLayout::Notes, {70, 40}, u"DejaVu Sans"_s, -35, -22},
        {PrintLayout::Address, {50, 25}, u"DejaVu Serif"_s, -20, -45},
        {PrintLayout::Address, {100, 100}, u"DejaVu Serif"_s, -95, -95},
        // Under 5 mm the text would start outside the printable area and be cut off.
        {PrintLayout::Address, {3, 0}, u"DejaVu Serif"_s, 0, 0},
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
              QStringList({u""_s, u"eins"_s, u"zwei"_s, u"drei"_s, u"vier"_s}));
    EXPECT_EQ(vt::texts(vt::printOut(PrintLayout::Address, data)),
              QStringList({u""_s, u"Frau"_s, u"Anna Muster"_s, u"96047 Bamberg"_s}));
}

}  // namespace
