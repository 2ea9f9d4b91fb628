// Sheets and envelopes measured in millimetres.
#include "FakeCanvas.h"

#include "labels/Envelope.h"
#include "labels/EnvelopeDocument.h"
#include "labels/FitText.h"
#include "labels/LabelDocument.h"
#include "labels/LabelSheet.h"

#include <gtest/gtest.h>

using namespace veltro::labels;
using veltro::testing::FakeCanvas;

namespace {

constexpr double kExact = 1e-9;

struct SheetCase {
    const char* id;
    int columns, rows;
    RectMm first;  // label 1
    RectMm last;   // the last label on the sheet
};

TEST(LabelSheets, EveryCatalogueSheetPutsItsLabelsWhereTheMakerDoes) {
    const SheetCase cases[] = {
        {"3474", 3, 8, {0, 0.5, 70, 37}, {140, 259.5, 70, 37}},
        {"3475", 3, 8, {0, 4.5, 70, 36}, {140, 256.5, 70, 36}},
        {"3490", 3, 8, {0, 4.5, 70, 36}, {140, 256.5, 70, 36}},
        {"3422", 3, 8, {0, 8.5, 70, 35}, {140, 253.5, 70, 35}},
        {"3652", 3, 7, {0, 0.45, 70, 42.3}, {140, 254.25, 70, 42.3}},
        {"L7163", 2, 7, {4.65, 15.15, 99.1, 38.1}, {106.25, 243.75, 99.1, 38.1}},
        {"4780", 4, 10, {8, 21.5, 48.5, 25.4}, {153.5, 250.1, 48.5, 25.4}},
    };
    ASSERT_EQ(sheetCatalogue().size(), std::size(cases));
    for (const SheetCase& c : cases) {
        SCOPED_TRACE(c.id);
        const auto sheet = sheetById(QString::fromLatin1(c.id));
        ASSERT_TRUE(sheet);
        EXPECT_EQ(sheet->columns, c.columns);
        EXPECT_EQ(sheet->rows, c.rows);
        const RectMm first = sheet->labelRect(0);
        const RectMm last = sheet->labelRect(sheet->count() - 1);
        for (const auto& [got, want] : {std::pair{first, c.first}, std::pair{last, c.last}}) {
            EXPECT_NEAR(got.x, want.x, kExact);
            EXPECT_NEAR(got.y, want.y, kExact);
            EXPECT_NEAR(got.width, want.width, kExact);
            EXPECT_NEAR(got.height, want.height, kExact);
        }
        EXPECT_FALSE(sheet->problem()) << sheet->problem()->toStdString();
        // Every label on the page, none overlapping its right or lower neighbour.
        for (int i = 0; i < sheet->count(); ++i) {
            const RectMm label = sheet->labelRect(i);
            EXPECT_TRUE((RectMm{0, 0, 210, 297}.contains(label))) << i;
            if ((i + 1) % sheet->columns != 0) {
                EXPECT_LE(label.right(), sheet->labelRect(i + 1).x + kExact) << i;
            }
            if (i + sheet->columns < sheet->count()) {
                EXPECT_LE(label.bottom(), sheet->labelRect(i + sheet->columns).y + kExact) << i;
            }
        }
    }
    EXPECT_TRUE(sheetById(QStringLiteral("l7163")));
    EXPECT_FALSE(sheetById(QStringLiteral("9999")));
}

TEST(LabelSheets, ACustomSheetThatCannotBePrintedSaysWhy) {
    struct Case {
        const char* what;
        void (*change)(LabelSheet&);
        bool fine;
    };
    const Case cases[] = {
        {"as it starts", [](LabelSheet&) {}, true},
        {"gaps that fit",
         [](LabelSheet& s) {
             s.gapY = 0.0;
             s.rows = 8;
             s.top = 0.0;
         },
         true},
        {"too wide", [](LabelSheet& s) { s.gapX = 1.0; }, false},
        {"too low", [](LabelSheet& s) { s.rows = 9; }, false},
        {"negative margin", [](LabelSheet& s) { s.left = -1.0; }, false},
        {"no columns", [](LabelSheet& s) { s.columns = 0; }, false},
        {"tiny label",
         [](LabelSheet& s) {
             s.label = {5.0, 3.0};
         },
         false},
        {"not a number", [](LabelSheet& s) { s.top = std::nan(""); }, false},
    };
    for (const Case& c : cases) {
        LabelSheet sheet = customSheet();
        c.change(sheet);
        EXPECT_EQ(!sheet.problem().has_value(), c.fine) << c.what;
    }
    EXPECT_EQ(customSheet().id, kCustomSheetId);
}

TEST(LabelDocument, TheStartPositionSkipsUsedLabelsAndFollowingSheetsStartAtTheTop) {
    LabelOptions options{*sheetById(QStringLiteral("3474")), 23, {}, false};
    int page = -1;
    EXPECT_EQ(labelFor(options, 0, &page), options.sheet.labelRect(22));
    EXPECT_EQ(page, 0);
    EXPECT_EQ(labelFor(options, 1, &page), options.sheet.labelRect(23));
    EXPECT_EQ(labelFor(options, 2, &page), options.sheet.labelRect(0));
    EXPECT_EQ(page, 1);

    FakeCanvas canvas;
    const std::vector<QStringList> addresses(
        3, QStringList{QStringLiteral("Anna Bauer"), QStringLiteral("96047 Bamberg")});
    const auto placed = drawLabels(canvas, options, addresses);
    ASSERT_EQ(placed.size(), 3u);
    EXPECT_EQ(canvas.pages, 2);
    ASSERT_EQ(canvas.texts.size(), 6u);
    // Each text starts inside its label, by the padding.
    EXPECT_NEAR(canvas.texts[0].x, 70 + kLabelPaddingX, kExact);
    EXPECT_NEAR(canvas.texts[0].top, 0.5 + 7 * 37 + kLabelPaddingY, kExact);
    EXPECT_EQ(canvas.texts[4].page, 1);
    EXPECT_NEAR(canvas.texts[4].x, kLabelPaddingX, kExact);
    EXPECT_NEAR(canvas.texts[4].top, 0.5 + kLabelPaddingY, kExact);
    EXPECT_TRUE(canvas.frames.empty());
    EXPECT_TRUE(canvas.cutMarks.empty());

    options.frames = true;
    FakeCanvas framed;
    drawLabels(framed, options, addresses);
    EXPECT_EQ(framed.frames.size(), 48u);  // every label of both sheets
}

TEST(LabelDocument, TooMuchTextShrinksThenIsCutAndMarked) {
    const LabelOptions options{
        *sheetById(QStringLiteral("4780")), 1, {QString(), 10.0, false}, false};
    // 4780: text box 40.5 × 19.4 mm. At 10 pt a line holds 20 characters, four lines fit.
    const std::vector<QStringList> addresses = {
        {QStringLiteral("Kurz"), QStringLiteral("Zeile")},
        {QString(24, u'x')},                  // fits only at a smaller size
        {QString(60, u'y')},                  // too wide even at 7 pt
        QStringList(9, QStringLiteral("z")),  // too many lines even at 7 pt
    };
    FakeCanvas canvas;
    const auto placed = drawLabels(canvas, options, addresses);
    EXPECT_EQ(placed[0].points, 10.0);
    EXPECT_FALSE(placed[0].shrunk || placed[0].cut);
    EXPECT_TRUE(placed[1].shrunk);
    EXPECT_FALSE(placed[1].cut);
    EXPECT_LE(placed[1].points, 40.5 / (24 * 0.2));
    EXPECT_GE(placed[1].points, kSmallestPoints);
    EXPECT_TRUE(placed[2].cut);
    EXPECT_EQ(placed[2].points, kSmallestPoints);
    EXPECT_TRUE(placed[3].cut);
    EXPECT_EQ(canvas.cutMarks.size(), 2u);
    for (const FakeCanvas::Text& text : canvas.texts) {
        EXPECT_LE(static_cast<double>(text.text.size()) * text.points * 0.2, 40.5)
            << text.text.toStdString();
    }
    const auto lastLines = std::count_if(canvas.texts.begin(), canvas.texts.end(),
                                         [](const auto& t) { return t.x > 150.0; });
    EXPECT_EQ(lastLines, 6);  // 19.4 mm hold six lines of 7 pt; the sixth ends in "…"
    EXPECT_TRUE(canvas.texts.back().text.endsWith(kEllipsis));
}

TEST(FitText, AnEllipsisOnlyWhereTextIsLeftOut) {
    FakeCanvas metrics;
    metrics.setStyle({QString(), 10.0, false});
    EXPECT_EQ(elided(QStringLiteral("abc"), 6.0, metrics), QStringLiteral("abc"));
    EXPECT_EQ(elided(QStringLiteral("abcdef"), 6.0, metrics), QStringLiteral("ab…"));
    EXPECT_EQ(elided(QStringLiteral("ab cdef"), 8.0, metrics), QStringLiteral("ab…"));
    EXPECT_EQ(elided(QStringLiteral("abcdef"), 0.0, metrics), kEllipsis);
    // A size that is no size is the usual one, not an endless shrink.
    const FittedText fitted =
        fitText({QStringLiteral("a")}, {QString(), std::nan(""), false}, {50, 50}, metrics);
    EXPECT_EQ(fitted.points, 10.0);
}

struct WindowCase {
    EnvelopeFormat format;
    LetterForm form;
    RectMm window;
    double addressTop;
};

TEST(Envelopes, TheAddressSitsInTheWindowOfEveryFormat) {
    const WindowCase cases[] = {
        {EnvelopeFormat::DL, LetterForm::A, {20, 50, 90, 45}, 67.7},
        {EnvelopeFormat::C6, LetterForm::A, {20, 54, 90, 45}, 71.7},
        {EnvelopeFormat::C5, LetterForm::A, {20, 27, 90, 40}, 39.7},
        {EnvelopeFormat::C5, LetterForm::B, {20, 45, 90, 45}, 62.7},
        {EnvelopeFormat::C4, LetterForm::A, {20, 27, 90, 40}, 39.7},
        {EnvelopeFormat::C4, LetterForm::B, {20, 45, 90, 45}, 62.7},
    };
    for (const WindowCase& c : cases) {
        const EnvelopeFormatInfo& info = formatInfo(c.format);
        SCOPED_TRACE(info.id.toStdString());
        const AddressWindow window = addressWindow(c.format, c.form);
        EXPECT_NEAR(window.window.x, c.window.x, kExact);
        EXPECT_NEAR(window.window.y, c.window.y, kExact);
        EXPECT_NEAR(window.window.width, c.window.width, kExact);
        EXPECT_NEAR(window.window.height, c.window.height, kExact);
        EXPECT_NEAR(window.address.y, c.addressTop, kExact);
        EXPECT_NEAR(window.address.x, 25.0, kExact);
        EXPECT_NEAR(window.address.height, 27.3, kExact);
        EXPECT_TRUE(window.window.contains(window.address));
        EXPECT_TRUE(window.window.contains(window.sender));
        EXPECT_NEAR(window.sender.bottom(), window.address.y, kExact);
        EXPECT_TRUE((RectMm{0, 0, info.size.width, info.size.height}.contains(window.window)));
        EXPECT_EQ(envelopeById(info.id.toLower()), c.format);
    }
}

TEST(Envelopes, EachAddressGetsAPageWithTheSenderAboveIt) {
    EnvelopeOptions options;
    options.format = EnvelopeFormat::C5;
    options.form = LetterForm::B;
    options.sender = QStringLiteral("Max Muster · Hauptstraße 1 · 96047 Bamberg");
    FakeCanvas canvas;
    const auto printed = drawEnvelopes(
        canvas, options,
        {{QStringLiteral("Frau"), QStringLiteral("Anna Bauer")}, {QStringLiteral("Firma")}});
    EXPECT_EQ(printed.size(), 2u);
    EXPECT_EQ(canvas.pages, 2);
    ASSERT_EQ(canvas.texts.size(), 5u);
    const AddressWindow window = addressWindow(options.format, options.form);
    EXPECT_EQ(canvas.texts[0].points, kSenderPoints);
    EXPECT_NEAR(canvas.texts[0].top + kSenderPoints * 0.4, window.address.y, kExact);
    EXPECT_NEAR(canvas.texts[1].top, window.address.y, kExact);
    EXPECT_NEAR(canvas.texts[2].top, window.address.y + 11 * 0.4, kExact);
    EXPECT_FALSE(printed[0].cut);

    // A sender too long for the window is cut, and said so.
    options.sender = QString(100, u's');
    FakeCanvas cut;
    EXPECT_TRUE(drawEnvelopes(cut, options, {{QStringLiteral("A")}})[0].cut);
    EXPECT_EQ(envelopePage(options), (SizeMm{229, 162}));
    options.turned = true;
    EXPECT_EQ(envelopePage(options), (SizeMm{162, 229}));
    FakeCanvas turned;
    drawEnvelopes(turned, options, {{QStringLiteral("A")}});
    EXPECT_TRUE(turned.turned);
}

}  // namespace
