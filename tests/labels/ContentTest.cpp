// What goes on the paper: the address of a card, the salutation, the serial-letter file and
// the list.
#include "FakeCanvas.h"

#include "labels/CardAddress.h"
#include "labels/ListColumns.h"
#include "labels/ListDocument.h"
#include "labels/SerialLetter.h"

#include <gtest/gtest.h>

using namespace veltro;
using namespace veltro::labels;
using store::Field;
using veltro::testing::FakeCanvas;
using namespace Qt::Literals::StringLiterals;

namespace {

store::Card card(std::initializer_list<std::pair<Field, const char*>> values) {
    store::Card made;
    for (const auto& [field, value] : values) {
        made.set(field, QString::fromUtf8(value));
    }
    return made;
}

TEST(CardAddress, TheBlockWinsAndTheFieldsStandInWhenItIsEmpty) {
    struct Case {
        const char* what;
        store::Card card;
        QStringList lines;
    };
    const Case cases[] = {
        {"plain block, blank ends dropped",
         card({{Field::Anschrift, "\n Frau\r\nAnna Bauer  \n\n96047 Bamberg\n\n"},
               {Field::Nachname, "Anders"}}),
         {u" Frau"_s, u"Anna Bauer"_s, QString(), u"96047 Bamberg"_s}},
        {"rich text block",
         card({{Field::Anschrift,
                "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Herrn\\par Klaus "
                "Bauer\\par Am Kranen 3}"}}),
         {u"Herrn"_s, u"Klaus Bauer"_s, u"Am Kranen 3"_s}},
        {"composed from the fields",
         card({{Field::Anschrift, "  \n "},
               {Field::Anrede, "Herr"},
               {Field::Vorname, "Klaus"},
               {Field::Nachname, "Meier"},
               {Field::Strasse, "Am Kranen 3"},
               {Field::Postleitzahl, "96047"},
               {Field::Ort, "Bamberg"}}),
         {u"Herrn"_s, u"Klaus Meier"_s, u"Am Kranen 3"_s, u"96047 Bamberg"_s}},
        {"company without person",
         card({{Field::Firma, "Autohaus Wagner GmbH"}, {Field::Ort, "Bamberg"}}),
         {u"Autohaus Wagner GmbH"_s, u"Bamberg"_s}},
        {"nothing at all", card({}), {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(addressLines(c.card), c.lines) << c.what;
    }
}

// A further address of the chosen type goes under the card's names; without one, the card's own.
TEST(CardAddress, AChosenTypeTakesTheFurtherAddressOfThatType) {
    const store::Card meier = card({{Field::Anrede, "Herr"},
                                    {Field::Vorname, "Klaus"},
                                    {Field::Nachname, "Meier"},
                                    {Field::Strasse, "Am Kranen 3"},
                                    {Field::Ort, "Bamberg"}});
    store::CardExtras extras;
    extras.entries = {{store::EntryKind::Anschrift, store::EntryType::Geschaeftlich, u"Hafen 1"_s,
                       u"20457"_s, u"Hamburg"_s},
                      {store::EntryKind::Anschrift, store::EntryType::Privat, u"Rue 1"_s,
                       u"75001"_s, u"Paris"_s, u"Frankreich"_s}};
    const QStringList own = addressLines(meier);
    EXPECT_EQ(
        addressLines(meier, extras, store::EntryType::Privat),
        (QStringList{u"Herrn"_s, u"Klaus Meier"_s, u"Rue 1"_s, u"75001 Paris"_s, u"Frankreich"_s}));
    EXPECT_EQ(addressLines(meier, extras, store::EntryType::Geschaeftlich).mid(2),
              (QStringList{u"Hafen 1"_s, u"20457 Hamburg"_s}));
    EXPECT_EQ(addressLines(meier, extras, store::EntryType::Andere), own);
    EXPECT_EQ(addressLines(meier, extras, std::nullopt), own);
}

TEST(CardAddress, TheSalutationFollowsTheAnredeAndTheLastName) {
    struct Case {
        const char* anrede;
        const char* name;
        const char* salutation;
    };
    const Case cases[] = {
        {"Herr", "Meier", "Sehr geehrter Herr Meier,"},
        {"Herrn", "Meier", "Sehr geehrter Herr Meier,"},
        {"herr  Dr.", " Meier ", "Sehr geehrter Herr Dr. Meier,"},
        {"Frau", "Schulz", "Sehr geehrte Frau Schulz,"},
        {"Frau Prof. Dr.", "Schulz", "Sehr geehrte Frau Prof. Dr. Schulz,"},
        {"Familie", "Becker", "Sehr geehrte Damen und Herren,"},
        {"Frau", "", "Sehr geehrte Damen und Herren,"},
        {"", "Meier", "Sehr geehrte Damen und Herren,"},
        {"Herrenausstatter", "Meier", "Sehr geehrte Damen und Herren,"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(letterSalutation(card({{Field::Anrede, c.anrede}, {Field::Nachname, c.name}})),
                  QString::fromUtf8(c.salutation))
            << c.anrede << '|' << c.name;
    }
}

TEST(SerialLetter, RowsCarryTheSalutationAndOneColumnPerAddressLine) {
    const std::vector<store::Card> cards = {
        card({{Field::Schlagworte, "Meier Klaus"},
              {Field::Anrede, "Herr"},
              {Field::Nachname, "Meier"},
              {Field::Anschrift, "Herrn\nKlaus Meier\nAm Kranen 3\n96047 Bamberg"}}),
        card({{Field::Schlagworte, "Wagner; \"Autohaus\""},
              {Field::Firma, "Wagner"},
              {Field::Anschrift, "Autohaus Wagner\nBamberg"}}),
    };
    const QByteArray csv = serialLetterCsv(cards);
    ASSERT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    const QStringList rows = QString::fromUtf8(csv.mid(3)).split(u"\r\n"_s);
    ASSERT_EQ(rows.size(), 4);  // header, two cards, the empty rest after the last line end
    EXPECT_EQ(rows[0],
              u"Karte;Briefanrede;Anrede;Vorname;Nachname;Firma;Abteilung;Straße;Postleitzahl;"
              "Ort;Zeile 1;Zeile 2;Zeile 3;Zeile 4"_s);
    EXPECT_EQ(rows[1],
              u"Meier Klaus;Sehr geehrter Herr Meier,;Herr;;Meier;;;;;;Herrn;Klaus "
              "Meier;Am Kranen 3;96047 Bamberg"_s);
    EXPECT_EQ(rows[2],
              u"\"Wagner; \"\"Autohaus\"\"\";Sehr geehrte Damen und Herren,;;;;Wagner;;;;"
              ";Autohaus Wagner;Bamberg;;"_s);
    EXPECT_TRUE(rows[3].isEmpty());
}

TEST(ListDocument, ColumnsShareTheWidthAndRowsBreakIntoNumberedPages) {
    EXPECT_EQ(defaultListColumns(),
              (QStringList{u"Karte"_s, u"Telefon"_s, u"Mobil"_s, u"E-Mail"_s}));
    EXPECT_EQ(listColumnByName(u"handy"_s)->name, u"Mobil"_s);
    EXPECT_FALSE(listColumnByName(u"Geburtstag"_s));
    const store::Card meier = card({{Field::Schlagworte, "Meier"},
                                    {Field::Vorwahl, "0951"},
                                    {Field::Telefon, "12 34"},
                                    {Field::Fax, ""},
                                    {Field::Anschrift, "Herrn\nKlaus Meier"}});
    EXPECT_EQ(cellText(meier, u"Telefon"_s), u"(0951) 12 34"_s);
    EXPECT_EQ(cellText(meier, u"Telefax"_s), QString());
    EXPECT_EQ(cellText(meier, u"Anschrift"_s), u"Herrn, Klaus Meier"_s);

    for (const bool landscape : {false, true}) {
        ListOptions options{{u"Karte"_s, u"Unbekannt"_s, u"E-Mail"_s},
                            landscape,
                            u"Privat"_s,
                            QDate(2026, 12, 7),
                            {}};
        const std::vector<store::Card> cards(100, meier);
        FakeCanvas canvas;
        const int pages = drawList(canvas, options, cards);
        const ListLayout layout = layoutList(options, cards.size(), canvas);
        const SizeMm page = listPage(options);
        EXPECT_EQ(page.width > page.height, landscape);
        ASSERT_EQ(layout.columns.size(), 2u);  // the unknown column is left out
        EXPECT_NEAR(layout.columns.back().right() + 2.0, page.width - kListMargin, 1e-9);
        EXPECT_EQ(pages, (100 + layout.rowsPerPage - 1) / layout.rowsPerPage);
        EXPECT_EQ(canvas.pages, pages);
        EXPECT_GT(pages, 1);
        int rows = 0;
        for (const FakeCanvas::Text& text : canvas.texts) {
            rows += text.text == u"Meier"_s ? 1 : 0;
            EXPECT_LE(text.top + text.points * 0.4, page.height - kListMargin / 2)
                << text.text.toStdString();
        }
        EXPECT_EQ(rows, 100);
        const auto footer = std::ranges::find_if(canvas.texts, [&](const auto& text) {
            return text.text == QStringLiteral("Seite %1 von %1").arg(pages);
        });
        EXPECT_NE(footer, canvas.texts.end());
        EXPECT_EQ(std::ranges::count(canvas.texts, u"07.12.2026"_s, &FakeCanvas::Text::text),
                  pages);

        // A preview may stop early; its pages still count the whole list.
        options.maxPages = 1;
        FakeCanvas first;
        EXPECT_EQ(drawList(first, options, cards), pages);
        EXPECT_EQ(first.pages, 1);
        EXPECT_EQ(std::ranges::count(first.texts, QStringLiteral("Seite 1 von %1").arg(pages),
                                     &FakeCanvas::Text::text),
                  1);
    }
}

}  // namespace
