#pragma once

#include "richtext/RichDocument.h"

#include <QColor>
#include <QFont>

#include <initializer_list>

namespace veltro::richtext {

class RichTextBlock;

enum class Style { Bold, Italic, Underline, Bullet };

// The formatting commands of the address and notes block. Every command works on a block's
// selection, or on its insertion point when nothing is selected. The font and colour dialogs
// keep what they showed last for the rest of the run.
class BlockFormatter {
public:
    BlockFormatter(RichTextBlock& address, RichTextBlock& notes);

    // True becomes false; false and mixed become true. Returns whether the style now reads
    // true, which is what its button shows.
    static bool toggle(RichTextBlock& block, Style style);
    static void align(RichTextBlock& block, Alignment alignment);

    // The font dialog at 10 points with the address block's face, applied to the notes and
    // then to the address block. False when the user cancels.
    bool chooseFontForBoth();
    // The font dialog at 10 points with this block's face, applied to this block only.
    bool chooseFontFor(RichTextBlock& block);
    // The colour dialog preset with the address block's colour, applied to both blocks.
    bool chooseColourForBoth();

private:
    bool chooseFont(RichTextBlock& presetFrom, std::initializer_list<RichTextBlock*> targets);

    RichTextBlock& address_;
    RichTextBlock& notes_;
    // What the dialogs held when they were last closed: regular, no underline, black at first.
    QFont dialogFont_;
    QColor dialogColour_ = Qt::black;
};

}  // namespace veltro::richtext
