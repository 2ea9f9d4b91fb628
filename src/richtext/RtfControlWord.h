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

// The three below are inline: every control word of a document passes them.

// The character a word like \emdash or \tab stands for.
inline std::optional<char16_t> specialCharacter(RtfControlWord word) {
    using W = RtfControlWord;
    switch (word) {
        case W::Emdash:
            return 0x2014;
        case W::Endash:
            return 0x2013;
        case W::Emspace:
            return 0x2003;
        case W::Enspace:
            return 0x2002;
        case W::Qmspace:
            return 0x2005;
        case W::Bullet:
            return 0x2022;
        case W::Lquote:
            return 0x2018;
        case W::Rquote:
            return 0x2019;
        case W::Ldblquote:
            return 0x201C;
        case W::Rdblquote:
            return 0x201D;
        case W::Line:
            return 0x2028;
        case W::Tab:
            return u'\t';
        default:
            return std::nullopt;
    }
}

// \ql \qr \qc \qj
inline std::optional<Alignment> alignmentOf(RtfControlWord word) {
    using W = RtfControlWord;
    switch (word) {
        case W::AlignLeft:
            return Alignment::Left;
        case W::AlignRight:
            return Alignment::Right;
        case W::AlignCenter:
            return Alignment::Center;
        case W::AlignJustify:
            return Alignment::Justify;
        default:
            return std::nullopt;
    }
}

// \ansi \mac \pc \pca
inline std::optional<int> characterSetCodePage(RtfControlWord word) {
    using W = RtfControlWord;
    switch (word) {
        case W::Ansi:
            return 1252;
        case W::Mac:
            return 10000;
        case W::Pc:
            return 437;
        case W::Pca:
            return 850;
        default:
            return std::nullopt;
    }
}

}  // namespace veltro::richtext
