#include "richtext/BlockFormatter.h"

#include "platform/Platform.h"
#include "richtext/RichTextBlock.h"

#include <QTextCharFormat>

namespace veltro::richtext {
namespace {

constexpr int kPresetPointSize = 10;

Tri styleOf(const SelectionAttributes& attributes, Style style) {
    switch (style) {
        case Style::Bold:
            return attributes.bold;
        case Style::Italic:
            return attributes.italic;
        case Style::Underline:
            return attributes.underline;
        case Style::Bullet:
            return attributes.bullet;
    }
    return Tri::Mixed;
}

QTextCharFormat fontFormat(const QFont& font) {
    QTextCharFormat format;
    if (font.pointSizeF() > 0) {
        format.setFontPointSize(font.pointSizeF());
    }
    format.setFontFamilies(QStringList{font.family()});
    // The stored text knows bold or not, nothing between.
    format.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
    format.setFontItalic(font.italic());
    format.setFontUnderline(font.underline());
    format.setFontStrikeOut(font.strikeOut());
    return format;
}

}  // namespace

BlockFormatter::BlockFormatter(RichTextBlock& address, RichTextBlock& notes)
    : address_(address), notes_(notes) {}

bool BlockFormatter::toggle(RichTextBlock& block, Style style) {
    const bool on = styleOf(block.selectionAttributes(), style) != Tri::True;
    QTextCharFormat format;
    switch (style) {
        case Style::Bold:
            format.setFontWeight(on ? QFont::Bold : QFont::Normal);
            break;
        case Style::Italic:
            format.setFontItalic(on);
            break;
        case Style::Underline:
            format.setFontUnderline(on);
            break;
        case Style::Bullet:
            block.setSelectionBullet(on);
            return styleOf(block.selectionAttributes(), style) == Tri::True;
    }
    block.mergeCurrentCharFormat(format);
    return styleOf(block.selectionAttributes(), style) == Tri::True;
}

void BlockFormatter::align(RichTextBlock& block, Alignment alignment) {
    block.setSelectionAlignment(alignment);
}

bool BlockFormatter::chooseFontForBoth() {
    return chooseFont(address_, {&notes_, &address_});
}

bool BlockFormatter::chooseFontFor(RichTextBlock& block) {
    return chooseFont(block, {&block});
}

bool BlockFormatter::chooseFont(RichTextBlock& presetFrom,
                                std::initializer_list<RichTextBlock*> targets) {
    // Styles are not preset: the dialog shows what it held when it was last closed.
    QFont preset = dialogFont_;
    // A selection of several faces presets none; the dialog keeps its last face then.
    if (const std::optional<QString> face = presetFrom.selectionAttributes().face) {
        preset.setFamilies(QStringList{*face});
    }
    preset.setPointSize(kPresetPointSize);
    const std::optional<QFont> chosen = platform::current().chooseFont(preset, QString());
    if (!chosen) {
        return false;
    }
    dialogFont_ = *chosen;
    const QTextCharFormat format = fontFormat(*chosen);
    for (RichTextBlock* target : targets) {
        target->mergeCurrentCharFormat(format);
    }
    return true;
}

bool BlockFormatter::chooseColourForBoth() {
    const QColor preset = address_.selectionAttributes().colour.value_or(dialogColour_);
    const std::optional<QColor> chosen = platform::current().chooseColor(preset);
    if (!chosen) {
        return false;
    }
    dialogColour_ = *chosen;
    QTextCharFormat format;
    format.setForeground(*chosen);
    notes_.mergeCurrentCharFormat(format);
    address_.mergeCurrentCharFormat(format);
    return true;
}

}  // namespace veltro::richtext
