#include "QtPrinters.h"
#include "RecordingPlatform.h"
#include "TestTools.h"
#include "richtext/CommandBars.h"
#include "richtext/FormattingBar.h"
#include "richtext/RichTextBlock.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace veltro::richtext {
namespace {

const QString kBarHead = QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ");

using testing::select;

class FormattingBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* central = new QWidget(&window_);
        auto* layout = new QVBoxLayout(central);
        address_ = new RichTextBlock(central);
        notes_ = new RichTextBlock(central);
        field_ = new QLineEdit(central);
        layout->addWidget(address_);
        layout->addWidget(notes_);
        layout->addWidget(field_);
        window_.setCentralWidget(central);
        bars_ = new CommandBars(window_);
        formatting_ = new FormattingBar(*bars_, *address_, *notes_, &window_);
        formatting_->setTouchedHandler([this] { ++touched_; });
        window_.resize(500, 400);
        window_.show();
        window_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    }

    void click(const char* key) {
        QTest::mouseClick(window_.findChild<QToolButton*>(QLatin1String(key)), Qt::LeftButton);
    }
    bool pressed(const char* key) const { return bars_->isPressed(QLatin1String(key)); }
    void focus(QWidget* widget) {
        widget->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
    }
    // Clicks into the block at a text position, as a person would.
    void clickAt(RichTextBlock& block, int position) {
        QTextCursor cursor(block.document());
        cursor.setPosition(position);
        const QRect rect = block.cursorRect(cursor);
        QTest::mouseClick(block.viewport(), Qt::LeftButton, {}, rect.center());
    }

    testing::ScopedRecordingPlatform platform_;
    QMainWindow window_;
    RichTextBlock* address_ = nullptr;
    RichTextBlock* notes_ = nullptr;
    QLineEdit* field_ = nullptr;
    CommandBars* bars_ = nullptr;
    FormattingBar* formatting_ = nullptr;
    int touched_ = 0;
};

// Mixed, true and false of every style are the formatter's tests; here the bar shows them.
TEST_F(FormattingBarTest, AToggleButtonFormatsTheFocusedBlockOnlyAndShowsTheResult) {
    notes_->setRtfText(kBarHead + QStringLiteral("ab\\b cd\\b0\\par}"));
    const QString notes = notes_->rtfText();
    address_->setRtfText(kBarHead + QStringLiteral("ab\\b cd\\b0\\par}"));
    focus(address_);
    select(*address_, 0, 4);
    EXPECT_FALSE(pressed("tbrFett")) << "mixed reads as not pressed";
    click("tbrFett");
    EXPECT_TRUE(pressed("tbrFett"));
    click("tbrFett");
    EXPECT_FALSE(pressed("tbrFett"));
    select(*address_, 3, 4);
    EXPECT_FALSE(pressed("tbrFett")) << "the bold part lost its bold";
    EXPECT_EQ(notes_->rtfText(), notes) << "the other block is untouched";
}

TEST_F(FormattingBarTest, FormatButtonsDoNothingWithTheFocusOutsideTheBlocks) {
    address_->setRtfText(kBarHead + QStringLiteral("eins\\par}"));
    const QString before = address_->rtfText();
    select(*address_, 0, 4);
    focus(field_);
    field_->setText(QStringLiteral("Feld"));
    for (const char* key :
         {"tbrFett", "tbrKursiv", "tbrUnterstrichen", "tbrBullet", "tbrMitte", "tbrRechts"}) {
        SCOPED_TRACE(key);
        click(key);
        EXPECT_FALSE(pressed(key));
    }
    EXPECT_EQ(address_->rtfText(), before);
    EXPECT_EQ(field_->text(), u"Feld");
    EXPECT_TRUE(platform_->messages.empty());
}

TEST_F(FormattingBarTest, AlignmentButtonsAlignTheFocusedBlockAndPressOneOfThree) {
    notes_->setRtfText(kBarHead + QStringLiteral("eins\\par zwei\\par}"));
    focus(notes_);
    select(*notes_, 1, 1);
    const struct {
        const char* key;
        Alignment alignment;
    } cases[] = {
        {"tbrMitte", Alignment::Center},
        {"tbrRechts", Alignment::Right},
        {"tbrLinks", Alignment::Left},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        click(c.key);
        EXPECT_EQ(notes_->selectionAttributes().alignment, c.alignment);
        EXPECT_EQ(notes_->document()->lastBlock().blockFormat().alignment() & Qt::AlignHCenter, 0)
            << "the other paragraph keeps its alignment";
        for (const char* other : {"tbrLinks", "tbrMitte", "tbrRechts"}) {
            EXPECT_EQ(pressed(other), QLatin1String(other) == QLatin1String(c.key)) << other;
        }
    }
}

TEST_F(FormattingBarTest, TheBarFollowsClicksAndKeysInTheBlocks) {
    address_->setRtfText(kBarHead +
                         QStringLiteral("\\pard\\qc mitte\\par\\pard\\qr rechts \\b fett\\par}"));
    notes_->setRtfText(kBarHead + QStringLiteral("\\pard{\\*\\pn\\pnlvlblt}\\i liste\\par}"));
    const int secondLine = address_->document()->lastBlock().position();

    focus(address_);
    const int before = touched_;
    clickAt(*address_, 2);
    EXPECT_GT(touched_, before) << "a click into a block reports the change";
    EXPECT_TRUE(pressed("tbrMitte"));
    EXPECT_FALSE(pressed("tbrLinks"));
    EXPECT_FALSE(pressed("tbrRechts"));
    EXPECT_FALSE(pressed("tbrFett"));

    // End puts the cursor after the bold part; Shift+Home selects plain and bold text.
    clickAt(*address_, secondLine + 2);
    EXPECT_TRUE(pressed("tbrRechts"));
    EXPECT_FALSE(pressed("tbrMitte"));
    const int keysBefore = touched_;
    QTest::keyClick(address_, Qt::Key_End);
    EXPECT_GT(touched_, keysBefore) << "a key release reports the change";
    EXPECT_TRUE(pressed("tbrFett"));
    QTest::keyClick(address_, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_FALSE(pressed("tbrFett")) << "mixed shows unpressed";

    // A selection over two alignments leaves the alignment buttons alone.
    select(*address_, 1, secondLine + 1);
    EXPECT_TRUE(pressed("tbrRechts"));

    // Into the notes: bullet and italic, left aligned.
    clickAt(*notes_, 2);
    EXPECT_TRUE(pressed("tbrBullet"));
    EXPECT_TRUE(pressed("tbrKursiv"));
    EXPECT_TRUE(pressed("tbrLinks"));
    EXPECT_FALSE(pressed("tbrRechts"));

    // A block without the focus does not move the bar.
    address_->setRtfText(kBarHead + QStringLiteral("\\b fett\\par}"));
    select(*address_, 0, 4);
    EXPECT_FALSE(pressed("tbrFett"));
}

TEST_F(FormattingBarTest, RightAndMiddleClicksDoNotReportAChange) {
    address_->setRtfText(kBarHead + QStringLiteral("eins\\par}"));
    focus(address_);
    const int before = touched_;
    QTest::mouseClick(address_->viewport(), Qt::MiddleButton, {}, QPoint(5, 5));
    EXPECT_EQ(touched_, before);
    QTest::mouseClick(address_->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(touched_, before + 1);
}

TEST_F(FormattingBarTest, FontAndColourButtonsFormatBothBlocks) {
    address_->setRtfText(kBarHead + QStringLiteral("Adresse\\par}"));
    notes_->setRtfText(kBarHead + QStringLiteral("Notiz\\par}"));
    select(*address_, 0, 7);
    select(*notes_, 0, 5);
    focus(notes_);

    QFont bold(QStringLiteral("Arial"), 12);
    bold.setBold(true);
    platform_->fonts.push_back(bold);
    click("tbrFont");
    EXPECT_EQ(address_->selectionAttributes().bold, Tri::True);
    EXPECT_EQ(notes_->selectionAttributes().bold, Tri::True);
    EXPECT_TRUE(pressed("tbrFett")) << "the bar shows the new format of the focused block";

    platform_->colors.push_back(QColor(Qt::blue));
    click("tbrFontColor");
    EXPECT_EQ(address_->selectionAttributes().colour, QColor(Qt::blue));
    EXPECT_EQ(notes_->selectionAttributes().colour, QColor(Qt::blue));

    EXPECT_TRUE(platform_->messages.empty());
}

}  // namespace
}  // namespace veltro::richtext
