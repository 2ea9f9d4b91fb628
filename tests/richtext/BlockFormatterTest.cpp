#include "QtPrinters.h"
#include "RecordingPlatform.h"
#include "TestTools.h"
#include "richtext/BlockFormatter.h"
#include "richtext/RichTextBlock.h"

#include <QTest>

#include <gtest/gtest.h>

namespace veltro::richtext {
namespace {

const QString kHead = QStringLiteral(
    "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl ;\\red0\\green0\\blue255;}");

QString rtf(const char* body) {
    return kHead + QString::fromLatin1(body) + QLatin1Char('}');
}

using testing::select;

Tri styleOf(RichTextBlock& block, Style style) {
    const SelectionAttributes a = block.selectionAttributes();
    return style == Style::Bold        ? a.bold
           : style == Style::Italic    ? a.italic
           : style == Style::Underline ? a.underline
                                       : a.bullet;
}

TEST(BlockFormatter, ToggleMakesAMixedSelectionTrueThenFalse) {
    struct Case {
        Style style;
        const char* body;  // "ab" plain, "cd" styled
        int end;           // end of the selection over both
    };
    const Case cases[] = {
        {Style::Bold, "\\f0\\fs20 ab\\b cd\\b0\\par", 4},
        {Style::Italic, "\\f0\\fs20 ab\\i cd\\i0\\par", 4},
        {Style::Underline, "\\f0\\fs20 ab\\ul cd\\ulnone\\par", 4},
        {Style::Bullet, "\\pard\\f0 ab\\par\\pard{\\*\\pn\\pnlvlblt}\\f0 cd\\par", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.style));
        RichTextBlock block;
        block.setRtfText(rtf(c.body));
        select(block, 0, c.end);
        ASSERT_EQ(styleOf(block, c.style), Tri::Mixed);

        EXPECT_TRUE(BlockFormatter::toggle(block, c.style));
        select(block, 0, 1);
        EXPECT_EQ(styleOf(block, c.style), Tri::True) << "the plain part took the style";
        select(block, c.end, 0);
        EXPECT_EQ(styleOf(block, c.style), Tri::True);

        EXPECT_FALSE(BlockFormatter::toggle(block, c.style));
        EXPECT_EQ(styleOf(block, c.style), Tri::False);
        select(block, c.end - 1, c.end);
        EXPECT_EQ(styleOf(block, c.style), Tri::False) << "the styled part lost the style";
    }
}

TEST(BlockFormatter, ToggleAtTheInsertionPointFormatsWhatIsTypedNext) {
    for (const Style style : {Style::Bold, Style::Italic, Style::Underline}) {
        SCOPED_TRACE(static_cast<int>(style));
        RichTextBlock block;
        block.setRtfText(rtf("\\f0\\fs20 ab\\par"));
        select(block, 2, 2);
        EXPECT_TRUE(BlockFormatter::toggle(block, style));
        QTest::keyClicks(&block, QStringLiteral("xy"));
        EXPECT_EQ(block.plainText(), u"abxy");
        select(block, 2, 4);
        EXPECT_EQ(styleOf(block, style), Tri::True);
        select(block, 0, 2);
        EXPECT_EQ(styleOf(block, style), Tri::False) << "text before the cursor kept its format";
    }
}

class BlockFormatterDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        address_.setRtfText(rtf("\\f1\\fs28 Herrn\\par Max Muster\\par"));
        notes_.setRtfText(rtf("\\f0\\fs20 Notiz\\par"));
        select(address_, 0, 5);  // "Herrn", Courier New 14 points
        select(notes_, 5, 5);    // the insertion point after "Notiz"
    }

    testing::ScopedRecordingPlatform platform_;
    RichTextBlock address_;
    RichTextBlock notes_;
    BlockFormatter formatter_{address_, notes_};
};

TEST_F(BlockFormatterDialogs, FontDialogOpensAtTenPointsWithTheAddressFace) {
    QFont answer = QFont(QStringLiteral("Courier New"), 10);
    platform_->fonts.push_back(answer);
    ASSERT_TRUE(formatter_.chooseFontForBoth());
    ASSERT_EQ(platform_->fontRequests.size(), 1u);
    const QFont& preset = platform_->fontRequests.front();
    EXPECT_EQ(preset.pointSize(), 10);
    EXPECT_EQ(preset.family(), u"Courier New");
    EXPECT_FALSE(preset.bold());
    EXPECT_FALSE(preset.underline());

    // Confirming without touching the size makes the 14-point selection 10 points.
    EXPECT_EQ(address_.selectionAttributes().pointSize, 10.0);
    QTest::keyClicks(&notes_, QStringLiteral("x"));
    select(notes_, 5, 6);
    EXPECT_EQ(notes_.selectionAttributes().face, u"Courier New");
    select(notes_, 0, 5);
    EXPECT_EQ(notes_.selectionAttributes().face, u"Arial") << "only the insertion point changed";
}

TEST_F(BlockFormatterDialogs, FontDialogAppliesItsChoiceAndKeepsItsStylesForTheRun) {
    QFont answer(QStringLiteral("Arial"), 16);
    answer.setBold(true);
    answer.setItalic(true);
    answer.setUnderline(true);
    answer.setStrikeOut(true);
    platform_->fonts.push_back(answer);
    ASSERT_TRUE(formatter_.chooseFontForBoth());
    const SelectionAttributes a = address_.selectionAttributes();
    EXPECT_EQ(a.face, u"Arial");
    EXPECT_EQ(a.pointSize, 16.0);
    EXPECT_EQ(a.bold, Tri::True);
    EXPECT_EQ(a.italic, Tri::True);
    EXPECT_EQ(a.underline, Tri::True);
    EXPECT_EQ(a.strike, Tri::True);
    EXPECT_EQ(notes_.selectionAttributes().bold, Tri::True);

    // The next dialog shows the styles it was closed with, at 10 points again, with the
    // face of the block it formats.
    ASSERT_FALSE(formatter_.chooseFontFor(notes_));
    const QFont& again = platform_->fontRequests.at(1);
    EXPECT_EQ(again.pointSize(), 10);
    EXPECT_EQ(again.family(), u"Arial");
    EXPECT_TRUE(again.bold());
    EXPECT_TRUE(again.italic());
    EXPECT_TRUE(again.underline());
}

TEST_F(BlockFormatterDialogs, FontDialogFromOneBlockFormatsThatBlockOnly) {
    const QString addressBefore = address_.rtfText();
    select(notes_, 0, 5);
    platform_->fonts.push_back(QFont(QStringLiteral("Courier New"), 12));
    ASSERT_TRUE(formatter_.chooseFontFor(notes_));
    EXPECT_EQ(platform_->fontRequests.front().family(), u"Arial") << "preset from the notes";
    EXPECT_EQ(notes_.selectionAttributes().face, u"Courier New");
    EXPECT_EQ(notes_.selectionAttributes().pointSize, 12.0);
    EXPECT_EQ(address_.rtfText(), addressBefore);
}

TEST_F(BlockFormatterDialogs, FontDialogOverSeveralFacesKeepsItsLastFace) {
    platform_->fonts.push_back(QFont(QStringLiteral("Arial"), 10));
    ASSERT_TRUE(formatter_.chooseFontFor(notes_));
    address_.setRtfText(rtf("\\f0 ab\\f1 cd\\par"));
    select(address_, 0, 4);
    EXPECT_FALSE(formatter_.chooseFontForBoth());
    ASSERT_EQ(platform_->fontRequests.size(), 2u);
    EXPECT_EQ(platform_->fontRequests.at(1).family(), u"Arial");
    EXPECT_EQ(platform_->fontRequests.at(1).pointSize(), 10);
}

TEST_F(BlockFormatterDialogs, CancelLeavesBothBlocksUnchanged) {
    const QString address = address_.rtfText();
    const QString notes = notes_.rtfText();
    const QTextCharFormat typing = notes_.currentCharFormat();
    EXPECT_FALSE(formatter_.chooseFontForBoth());
    EXPECT_FALSE(formatter_.chooseFontFor(address_));
    EXPECT_FALSE(formatter_.chooseColourForBoth());
    EXPECT_EQ(platform_->fontRequests.size(), 2u);
    EXPECT_EQ(platform_->colorRequests.size(), 1u);
    EXPECT_TRUE(platform_->messages.empty());
    EXPECT_EQ(address_.rtfText(), address);
    EXPECT_EQ(notes_.rtfText(), notes);
    EXPECT_EQ(notes_.currentCharFormat(), typing);
}

TEST_F(BlockFormatterDialogs, ColourReachesTheNotesInsertionPointAndTheAddressSelection) {
    select(address_, 0, 3);
    address_.setTextColor(Qt::darkGreen);
    platform_->colors.push_back(QColor(Qt::red));
    ASSERT_TRUE(formatter_.chooseColourForBoth());
    EXPECT_EQ(platform_->colorRequests.front(), QColor(Qt::darkGreen));
    EXPECT_EQ(address_.selectionAttributes().colour, QColor(Qt::red));
    QTest::keyClicks(&notes_, QStringLiteral("xy"));
    select(notes_, 5, 7);
    EXPECT_EQ(notes_.selectionAttributes().colour, QColor(Qt::red));
    select(notes_, 0, 5);
    EXPECT_EQ(notes_.selectionAttributes().colour, notes_.palette().color(QPalette::Text));

    // Over several colours the dialog opens with the colour it was closed with.
    select(address_, 0, 8);
    ASSERT_EQ(address_.selectionAttributes().colour, std::nullopt);
    EXPECT_FALSE(formatter_.chooseColourForBoth());
    EXPECT_EQ(platform_->colorRequests.at(1), QColor(Qt::red));
}

}  // namespace
}  // namespace veltro::richtext
