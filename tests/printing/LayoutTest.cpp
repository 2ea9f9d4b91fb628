#include "PrintTestData.h"
#include "QtPrinters.h"
#include "RecordingPlatform.h"
#include "TestHome.h"

#include "printing/PrintCommand.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"

#include <gtest/gtest.h>

using namespace veltro;
namespace vt = veltro::testing;
using printing::PrintData;
using printing::PrintLayout;
using store::Field;
using vt::PrintedLine;

namespace {

struct Printout {
    std::vector<PrintedLine> lines;
    int finished = 0;
};

Printout printOut(PrintLayout layout, const PrintData& data, platform::PrintFont printerFont = {}) {
    Printout out;
    vt::RecordingSurface surface(out.lines, out.finished);
    printing::PrintJob job(surface, printerFont);
    printing::printLayout(layout, job, data);
    return out;
}

// "text [size]" or "text [size fett]" per line; a tab marks the next print zone.
QStringList described(const std::vector<PrintedLine>& lines) {
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

QStringList fieldLines() {
    return {QStringLiteral("Anrede: \tFrau [10]"),
            QStringLiteral("Vorname: \tAnna [10]"),
            QStringLiteral("Nachname: \tMuster [10]"),
            QStringLiteral(" [10]"),
            QStringLiteral("Abteilung: \tEinkauf [10]"),
            QStringLiteral("Firma: \tBeispiel GmbH [10]"),
            QStringLiteral(" [10]"),
            QStringLiteral("PLZ: \t96047 [10]"),
            QStringLiteral("Ort: \tBamberg [10]"),
            QStringLiteral("Straße: \tLange Straße 3 [10]"),
            QStringLiteral(" [10]"),
            QStringLiteral("Webseite: \twww.example.de [10]"),
            QStringLiteral("E-Mail: \tanna@example.de [10]"),
            QStringLiteral("Telefon: \t(0951) 12345 [10]"),
            QStringLiteral("Telefax: \t(0951) 12346 [10]"),
            QStringLiteral("Handy: \t0170 1234567 [10]")};
}

TEST(Layouts, CardLayoutPrintsEveryLineInOrderWithItsFont) {
    const Printout out = printOut(PrintLayout::Card, vt::sampleData());
    QStringList expected = {QStringLiteral(" [12 fett]"),
                            QStringLiteral("Karte: \tMuster, Anna [12 fett]"),
                            QStringLiteral("Kategorie: \tPrivat\tKartenNr.: 7 [12 fett]"),
                            kRule + QStringLiteral(" [12 fett]"), QStringLiteral(" [10]")};
    expected << fieldLines();
    expected << QStringLiteral(" [10]") << QStringLiteral(" [10]")
             << QStringLiteral("Notizen [12 fett]") << kRule + QStringLiteral(" [12 fett]")
             << QStringLiteral(" [12 fett]") << QStringLiteral("Erste Zeile [10]")
             << QStringLiteral("Zweite Zeile [10]");
    EXPECT_EQ(described(out.lines), expected);
    EXPECT_EQ(out.finished, 1);
}

TEST(Layouts, FieldsLayoutPrintsEveryLineInOrderWithItsFont) {
    const Printout out = printOut(PrintLayout::Fields, vt::sampleData());
    QStringList expected = {QStringLiteral(" [10]")};
    expected << fieldLines() << QStringLiteral(" [10]") << QStringLiteral("KartenNr: \t7 [10]");
    EXPECT_EQ(described(out.lines), expected);
    EXPECT_EQ(out.finished, 1);
}

TEST(Layouts, EveryLayoutUsesItsFaceAndOrigin) {
    PrintData data = vt::sampleData();
    data.margins = {70, 40};
    const struct {
        PrintLayout layout;
        QString face;
        double left, top;
    } cases[] = {
        {PrintLayout::Card, QStringLiteral("DejaVu Sans"), -35, -22},
        {PrintLayout::Fields, QStringLiteral("DejaVu Sans"), -35, -22},
        {PrintLayout::Notes, QStringLiteral("DejaVu Sans"), -35, -22},
        {PrintLayout::Address, QStringLiteral("DejaVu Serif"), -35, -65},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(printing::layoutName(c.layout).toStdString());
        const Printout out = printOut(c.layout, data);
        ASSERT_FALSE(out.lines.empty());
        for (const auto& line : out.lines) {
            EXPECT_EQ(line.font.face, c.face) << line.text.toStdString();
            EXPECT_FALSE(line.font.italic);
            EXPECT_EQ(line.originLeft, c.left);
            EXPECT_EQ(line.originTop, c.top);
        }
    }
}

TEST(Layouts, WithoutACardEveryLabelIsPrintedWithAnEmptyValue) {
    PrintData data;
    data.fieldFace = QStringLiteral("DejaVu Sans");
    for (const PrintLayout layout : {PrintLayout::Card, PrintLayout::Fields}) {
        SCOPED_TRACE(printing::layoutName(layout).toStdString());
        QStringList labels;
        for (const auto& line : printOut(layout, data).lines) {
            if (line.items.size() < 2) {
                continue;
            }
            labels << line.items.front();
            for (const QString& value : line.items.mid(1)) {
                EXPECT_TRUE(value.isEmpty() || value == u"KartenNr.: ") << value.toStdString();
            }
        }
        QStringList expected = {
            "Anrede: ", "Vorname: ",  "Nachname: ", "Abteilung: ", "Firma: ",   "PLZ: ",  "Ort: ",
            "Straße: ", "Webseite: ", "E-Mail: ",   "Telefon: ",   "Telefax: ", "Handy: "};
        if (layout == PrintLayout::Card) {
            expected.prepend(QStringLiteral("Kategorie: "));
            expected.prepend(QStringLiteral("Karte: "));
        } else {
            expected.append(QStringLiteral("KartenNr: "));
        }
        EXPECT_EQ(labels, expected);
    }
}

TEST(Layouts, TelephoneAndFaxCarryTheDiallingCodeTheMobileNever) {
    const struct {
        const char *code, *phone, *fax;
        const char *phoneLine, *faxLine;
    } cases[] = {
        {"", "12345", "", "Telefon: \t12345", "Telefax: \t"},
        {"0951", "12345", "12346", "Telefon: \t(0951) 12345", "Telefax: \t(0951) 12346"},
        {"0951", "", "", "Telefon: \t(0951) ", "Telefax: \t(0951) "},
    };
    for (const auto& c : cases) {
        PrintData data = vt::sampleData();
        data.card.set(Field::Vorwahl, QString::fromUtf8(c.code));
        data.card.set(Field::Telefon, QString::fromUtf8(c.phone));
        data.card.set(Field::Fax, QString::fromUtf8(c.fax));
        for (const PrintLayout layout : {PrintLayout::Card, PrintLayout::Fields}) {
            const Printout out = printOut(layout, data);
            QStringList texts;
            for (const auto& line : out.lines) {
                texts << line.text;
            }
            const auto at = texts.indexOf(QString::fromUtf8(c.phoneLine));
            ASSERT_GE(at, 0) << c.phoneLine;
            EXPECT_EQ(texts.value(at + 1), QString::fromUtf8(c.faxLine));
            EXPECT_EQ(texts.value(at + 2), QStringLiteral("Handy: \t0170 1234567"));
        }
    }
}

TEST(Layouts, NotesAndAddressPrintEachLineOfTheirPlainText) {
    PrintData data = vt::sampleData();
    data.card.set(Field::Notizen, QStringLiteral("eins\r\nzwei\rdrei\nvier\u2028fünf"));
    QStringList notes;
    for (const auto& line : printOut(PrintLayout::Notes, data).lines) {
        notes << line.text;
        EXPECT_EQ(line.font.points, 10.0);
        EXPECT_FALSE(line.font.bold);
    }
    EXPECT_EQ(notes, QStringList({"", "eins", "zwei", "drei", "vier", "fünf"}));

    QStringList address;
    for (const auto& line : printOut(PrintLayout::Address, data).lines) {
        address << line.text;
        EXPECT_EQ(line.font.points, 12.0);
    }
    EXPECT_EQ(address, QStringList({"", "Frau", "Anna Muster", "Lange Straße 3", "96047 Bamberg"}));
}

TEST(Layouts, AddressSelectionWithMixedFacesKeepsThePrinterFont) {
    const platform::PrintFont carried{QStringLiteral("Liberation Mono"), 14.0, false, false};
    const struct {
        std::optional<QString> face;
        std::optional<double> points;
        QString expectedFace;
        double expectedPoints;
    } cases[] = {
        {QStringLiteral("DejaVu Serif"), 9.0, QStringLiteral("DejaVu Serif"), 9.0},
        {std::nullopt, 9.0, QStringLiteral("Liberation Mono"), 9.0},
        {QStringLiteral("DejaVu Serif"), std::nullopt, QStringLiteral("DejaVu Serif"), 14.0},
        {std::nullopt, std::nullopt, QStringLiteral("Liberation Mono"), 14.0},
    };
    for (const auto& c : cases) {
        PrintData data = vt::sampleData();
        data.addressFace = c.face;
        data.addressPoints = c.points;
        const Printout out = printOut(PrintLayout::Address, data, carried);
        ASSERT_FALSE(out.lines.empty());
        EXPECT_EQ(out.lines.front().font.face, c.expectedFace);
        EXPECT_EQ(out.lines.front().font.points, c.expectedPoints);
    }
}

TEST(Layouts, MarginsBelowFiveMillimetresStartAtThePrintableEdge) {
    const struct {
        int top, left;
        double originTop, originLeft;
    } cases[] = {
        {50, 25, -45, -20}, {5, 5, 0, 0},         {0, 0, 0, 0},
        {3, 4, 0, 0},       {100, 100, -95, -95}, {250, -7, -95, 0},
    };
    for (const auto& c : cases) {
        PrintData data = vt::sampleData();
        data.margins = {c.top, c.left};
        const Printout out = printOut(PrintLayout::Address, data);
        ASSERT_FALSE(out.lines.empty());
        EXPECT_EQ(out.lines.front().originTop, c.originTop) << c.top;
        EXPECT_EQ(out.lines.front().originLeft, c.originLeft) << c.left;
    }
}

TEST(Layouts, MarginsComeFromTheSettingsWithDefaultsAndLimits) {
    const struct {
        const char *top, *left;
        int expectedTop, expectedLeft;
    } cases[] = {
        {"", "", 50, 25},      {"30", "12", 30, 12},   {"abc", "7,6", 50, 8},
        {"150", "-3", 100, 0}, {" 0 ", "100", 0, 100}, {"nan", "inf", 50, 25},
    };
    for (const auto& c : cases) {
        vt::TestHome home;
        settings::write(settings::key::SLd3, QString::fromUtf8(c.top));
        settings::write(settings::key::SLd4, QString::fromUtf8(c.left));
        const auto margins = printing::PrintMargins::fromSettings();
        EXPECT_EQ(margins.top, c.expectedTop) << c.top;
        EXPECT_EQ(margins.left, c.expectedLeft) << c.left;
    }
}

}  // namespace
