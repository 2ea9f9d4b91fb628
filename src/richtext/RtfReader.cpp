#include "richtext/RtfReader.h"

#include <QList>

#include <algorithm>
#include <array>

namespace veltro::richtext {
namespace {

using W = RtfControlWord;

constexpr std::size_t kMaxDepth = 1000;
constexpr int kMaxIndentTwips = 31680;
constexpr int kMaxUc = 10;

bool isOn(const RtfToken& token) {
    return !token.hasParam || token.param != 0;
}

// One-character list labels that mean "bullet" rather than a number.
bool isBulletLabel(QStringView label) {
    constexpr std::array<char16_t, 9> kBullets = {0x2022, 0x00B7, 0xF0B7, u'o',  0x25AA,
                                                  0xF0A7, 0x2013, u'-',   0x25CF};
    return label.size() == 1 &&
           std::find(kBullets.begin(), kBullets.end(), label.front().unicode()) != kBullets.end();
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

}  // namespace

RtfReader::RtfReader(std::string_view rtf, RtfSink& sink, Options options)
    : tokenizer_(rtf),
      sink_(sink),
      wantsFormats_(sink.wantsFormats()),
      rawBytesAreUtf8_(options.rawBytesAreUtf8) {
    stack_.reserve(16);
    run_.reserve(256);
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
    if (closed.destination == Destination::PnDefinition && closed.para.pnBullet) {
        state().para.pnBullet = true;  // \pnlvlblt sits inside {\*\pn ...}
    }
    if (closed.destination == Destination::ListLabel &&
        state().destination != Destination::ListLabel) {
        closeListLabel();
    }
    return true;
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
    if (destinationWord(word)) {
        return;
    }
    if (ignorable) {
        skipCurrentGroup();  // {\*\word ...} we do not know
        return;
    }
    if (word == W::Unknown) {
        return;  // most words of a document: nothing below acts on them
    }
    if (documentWord(word, token)) {
        return;
    }
    const Destination destination = state().destination;
    if (destination != Destination::Body && destination != Destination::ListLabel) {
        tableWord(word, token);
        return;
    }
    if (characterWord(word, token) || paragraphWord(word, token)) {
        return;
    }
    if (const auto ch = specialCharacter(word)) {
        emit(*ch);
    }
}

bool RtfReader::destinationWord(RtfControlWord word) {
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
        case W::FieldResult:
            return true;  // the result is the visible text; the instruction is skipped
        case W::SkippedDestination:
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
            if (word == W::PnBullet) {
                state().para.pnBullet = true;
            }
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
        case W::PnBullet:
            para.pnBullet = true;
            return true;
        case W::Par:
        case W::Row:
            if (inBody) {
                endParagraph();
            }
            return true;
        case W::Cell:
            if (inBody) {
                ++pendingCellTabs_;  // written before the next cell's text, none after the last
            }
            return true;
        default:
            return false;
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
            return &run_;
        case Destination::ListLabel:
            return &label_;
        case Destination::FontTable:
            return fonts_.nameTarget();
        default:
            return nullptr;
    }
}

int RtfReader::currentCodePage() {
    const GroupState& s = stack_.back();
    if (s.destination == Destination::FontTable) {
        return fonts_.entryCodePage().value_or(documentCodePage_);
    }
    const int font = s.chars.font < 0 ? defaultFont_ : s.chars.font;
    CodePageCache& cache = codePageCache_;
    if (cache.codePage == 0 || cache.font != font || cache.document != documentCodePage_ ||
        cache.fontChanges != fonts_.changes()) {
        cache = {font, documentCodePage_, fonts_.changes(),
                 fonts_.codePage(font).value_or(documentCodePage_)};
    }
    return cache.codePage;
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
    format.colour = chars.colour;
    return format;
}

void RtfReader::flushRun() {
    if (run_.isEmpty()) {
        return;
    }
    if (wantsFormats_) {
        sink_.text(run_, charFormat(runChars_));
    } else {
        static const CharFormat kNone;
        sink_.text(run_, kNone);
    }
    run_.truncate(0);
}

void RtfReader::endParagraph() {
    resolvePendingHigh();
    flushRun();
    const ParaState& para = state().para;
    ParaFormat format;
    format.alignment = para.alignment;
    format.leftIndentTwips = para.leftIndent;
    format.firstIndentTwips = para.firstIndent;
    format.bullet = para.pnBullet || labelIsBullet_ || (para.listOverride > 0 && !labelSeen_);
    sink_.paragraphEnd(format);
    paragraphHasContent_ = false;
    pendingCellTabs_ = 0;
    labelSeen_ = false;
    labelIsBullet_ = false;
}

void RtfReader::closeListLabel() {
    labelSeen_ = true;
    const QString label = std::exchange(label_, QString()).trimmed();
    if (isBulletLabel(label)) {
        labelIsBullet_ = true;
        return;
    }
    // A numbered item keeps its number as text, since only bullets are kept as lists.
    if (!label.isEmpty() && state().destination == Destination::Body) {
        if (QString* target = textTarget()) {
            *target += label + u'\t';
        }
    }
}

}  // namespace veltro::richtext
