#pragma once

class QWidget;

namespace veltro::richtext {
class RichTextBlock;
}

namespace veltro::maintenance {

// Copy of the address or notes block, and cut, copy, paste and delete on the control that
// has the focus: the two blocks keep rich text, single-line boxes work with plain text, any
// other control is left alone.
class ClipboardCommands {
public:
    // The whole block as rich text and plain text at once; an empty block empties the
    // clipboard. The block's own selection stays as it is.
    static void copyBlock(const richtext::RichTextBlock& block);

    // Cut and copy empty the clipboard first, also when nothing is selected.
    static void cut(QWidget* focused);
    static void copy(QWidget* focused);
    // Blocks take the clipboard's rich text when it has some, its plain text otherwise.
    static void paste(QWidget* focused);
    // Deletes the selected text and nothing else.
    static void deleteSelection(QWidget* focused);
};

}  // namespace veltro::maintenance
