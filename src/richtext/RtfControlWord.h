#pragma once

#include "richtext/RichDocument.h"

#include <optional>
#include <string_view>

namespace veltro::richtext {

// The control words the reader acts on; everything else is Unknown and ignored.
enum class RtfControlWord {
    Unknown,
    // header and code pages
    Rtf,
    Urtf,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCpg,
    Deff,
    Uc,
    U,
    Upr,
    Ud,
    // destinations handled
    FontTable,
    ColorTable,
    PnText,
    ListText,
    Pn,
    Field,
    FieldInstruction,
    FieldResult,
    SkippedDestination,
    // font and colour tables
    Font,
    FontCharset,
    FontCodePage,
    Red,
    Green,
    Blue,
    // character formatting
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    FontSize,
    Colour,
    Hidden,
    Super,
    Sub,
    NoSuperSub,
    Up,
    Down,
    // paragraph formatting
    Pard,
    AlignLeft,
    AlignRight,
    AlignCenter,
    AlignJustify,
    LeftIndent,
    FirstIndent,
    ListOverride,
    PnBullet,
    // breaks
    Par,
    Line,
    Tab,
    Cell,
    Row,
    // special characters
    Emdash,
    Endash,
    Emspace,
    Enspace,
    Qmspace,
    Bullet,
    Lquote,
    Rquote,
    Ldblquote,
    Rdblquote,
};

RtfControlWord lookupControlWord(std::string_view word);

// The character a word like \emdash or \tab stands for.
std::optional<char16_t> specialCharacter(RtfControlWord word);
// \ql \qr \qc \qj
std::optional<Alignment> alignmentOf(RtfControlWord word);
// \ansi \mac \pc \pca
std::optional<int> characterSetCodePage(RtfControlWord word);

}  // namespace veltro::richtext
