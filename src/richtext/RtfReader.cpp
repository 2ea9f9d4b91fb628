#include "richtext/RtfReader.h"

#include "richtext/RtfField.h"
#include "richtext/RtfWordClasses.h"

#include <QList>

#include <algorithm>
#include <array>

namespace veltro::richtext {
namespace {

using W = RtfControlWord;

constexpr std::size_t kMaxDepth = 1000;
constexpr int kMaxIndentTwips = 31680;
constexpr int kMaxUc = 10;
constexpr int kMaxListStart = 32767;
constexpr std::size_t kMaxCells = 256;

bool isOn(const RtfToken& token) {
    return !token.hasParam || token.param != 0;
}

// What a character of the input stands for in a run: control characters and object
// placeholders are not text, paragraphs end only at \par, and Qt's frame markers (U+FDD0,
// U+FDD1) would split paragraphs in a QTextDocument.
std::optional<char32_t> runCharacter(char32_t ch) {
    if ((ch < 0x20 && ch != u'\t') || ch == 0xFFFC) {
        return std::nullopt;
    }
    if (ch == 0x2029) {
        return 0x2028;
    }
    if (ch == 0xFDD0 || ch == 0xFDD1) {
        return 0xFFFD;
    }
    return ch;
}

void appendCharacter(char32_t ch, QString& out) {
    if (QChar::requiresSurrogates(ch)) {
        out.append(QChar(QChar::highSurrogate(ch)));
        out.append(QChar(QChar::lowSurrogate(ch)));
    } else {
        out.append(QChar(static_cast<char16_t>(ch)));
    }
}

bool isHighSurrogate(std::int64_t v) {
    return v >= 0xD800 && v <= 0xDBFF;
}
bool isLowSurrogate(std::int64_t v) {
    return v >= 0xDC00 && v <= 0xDFFF;
}

// Destinations that only the document is read for; plain text skips them.
bool readsFormatsOnly(RtfReader::Destination destination) {
    using D = RtfReader::Destination;
    switch (destination) {
        case D::FieldInstruction:
        case D::PnTextBefore:
        case D::PnTextAfter:
        case D::ListTable:
        case D::ListOverrideTable:
        case D::LevelText:
        case D::Picture:
            return true;
        default:
            return false;
    }
}

bool opensDestination(RtfControlWord word) {
    switch (word) {
        case W::FontTable:
        case W::ColorTable:
        case W::PnText:
        case W::ListText:
        case W::Pn:
        case W::PnTextBefore:
        case W::PnTextAfter:
        case W::ListTable:
        case W::ListOverrideTable:
        case W::LevelText:
        case W::Upr:
        case W::FieldInstruction:
        case W::Picture:
            return true;
        default:
            return false;
    }
}

}  // namespace

RtfReader::RtfReader(std::string_view rtf, RtfSink& sink, Options options)
    : tokenizer_(rtf),
      sink_(sink),
      wantsFormats_(sink.wantsFormats()),
      rawBytesAreUtf8_(options.rawBytesAreUtf8) {
    stack_.reserve(16);
}

QString RtfReader::defaultFamily() const {
    return fonts_.family(defaultFont_);
}

void RtfReader::read() {
    while (handle(tokenizer_.next())) {
    }
    if (!stack_.empty()) {
        finish();  // truncated input: keep what was read
    }
}

bool RtfReader::handle(const RtfToken& token) {
    using Kind = RtfToken::Kind;
    if (token.kind == Kind::Binary) {
        if (!stack_.empty() && state().destination == Destination::Picture) {
            picture_.binary(token.text);
        }
        return true;  // only pictures hold such data
    }
    if (token.kind != Kind::Text && token.kind != Kind::HexByte) {
        flushPending();
    }
    if (token.kind == Kind::End) {
        return false;
    }
    if (stack_.empty()) {
        if (token.kind == Kind::GroupOpen) {
            stack_.emplace_back();
        }
        return true;  // nothing before the outermost group is read
    }
    const bool star = std::exchange(starPending_, false);
    if (state().destination == Destination::UprChild) {
        // Only the \ud alternative of \upr is read; braces keep their normal meaning.
        const bool keeps = token.kind == Kind::GroupOpen || token.kind == Kind::GroupClose ||
                           (token.kind == Kind::ControlSymbol && token.symbol == '*') ||
                           (token.kind == Kind::ControlWord && token.text == "ud");
        if (!keeps) {
            skipCurrentGroup();
            return !stack_.empty();
        }
    }
    switch (token.kind) {
        case Kind::GroupOpen:
            openGroup();
            return true;
        case Kind::GroupClose:
            return closeGroup();
        case Kind::ControlWord:
            starPending_ = star;
            controlWord(token);
            starPending_ = false;
            return !stack_.empty();
        case Kind::ControlSymbol:
            controlSymbol(token.symbol);
            return true;
        case Kind::HexByte:
            hexByte(token.byte);
            return true;
        case Kind::Text:
            textBytes(token.text);
            return true;
        case Kind::Binary:
        case Kind::End:
            break;
    }
    return false;
}

void RtfReader::openGroup() {
    resolvePendingHigh();
    fallbackToSkip_ = 0;
    if (stack_.size() >= kMaxDepth) {
        tokenizer_.skipGroup();
        return;
    }
    GroupState inner = state();
    if (inner.destination == Destination::UprWrapper) {
        inner.destination = Destination::UprChild;
    }
    stack_.push_back(inner);
}

bool RtfReader::closeGroup() {
    resolvePendingHigh();
    fallbackToSkip_ = 0;
    const GroupState closed = state();
    if (closed.destination == Destination::FontTable) {
        fonts_.groupClosing(stack_.size());
    }
    if (stack_.size() == 1) {
        finish();  // the outermost group ends the document
        stack_.clear();
        return false;
    }
    stack_.pop_back();
    closeDestination(closed);
    return true;
}

void RtfReader::closeDestination(const GroupState& closed) {
    GroupState& outer = state();
    if (closed.destination == outer.destination) {
        return;  // an inner group of the same destination
    }
    switch (closed.destination) {
        case Destination::PnDefinition:
            // The format sits inside {\*\pn ...} but belongs to the paragraph.
            outer.para.pn = closed.para.pn;
            outer.para.pn.seen = true;
            return;
        case Destination::PnTextBefore:
            outer.para.pn.before = std::exchange(listText_, QString());
            return;
        case Destination::PnTextAfter:
            outer.para.pn.after = std::exchange(listText_, QString());
            return;
        case Destination::LevelText:
            lists_.setLevelText(std::exchange(listText_, QString()));
            return;
        case Destination::ListLabel:
            closeListLabel();
            return;
        case Destination::FieldInstruction: {
            const QString instruction = std::exchange(instruction_, QString());
            outer.fieldLink = hyperlinkTarget(instruction).value_or(QString());
            if (outer.fieldLink.isEmpty() && !instruction.trimmed().isEmpty()) {
                sink_.dropped();  // the field's result stays as text, the field goes
            }
            return;
        }
        case Destination::Picture:
            if (auto picture = picture_.take()) {
                flushRun();
                sink_.picture(std::move(picture), charFormat(outer.chars));
            } else {
                sink_.dropped();
            }
            return;
        default:
            return;
    }
}

// A picture in the text counts as text in both readings, drawn or not.
void RtfReader::openPicture() {
    GroupState& s = state();
    const bool inText = s.destination == Destination::Body && !s.chars.hidden;
    if (inText) {
        textTarget();
    }
    if (wantsFormats_ && inText && stack_.size() > 1) {
        s.destination = Destination::Picture;
        picture_ = RtfPictureReader{};
    } else {
        skipCurrentGroup();
    }
}

void RtfReader::skipCurrentGroup() {
    if (stack_.size() <= 1) {
        return;  // never skip the whole document
    }
    tokenizer_.skipGroup();
    closeGroup();
}

void RtfReader::finish() {
    flushPending();
    resolvePendingHigh();
    // Groups that plain text skips whole end with the input, as they do there.
    while (stack_.size() > 1 && readsFormatsOnly(state().destination)) {
        stack_.pop_back();
    }
    // Every paragraph ends with \par; text after the last one is one more paragraph.
    if (paragraphHasContent_) {
        endParagraph();
    }
}

void RtfReader::controlWord(const RtfToken& token) {
    const W word = lookupControlWord(token.text);
    const bool ignorable = std::exchange(starPending_, false);
    if (word != W::U) {
        fallbackToSkip_ = 0;  // a pending high surrogate may still meet its low half
    }
    if (readsFormatsOnly(state().destination) && opensDestination(word) && word != W::LevelText) {
        // Plain text skips these groups whole; nothing inside may change what it reads.
        skipCurrentGroup();
        return;
    }
    if (destinationWord(word, token)) {
        return;
    }
    if (ignorable) {
        skipCurrentGroup();  // {\*\word ...} we do not know
        return;
    }
    if (word == W::Unknown) {
        if (wantsFormats_) {
            unknownWord(token);
        }
        return;  // most words of a document: nothing below acts on them
    }
    if ((!readsFormatsOnly(state().destination) || word == W::U || word == W::Uc) &&
        documentWord(word, token)) {
        return;
    }
    const Destination destination = state().destination;
    if (destination != Destination::Body && destination != Destination::ListLabel) {
        tableWord(word, token);
        return;
    }
    if (characterWord(word, token) || paragraphWord(word, token) || tableRowWord(word, token)) {
        return;
    }
    if (const auto ch = specialCharacter(word)) {
        emit(*ch);
    }
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
            if (!wantsFormats_ || s.destination != Destination::PnDefinition) {
                skipCurrentGroup();
            } else {
                s.destination =
                    word == W::PnTextBefore ? Destination::PnTextBefore : Destination::PnTextAfter;
                listText_.clear();
            }
            return true;
        case W::ListTable:
        case W::ListOverrideTable:
            if (!wantsFormats_) {
                skipCurrentGroup();  // plain text needs no list formats
            } else if (nested) {
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
            if (!wantsFormats_) {
                skipCurrentGroup();  // plain text wants the visible result only
            } else if (nested) {
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
    switch (symbol) {
        case '\\':
        case '{':
        case '}':
            textChar(static_cast<char16_t>(symbol));
            return;
        case '~':
            textChar(0x00A0);
            return;
        case '-':
            textChar(0x00AD);
            return;
        case '_':
            textChar(0x2011);
            return;
        case '*':
            starPending_ = true;
            return;
        default:
            fallbackToSkip_ = 0;
            return;  // \| \: and unknown symbols mean nothing here
    }
}

bool RtfReader::skipFallback() {
    if (fallbackToSkip_ == 0) {
        return false;
    }
    --fallbackToSkip_;
    return true;
}

void RtfReader::textBytes(std::string_view bytes) {
    while (fallbackToSkip_ > 0 && !bytes.empty()) {
        std::size_t length = 1;
        if (rawBytesAreUtf8_) {
            while (length < bytes.size() &&
                   (static_cast<unsigned char>(bytes[length]) & 0xC0) == 0x80) {
                ++length;
            }
        }
        bytes.remove_prefix(length);
        --fallbackToSkip_;
    }
    if (bytes.empty()) {
        return;
    }
    resolvePendingHigh();
    if (state().destination == Destination::Picture) {
        picture_.hex(bytes);
        return;
    }
    if (state().destination == Destination::ColorTable) {
        for (const char c : bytes) {
            if (c == ';') {
                colours_.endEntry();
            }
        }
        return;
    }
    if (QString* target = textTarget()) {
        decodeInto(*target, bytes);
        afterFontNameText();
    }
}

void RtfReader::hexByte(unsigned char byte) {
    if (skipFallback()) {
        return;
    }
    resolvePendingHigh();
    if (byte < 0x20 && state().destination == Destination::LevelText) {
        flushPending();
        listText_ += QChar(static_cast<char16_t>(byte));  // length and number placeholders
        return;
    }
    if (byte < 0x20 && byte != '\t') {
        return;  // control characters are not text
    }
    const char c = static_cast<char>(byte);
    const bool utf8 = std::exchange(rawBytesAreUtf8_, false);  // \'hh is always a code page byte
    textBytes(std::string_view(&c, 1));
    rawBytesAreUtf8_ = utf8;
}

void RtfReader::textChar(char16_t ch) {
    if (skipFallback()) {
        return;
    }
    resolvePendingHigh();
    if (state().destination == Destination::ColorTable) {
        return;
    }
    emit(ch);
}

void RtfReader::unicodeWord(std::int32_t value) {
    std::int64_t v = value;
    if (v < 0 && v >= -32768) {
        v += 65536;
    }
    fallbackToSkip_ = state().uc;
    if (pendingHigh_ != 0) {
        const char16_t high = std::exchange(pendingHigh_, 0);
        if (isLowSurrogate(v)) {
            emit(QChar::surrogateToUcs4(high, static_cast<char16_t>(v)));
            return;
        }
        emit(0xFFFD);
    }
    if (isHighSurrogate(v)) {
        pendingHigh_ = static_cast<char16_t>(v);
    } else if (v < 0 || v > 0x10FFFF || isLowSurrogate(v)) {
        emit(0xFFFD);
    } else {
        emit(static_cast<char32_t>(v));
    }
}

void RtfReader::resolvePendingHigh() {
    if (pendingHigh_ != 0) {
        pendingHigh_ = 0;
        emit(0xFFFD);  // a high surrogate without its low half
    }
}

void RtfReader::emit(char32_t ch) {
    resolvePendingHigh();
    const std::optional<char32_t> text = runCharacter(ch);
    if (!text || state().destination == Destination::ColorTable) {
        return;
    }
    if (QString* target = textTarget()) {
        flushPending();
        appendCharacter(*text, *target);
        afterFontNameText();
    }
}

QString* RtfReader::textTarget() {
    const GroupState& s = state();
    switch (s.destination) {
        case Destination::Body:
            if (s.chars.hidden) {
                if (wantsFormats_) {
                    sink_.dropped();
                }
                return nullptr;
            }
            if (wantsFormats_ && !run_.isEmpty() && !(runChars_ == s.chars)) {
                flushRun();
            }
            runChars_ = s.chars;
            for (; pendingCellTabs_ > 0; --pendingCellTabs_) {
                run_ += u'\t';
            }
            paragraphHasContent_ = true;
            placeLabel();
            return &run_;
        case Destination::ListLabel:
            return &label_;
        case Destination::PnTextBefore:
        case Destination::PnTextAfter:
        case Destination::LevelText:
            return &listText_;
        case Destination::FontTable:
            return fonts_.nameTarget();
        case Destination::FieldInstruction:
            return &instruction_;
        default:
            return nullptr;
    }
}

int RtfReader::currentCodePage() const {
    const GroupState& s = stack_.back();
    if (s.destination == Destination::FontTable) {
        return fonts_.entryCodePage().value_or(documentCodePage_);
    }
    return fonts_.codePage(s.chars.font < 0 ? defaultFont_ : s.chars.font)
        .value_or(documentCodePage_);
}

void RtfReader::decodeInto(QString& target, std::string_view bytes) {
    if (rawBytesAreUtf8_) {
        const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (!ascii) {
            flushPending();
            const QString text =
                QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
            for (const char32_t ch : text.toUcs4()) {
                if (const auto kept = runCharacter(ch)) {
                    appendCharacter(*kept, target);
                }
            }
            return;
        }
    }
    decoder_.setCodePage(currentCodePage());
    decoder_.decode(bytes, target);
}

void RtfReader::flushPending() {
    if (!decoder_.hasPending()) {
        return;
    }
    QString discarded;
    QString* target = stack_.empty() ? nullptr : textTarget();
    decoder_.flush(target ? *target : discarded);
    afterFontNameText();
}

void RtfReader::afterFontNameText() {
    if (!stack_.empty() && state().destination == Destination::FontTable) {
        fonts_.nameTextAdded();
    }
}

CharFormat RtfReader::charFormat(const CharState& chars) const {
    CharFormat format;
    format.family = fonts_.family(chars.font < 0 ? defaultFont_ : chars.font);
    format.halfPoints = chars.halfPoints;
    format.bold = chars.bold;
    format.italic = chars.italic;
    format.underline = chars.underline;
    format.strike = chars.strike;
    format.vertical = chars.vertical;
    format.colour = chars.colour;
    format.link = chars.link;
    return format;
}

void RtfReader::flushRun() {
    if (run_.isEmpty()) {
        return;
    }
    sink_.text(run_, wantsFormats_ ? charFormat(runChars_) : CharFormat{});
    run_.truncate(0);
}

// Ends a paragraph at \par, and in a table at \cell and \row. Plain text sees a table's cells
// as one paragraph with tabs between them, a cell's end as no end at all: so does the text
// around a cell's end here, its label and whether the row so far has content.
void RtfReader::endParagraph(End end, bool nested) {
    resolvePendingHigh();
    if (end != End::Cell && !unplacedLabel_.isEmpty() && state().destination == Destination::Body) {
        textTarget();  // keeps the label as text if the paragraph is no item
    }
    // Plain text: a tab after each cell but the row's last.
    const int tabs = std::exchange(pendingCellTabs_, 0) - (end == End::Row ? 1 : 0);
    if (tabs > 0) {
        run_ += QString(tabs, u'\t');
    }
    flushRun();
    const ParaFormat format = paraFormat();
    switch (end) {
        case End::Paragraph:
            sink_.paragraphEnd(format);
            break;
        case End::Cell:
            sink_.cellEnd(format, nested);
            return;
        case End::Row:
            if (wantsFormats_) {
                sink_.rowEnd(format, row_, nested);
            } else {
                sink_.paragraphEnd(format);
            }
            break;
    }
    paragraphHasContent_ = false;
    unplacedLabel_.clear();
    labelItem_.reset();
}

ParaFormat RtfReader::paraFormat() {
    ParaFormat format;
    if (!wantsFormats_) {
        return format;
    }
    const ParaState& para = state().para;
    format.alignment = para.alignment;
    format.leftIndentTwips = para.leftIndent;
    format.firstIndentTwips = para.firstIndent;
    format.spaceBeforeTwips = para.spaceBefore;
    format.spaceAfterTwips = para.spaceAfter;
    format.lineSpacing = para.lineSpacing;
    format.lineMultiple = para.lineMultiple && para.lineSpacing != 0;
    format.list = listItem();
    format.tableDepth = para.tableDepth;
    return format;
}

void RtfReader::closeListLabel() {
    unplacedLabel_ = std::exchange(label_, QString()).trimmed();
    labelItem_ = listItemFromLabel(unplacedLabel_);
}

bool RtfReader::paragraphIsItem() const {
    const ParaState& para = stack_.back().para;
    return para.listOverride > 0 || (para.pn.seen && !para.pn.continues) || labelItem_;
}

void RtfReader::placeLabel() {
    if (unplacedLabel_.isEmpty()) {
        return;
    }
    // An item's label is drawn by the list; any other label stays as the text it was.
    if (!paragraphIsItem()) {
        run_ += unplacedLabel_ + u'\t';
    }
    unplacedLabel_.clear();
}

// What list the ending paragraph is an item of: \ls names a definition of the list table;
// older writers give the format in \pn; a label alone still tells bullets and numbers apart.
ListItem RtfReader::listItem() {
    const ParaState& para = state().para;
    ListItem item;
    if (para.listOverride > 0) {
        previousAnonymous_ = 0;
        if (const auto level = lists_.level(para.listOverride, para.listLevel)) {
            if (!level->labelled) {
                return {};
            }
            item = level->item;
        } else if (para.pn.seen) {
            item = pnItem(para.pn);
        } else if (labelItem_) {
            item = *labelItem_;
        }
        item.list = para.listOverride;
        item.level = para.listLevel;
    } else if (para.pn.seen && !para.pn.continues) {
        item = pnItem(para.pn);
        item.list = anonymousList(item);
    } else if (labelItem_) {
        item = *labelItem_;
        item.list = anonymousList(item);
    } else {
        previousAnonymous_ = 0;
    }
    return item;
}

ListItem RtfReader::pnItem(const PnState& pn) {
    ListItem item;
    item.level = pn.level;
    if (pn.bullet) {
        item.style = bulletStyle(pn.before.isEmpty() ? QChar() : pn.before.front())
                         .value_or(ListStyle::Disc);
        return item;
    }
    item.style = pn.style;
    item.prefix = pn.before;
    item.suffix = pn.after;
    item.start = pn.start;
    return item;
}

// Items of older writers have no list number: a run of them is one list, as long as each level
// keeps its format.
int RtfReader::anonymousList(ListItem& item) {
    std::optional<ListItem>& level =
        anonymousLevels_[static_cast<std::size_t>(std::clamp(item.level, 0, kMaxListLevel))];
    const bool sameFormat = level && level->style == item.style && level->prefix == item.prefix &&
                            level->suffix == item.suffix;
    if (previousAnonymous_ == 0 || (level && !sameFormat)) {
        previousAnonymous_ = --anonymousLists_;
        anonymousLevels_ = {};
    }
    if (level) {
        item.start = level->start;  // later items often restate their own number as start
    } else {
        level = item;
    }
    return previousAnonymous_;
}

}  // namespace veltro::richtext
