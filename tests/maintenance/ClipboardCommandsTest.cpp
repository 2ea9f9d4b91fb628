#include "maintenance/ClipboardCommands.h"
#include "richtext/RichTextBlock.h"
#include "richtext/StoredText.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>

namespace veltro::maintenance {
namespace {

using richtext::RichTextBlock;
using richtext::Tri;

const QString kAddress =
    QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 \\b Herrn\\b0\\par Max Muster\\par}");
const QString kRtf = QStringLiteral("text/rtf");

QClipboard& clipboard() {
    return *QApplication::clipboard();
}

void select(RichTextBlock& block, int anchor, int position) {
    QTextCursor cursor = block.textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    block.setTextCursor(cursor);
}

void putPlainText(const QString& text) {
    clipboard().setText(text);
}

TEST(ClipboardCommands, CopyBlockOffersRichAndPlainTextOfTheWholeBlock) {
    RichTextBlock block;
    block.setRtfText(kAddress);
    select(block, 1, 3);
    ClipboardCommands::copyBlock(block);
    const QMimeData* mime = clipboard().mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->text(), u"Herrn\nMax Muster");
    const richtext::RichDocument copied =
        richtext::documentFromStored(QByteArrayView(mime->data(kRtf)));
    ASSERT_EQ(copied.paragraphs.size(), 2u);
    EXPECT_TRUE(copied.paragraphs[0].runs.at(0).format.bold);
    EXPECT_EQ(block.textCursor().selectedText(), u"er") << "the selection stays";
}

TEST(ClipboardCommands, CopyingAnEmptyBlockLeavesTheClipboardEmpty) {
    putPlainText(QStringLiteral("vorher"));
    RichTextBlock block;
    block.setRtfText(QString());
    ClipboardCommands::copyBlock(block);
    const QMimeData* mime = clipboard().mimeData();
    EXPECT_TRUE(mime == nullptr || mime->formats().isEmpty());
    EXPECT_EQ(clipboard().text(), QString());
}

TEST(ClipboardCommands, PastingIntoTheNotesKeepsCopiedFormatOnly) {
    RichTextBlock address;
    address.setRtfText(kAddress);
    RichTextBlock notes;
    notes.setRtfText(QStringLiteral("Notiz"));
    ClipboardCommands::copyBlock(address);
    select(notes, 5, 5);
    ClipboardCommands::paste(&notes);
    EXPECT_EQ(notes.plainText(), u"NotizHerrn\nMax Muster");
    select(notes, 5, 10);
    EXPECT_EQ(notes.selectionAttributes().bold, Tri::True) << "the address kept its bold";

    // Text from another program arrives plain; a bold look would be the cursor's own.
    putPlainText(QStringLiteral("<b>fremd</b>"));
    select(notes, 0, 0);
    ClipboardCommands::paste(&notes);
    EXPECT_TRUE(notes.plainText().startsWith(u"<b>fremd</b>Notiz"));
    select(notes, 0, 12);
    EXPECT_EQ(notes.selectionAttributes().bold, Tri::False);
}

// What the control shows and what the clipboard holds after one command.
struct Outcome {
    QString text;
    QString clipboardText;
    bool clipboardHasRtf;
};

TEST(ClipboardCommands, EditCommandsWorkOnTheFocusedControl) {
    using Command = std::function<void(QWidget*)>;
    const Command cut = ClipboardCommands::cut;
    const Command copy = ClipboardCommands::copy;
    const Command paste = ClipboardCommands::paste;
    const Command erase = ClipboardCommands::deleteSelection;
    enum class Control { Block, Box, ReadOnlyBox, Button, None };
    const struct {
        const char* name;
        Control control;
        Command command;
        int from, to;  // selection
        Outcome expected;
    } cases[] = {
        // A block: rich text on the clipboard and back.
        {"cut in a block", Control::Block, cut, 0, 5, {"\nMax Muster", "Herrn", true}},
        {"copy in a block", Control::Block, copy, 6, 9, {"Herrn\nMax Muster", "Max", true}},
        {"copy without a selection empties",
         Control::Block,
         copy,
         2,
         2,
         {"Herrn\nMax Muster", "", false}},
        {"paste in a block", Control::Block, paste, 6, 9, {"Herrn\nNeu Muster", "Neu", false}},
        {"delete in a block", Control::Block, erase, 5, 9, {"Herrn Muster", "Neu", false}},
        // A single-line box: plain text only.
        {"cut in a box", Control::Box, cut, 0, 5, {"straße 1", "Haupt", false}},
        {"copy in a box", Control::Box, copy, 5, 11, {"Hauptstraße 1", "straße", false}},
        {"cut without a selection empties", Control::Box, cut, 3, 3, {"Hauptstraße 1", "", false}},
        {"paste in a box", Control::Box, paste, 0, 5, {"Neustraße 1", "Neu", false}},
        {"delete in a box", Control::Box, erase, 5, 12, {"Haupt1", "Neu", false}},
        {"delete without a selection", Control::Box, erase, 5, 5, {"Hauptstraße 1", "Neu", false}},
        // Controls that must not change.
        {"cut in a read-only box copies",
         Control::ReadOnlyBox,
         cut,
         0,
         5,
         {"Hauptstraße 1", "Haupt", false}},
        {"paste in a read-only box",
         Control::ReadOnlyBox,
         paste,
         0,
         5,
         {"Hauptstraße 1", "Neu", false}},
        {"delete in a read-only box",
         Control::ReadOnlyBox,
         erase,
         0,
         5,
         {"Hauptstraße 1", "Neu", false}},
        {"paste on a button", Control::Button, paste, 0, 0, {"OK", "Neu", false}},
        {"delete on a button", Control::Button, erase, 0, 0, {"OK", "Neu", false}},
        {"paste with no focus", Control::None, paste, 0, 0, {"", "Neu", false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        putPlainText(QStringLiteral("Neu"));
        RichTextBlock block;
        block.setRtfText(kAddress);
        QLineEdit box(QString::fromUtf8("Hauptstraße 1"));
        box.setReadOnly(c.control == Control::ReadOnlyBox);
        QPushButton button(QStringLiteral("OK"));

        QWidget* focused = nullptr;
        std::function<QString()> text = [] { return QString(); };
        if (c.control == Control::Block) {
            select(block, c.from, c.to);
            focused = &block;
            text = [&block] { return block.plainText(); };
        } else if (c.control == Control::Box || c.control == Control::ReadOnlyBox) {
            box.setSelection(c.from, c.to - c.from);
            focused = &box;
            text = [&box] { return box.text(); };
        } else if (c.control == Control::Button) {
            focused = &button;
            text = [&button] { return button.text(); };
        }
        c.command(focused);

        EXPECT_EQ(text(), c.expected.text);
        EXPECT_EQ(clipboard().text(), c.expected.clipboardText);
        const QMimeData* mime = clipboard().mimeData();
        EXPECT_EQ(mime && mime->hasFormat(kRtf), c.expected.clipboardHasRtf);
    }
}

}  // namespace
}  // namespace veltro::maintenance
