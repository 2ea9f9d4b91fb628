// The control words of RtfReader: what each destination, character, paragraph, table and
// document word does to the reader's state.
#include "richtext/RtfReader.h"

#include "richtext/RtfCharacters.h"
#include "richtext/RtfReaderLimits.h"
#include "richtext/RtfWordClasses.h"

#include <algorithm>

namespace veltro::richtext {

using namespace limits;

namespace {
using W = RtfControlWord;
}  // namespace

// Whether a destination that plain text skips may take the current group: only its own new
// group, where it belongs. Elsewhere the group is skipped, as plain text skips it.
bool RtfReader::takesGroup(Destination within) const {
    const GroupState& s = stack_.back();
    return wantsFormats_ && stack_.size() > 1 && !s.ownDestination && s.destination == within;
}

bool RtfReader::destinationWord(RtfControlWord word, const RtfToken& token) {
    GroupState& s = state();
    const bool nested = stack_.size() > 1;
    switch (word) {
        case W::FontTable:
            if (nested) {
                s.destination = Destination::FontTable;
            }
            return true;
        case W::ColorTable:
            if (nested) {
                s.destination = Destination::ColorTable;
                colours_.clear();
            }
            return true;
        case W::PnText:
        case W::ListText:
            if (nested && s.destination == Destination::Body) {
                s.destination = Destination::ListLabel;
                label_.clear();
            }
            return true;
        case W::Pn:
            if (nested) {
                s.destination = Destination::PnDefinition;
            }
            return true;
        case W::PnTextBefore:
        case W::PnTextAfter:
            if (!takesGroup(Destination::PnDefinition)) {
                skipCurrentGroup();
            } else {
                s.destination =
                    word == W::PnTextBefore ? Destination::PnTextBefore : Destination::PnTextAfter;
                listText_.clear();
            }
            return true;
        case W::ListTable:
        case W::ListOverrideTable:
            if (!takesGroup(Destination::Body)) {
                skipCurrentGroup();  // plain text needs no list formats
            } else {
                s.destination =
                    word == W::ListTable ? Destination::ListTable : Destination::ListOverrideTable;
            }
            return true;
        case W::LevelText:
            if (s.destination == Destination::ListTable) {
                s.destination = Destination::LevelText;
                listText_.clear();
            }
            return true;
        case W::Picture:
            openPicture();
            return true;
        case W::ShapePicture:
            return true;  // holds the picture newer readers show; \nonshppict is skipped
        case W::Upr:
            if (nested) {
                s.beforeUpr = s.destination;
                s.destination = Destination::UprWrapper;
            }
            return true;
        case W::Ud:
            if (s.destination == Destination::UprChild) {
                s.destination = s.beforeUpr;
            }
            return true;
        case W::Field:
            s.fieldLink.clear();
            return true;
        case W::FieldInstruction:
            if (!takesGroup(Destination::Body)) {
                skipCurrentGroup();  // plain text wants the visible result only
            } else {
                s.destination = Destination::FieldInstruction;
                instruction_.clear();
            }
            return true;
        case W::FieldResult:
            s.chars.link = s.fieldLink;  // the result is the visible text
            return true;
        case W::SkippedDestination:
            if (wantsFormats_ && s.destination == Destination::Body && losesContent(token.text)) {
                sink_.dropped();
            }
            skipCurrentGroup();
            return true;
        default:
            return false;
    }
}

void RtfReader::tableWord(RtfControlWord word, const RtfToken& token) {
    using Component = RtfColorTable::Component;
    switch (state().destination) {
        case Destination::FontTable:
            if (word == W::Font && token.hasParam) {
                fonts_.beginEntry(token.param, stack_.size());
            } else if (word == W::FontCharset && token.hasParam) {
                fonts_.setCharset(token.param);
            } else if (word == W::FontCodePage) {
                fonts_.setCodePage(token.param);
            }
            return;
        case Destination::ColorTable:
            if (word == W::Red || word == W::Green || word == W::Blue) {
                colours_.set(word == W::Red     ? Component::Red
                             : word == W::Green ? Component::Green
                                                : Component::Blue,
                             token.param);
            }
            return;
        case Destination::PnDefinition:
            pnWord(word, token);
            return;
        case Destination::ListTable:
        case Destination::ListOverrideTable:
            listTableWord(word, token);
            return;
        case Destination::Picture:
            picture_.word(token.text, token.hasParam, token.param);
            return;
        default:
            return;
    }
}

void RtfReader::pnWord(RtfControlWord word, const RtfToken& token) {
    PnState& pn = state().para.pn;
    switch (word) {
        case W::PnBullet:
            pn.bullet = true;
            return;
        case W::PnBody:
            pn.level = 0;
            return;
        case W::PnLevel:
            pn.level = std::clamp(token.param - 1, 0, kMaxListLevel);
            return;
        case W::PnContinue:
            pn.continues = true;
            return;
        case W::PnDecimal:
            pn.style = ListStyle::Decimal;
            return;
        case W::PnUpperAlpha:
            pn.style = ListStyle::UpperAlpha;
            return;
        case W::PnLowerAlpha:
            pn.style = ListStyle::LowerAlpha;
            return;
        case W::PnUpperRoman:
            pn.style = ListStyle::UpperRoman;
            return;
        case W::PnLowerRoman:
            pn.style = ListStyle::LowerRoman;
            return;
        case W::PnStart:
            pn.start = std::clamp(token.param, 0, kMaxListStart);
            return;
        default:
            return;
    }
}

void RtfReader::listTableWord(RtfControlWord word, const RtfToken& token) {
    if (state().destination == Destination::ListOverrideTable) {
        if (word == W::ListOverrideEntry) {
            lists_.beginOverride();
        } else if (word == W::ListId) {
            lists_.setOverrideListId(token.param);
        } else if (word == W::ListOverride) {
            lists_.setOverrideNumber(token.param);
        }
        return;  // level overrides inside keep the list's own levels
    }
    switch (word) {
        case W::List:
            lists_.beginList();
            return;
        case W::ListLevel:
            lists_.beginLevel();
            return;
        case W::LevelNumberFormat:
            lists_.setNumberFormat(token.param);
            return;
        case W::LevelStart:
            lists_.setStart(std::clamp(token.param, 0, kMaxListStart));
            return;
        case W::ListId:
            lists_.setListId(token.param);
            return;
        default:
            return;
    }
}

bool RtfReader::documentWord(RtfControlWord word, const RtfToken& token) {
    if (const auto codePage = characterSetCodePage(word)) {
        documentCodePage_ = *codePage;
        return true;
    }
    switch (word) {
        case W::AnsiCpg:
            if (token.param > 0 && token.param <= 65535) {
                documentCodePage_ = token.param;
            }
            return true;
        case W::Deff:
            defaultFont_ = token.param;
            return true;
        case W::Uc:
            state().uc = std::clamp(token.param, 0, kMaxUc);
            return true;
        case W::Urtf:
            rawBytesAreUtf8_ = true;
            return true;
        case W::U:
            if (token.hasParam) {
                unicodeWord(token.param);
            }
            return true;
        default:
            return false;
    }
}

bool RtfReader::characterWord(RtfControlWord word, const RtfToken& token) {
    CharState& chars = state().chars;
    switch (word) {
        case W::Plain:
            chars = CharState{};
            return true;
        case W::Bold:
            chars.bold = isOn(token);
            return true;
        case W::Italic:
            chars.italic = isOn(token);
            return true;
        case W::Underline:
            chars.underline = isOn(token);
            return true;
        case W::UnderlineNone:
            chars.underline = false;
            return true;
        case W::Strike:
            chars.strike = isOn(token);
            return true;
        case W::Hidden:
            chars.hidden = isOn(token);
            return true;
        case W::FontSize:
            if (token.hasParam) {
                chars.halfPoints = std::clamp(token.param, 1, 3276);
            }
            return true;
        case W::Font:
            if (token.hasParam) {
                chars.font = token.param;
            }
            return true;
        case W::Colour:
            chars.colour = colours_.at(token.param);
            return true;
        case W::Super:
        case W::Up:
            chars.vertical = isOn(token) ? VerticalAlignment::Super : VerticalAlignment::Normal;
            return true;
        case W::Sub:
        case W::Down:
            chars.vertical = isOn(token) ? VerticalAlignment::Sub : VerticalAlignment::Normal;
            return true;
        case W::NoSuperSub:
            chars.vertical = VerticalAlignment::Normal;
            return true;
        default:
            return false;
    }
}

bool RtfReader::paragraphWord(RtfControlWord word, const RtfToken& token) {
    ParaState& para = state().para;
    const bool inBody = state().destination == Destination::Body;
    if (const auto alignment = alignmentOf(word)) {
        para.alignment = *alignment;
        return true;
    }
    switch (word) {
        case W::Pard:
            para = ParaState{};
            return true;
        case W::LeftIndent:
            para.leftIndent = std::clamp(token.param, -kMaxIndentTwips, kMaxIndentTwips);
            return true;
        case W::FirstIndent:
            para.firstIndent = std::clamp(token.param, -kMaxIndentTwips, kMaxIndentTwips);
            return true;
        case W::ListOverride:
            para.listOverride = token.param;
            return true;
        case W::ListLevelNumber:
            para.listLevel = std::clamp(token.param, 0, kMaxListLevel);
            return true;
        case W::PnBullet:
            para.pn.seen = true;
            para.pn.bullet = true;
            return true;
        case W::SpaceBefore:
            para.spaceBefore = std::clamp(token.param, 0, kMaxIndentTwips);
            return true;
        case W::SpaceAfter:
            para.spaceAfter = std::clamp(token.param, 0, kMaxIndentTwips);
            return true;
        case W::LineSpacing:
            para.lineSpacing = std::clamp(token.param, -kMaxIndentTwips, kMaxIndentTwips);
            return true;
        case W::LineMultiple:
            para.lineMultiple = isOn(token);
            return true;
        case W::InTable:
            para.tableDepth = std::max(para.tableDepth, 1);
            return true;
        case W::TableDepth:
            para.tableDepth = std::clamp(token.param, 0, 100);
            return true;
        case W::Par:
            if (inBody) {
                endParagraph();
            }
            return true;
        case W::Row:
        case W::NestRow:
            if (inBody) {
                endParagraph(End::Row, word == W::NestRow);
            }
            return true;
        case W::Cell:
        case W::NestCell:
            if (inBody && wantsFormats_) {
                endParagraph(End::Cell, word == W::NestCell);
            } else if (inBody) {
                ++pendingCellTabs_;  // written before the next cell's text
            }
            return true;
        default:
            return false;
    }
}

// The definition of the next table row; plain text has no use for it.
bool RtfReader::tableRowWord(RtfControlWord word, const RtfToken& token) {
    switch (word) {
        case W::RowDefaults:
            row_ = RowDefinition{};
            nextCell_ = CellDefinition{};
            return true;
        case W::RowLeft:
            row_.left = std::clamp(token.param, -kMaxIndentTwips, kMaxIndentTwips);
            return true;
        case W::CellRight:
            nextCell_.right = std::clamp(token.param, -kMaxIndentTwips, kMaxIndentTwips);
            if (row_.cells.size() < kMaxCells) {
                row_.cells.push_back(nextCell_);
            }
            nextCell_ = CellDefinition{};
            borderSide_ = false;
            return true;
        case W::CellMergeFirst:
            nextCell_.merge = CellMerge::First;
            return true;
        case W::CellMergeContinued:
            nextCell_.merge = CellMerge::Continued;
            return true;
        case W::CellMergeAcross:
            nextCell_.mergedAcross = true;
            return true;
        default:
            return false;
    }
}

// The words of a picture, of borders, of no consequence for the block, and of formats it
// does not keep.
void RtfReader::unknownWord(const RtfToken& token) {
    if (state().destination == Destination::Picture) {
        picture_.word(token.text, token.hasParam, token.param);
        return;
    }
    if (state().destination != Destination::Body) {
        return;
    }
    const std::string_view name = token.text;
    if (name.starts_with("clbrdr") || name.starts_with("trbrdr")) {
        borderSide_ = true;
        return;
    }
    if (name.starts_with("brdr")) {
        const bool line = name != "brdrw" && name != "brdrcf" && name != "brdrsp" &&
                          name != "brdrnone" && name != "brdrnil" && name != "brdrtbl";
        row_.borders = row_.borders || (borderSide_ && line);
        return;
    }
    if (dropsFormatting(name, token.hasParam, token.param)) {
        sink_.dropped();
    }
}

void RtfReader::controlSymbol(char symbol) {
    if (const auto ch = symbolCharacter(symbol)) {
        textChar(*ch);
    } else if (symbol == '*') {
        starPending_ = true;
    } else {
        fallbackToSkip_ = 0;  // \| \: and unknown symbols mean nothing here
    }
}

}  // namespace veltro::richtext
