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
    PnTextBefore,
    PnTextAfter,
    ListTable,
    ListOverrideTable,
    LevelText,
    Picture,
    ShapePicture,
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
    ListLevelNumber,
    PnBullet,
    // list definitions: \pn of older writers, \listtable of newer ones
    PnBody,
    PnContinue,
    PnLevel,
    PnDecimal,
    PnUpperAlpha,
    PnLowerAlpha,
    PnUpperRoman,
    PnLowerRoman,
    PnStart,
    List,
    ListLevel,
    ListId,
    LevelNumberFormat,
    LevelStart,
    ListOverrideEntry,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    // tables
    InTable,
    TableDepth,
    RowDefaults,
    RowLeft,
    CellRight,
    CellMergeFirst,
    CellMergeContinued,
    CellMergeAcross,
    // breaks
    Par,
    Line,
    Tab,
    Cell,
    Row,
    NestCell,
    NestRow,
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
