#include "TestTools.h"
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
using testing::select;

const QString kAddress =
    QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 \\b Herrn\\b0\\par Max Muster\\par}");
const QString kRtf = QStringLiteral("text/rtf");

QClipboard& clipboard() {
    return *QApplication::clipboard();
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

    // An empty block leaves the clipboard empty.
    block.setRtfText(QString());
    ClipboardCommands::copyBlock(block);
    mime = clipboard().mimeData();
    EXPECT_TRUE(mime == nullptr || mime->formats().isEmpty());
}

// The main window's tests run each command on a whole selection in a box and a block; here the
// edge cases: rich text on the clipboard, no selection, and controls that must not change.
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
        const char *text, *clipboardText;
        bool clipboardHasRtf;
    } cases[] = {
        {"cut in a block", Control::Block, cut, 0, 5, "\nMax Muster", "Herrn", true},
        {"copy in a block", Control::Block, copy, 6, 9, "Herrn\nMax Muster", "Max", true},
        {"copy without a selection", Control::Block, copy, 2, 2, "Herrn\nMax Muster", "", false},
        {"delete in a block", Control::Block, erase, 5, 9, "Herrn Muster", "Neu", false},
        {"cut without a selection", Control::Box, cut, 3, 3, "Hauptstraße 1", "", false},
        {"delete part of a box", Control::Box, erase, 5, 12, "Haupt1", "Neu", false},
        {"delete without a selection", Control::Box, erase, 5, 5, "Hauptstraße 1", "Neu", false},
        {"cut in a read-only box", Control::ReadOnlyBox, cut, 0, 5, "Hauptstraße 1", "Haupt",
         false},
        {"paste in a read-only box", Control::ReadOnlyBox, paste, 0, 5, "Hauptstraße 1", "Neu",
         false},
        {"delete in a read-only box", Control::ReadOnlyBox, erase, 0, 5, "Hauptstraße 1", "Neu",
         false},
        {"paste on a button", Control::Button, paste, 0, 0, "OK", "Neu", false},
        {"delete on a button", Control::Button, erase, 0, 0, "OK", "Neu", false},
        {"paste with no focus", Control::None, paste, 0, 0, "", "Neu", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clipboard().setText(QStringLiteral("Neu"));
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

        EXPECT_EQ(text(), QString::fromUtf8(c.text));
        EXPECT_EQ(clipboard().text(), QString::fromUtf8(c.clipboardText));
        const QMimeData* mime = clipboard().mimeData();
        EXPECT_EQ(mime && mime->hasFormat(kRtf), c.clipboardHasRtf);
    }
}

}  // namespace
}  // namespace veltro::maintenance
