#include "richtext/RtfPlainReader.h"

#include "richtext/RtfCharacters.h"
#include "richtext/RtfListTable.h"
#include "richtext/RtfReaderLimits.h"

#include <algorithm>
#include <utility>

namespace veltro::richtext {

using namespace limits;

namespace {

using PlainWord = RtfControlWord;

bool isAsciiBytes(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

RtfPlainReader::RtfPlainReader(std::string_view rtf, bool rawBytesAreUtf8, LineBreak lineBreak)
    : in_(rtf),
      tokenizer_(rtf),
      separator_(lineBreak == LineBreak::CrLf ? QStringView(u"\r\n") : QStringView(u"\n")),
      utf8AtStart_(rawBytesAreUtf8),
      rawBytesAreUtf8_(rawBytesAreUtf8) {
    stack_.reserve(16);
    out_.reserve(static_cast<qsizetype>(rtf.size() / 2));
}

QString RtfPlainReader::read() {
    bool noted = resume();
    for (;;) {
        const std::size_t start = tokenizer_.position();
        const RtfToken token = tokenizer_.next();
        if (!noted && mayNote(token)) {
            note(start);
            noted = true;
        }
        if (!handle(token)) {
            break;
        }
    }
    if (!stack_.empty()) {
        finish();  // truncated input: keep what was read
    }
    return finishedText();
}

namespace {

// A few headers per thread: the export reads an address and a note of each card in turn.
constexpr std::size_t kResumes = 4;
// Longer headers are rare (pasted documents with style sheets) and not kept.
constexpr std::size_t kMaxPrefix = std::size_t{16} * 1024;

}  // namespace

bool RtfPlainReader::resume() {
    for (const Resume& known : resumes()) {
        if (known.utf8AtStart == utf8AtStart_ && !known.prefix.empty() &&
            in_.starts_with(known.prefix)) {
            stack_ = known.stack;
            fonts_ = known.fonts;
            documentCodePage_ = known.documentCodePage;
            defaultFont_ = known.defaultFont;
            rawBytesAreUtf8_ = known.rawBytesAreUtf8;
            codePageCache_ = known.codePageCache;
            tokenizer_.resumeAt(known.prefix.size() - kLookahead);
            return true;
        }
    }
    return false;
}

// Before the first text of the body, with nothing written and nothing waiting.
bool RtfPlainReader::mayNote(const RtfToken& token) const {
    if (token.kind != RtfToken::Kind::Text || stack_.empty()) {
        return false;
    }
    const Group& g = stack_.back();
    return g.destination == Destination::Body && out_.isEmpty() && paragraphs_ == 0 &&
           !paragraphHasContent_ && !starPending_ && fallbackToSkip_ == 0 && pendingHigh_ == 0 &&
           pendingCellTabs_ == 0 && label_.isEmpty() && unplacedLabel_.isEmpty() && !labelIsItem_ &&
           !decoder_.hasPending();
}

// The bytes before position, and the two after it that decided where the last token ended.
void RtfPlainReader::note(std::size_t position) {
    if (position + kLookahead > in_.size() || position > kMaxPrefix) {
        return;
    }
    std::vector<Resume>& known = resumes();
    Resume& entry = known[nextResume() % kResumes];
    entry.prefix.assign(in_.substr(0, position + kLookahead));
    entry.utf8AtStart = utf8AtStart_;
    entry.stack = stack_;
    entry.fonts = fonts_;
    entry.documentCodePage = documentCodePage_;
    entry.defaultFont = defaultFont_;
    entry.rawBytesAreUtf8 = rawBytesAreUtf8_;
    entry.codePageCache = codePageCache_;
}

std::vector<RtfPlainReader::Resume>& RtfPlainReader::resumes() {
    thread_local std::vector<Resume> known(kResumes);
    return known;
}

std::size_t RtfPlainReader::nextResume() {
    thread_local std::size_t next = 0;
    return next++;
}

// Line breaks become the separator and soft hyphens go, as in plainText(); there is no
// separator after the last paragraph.
QString RtfPlainReader::finishedText() {
    if (paragraphs_ > 0) {
        out_.chop(separator_.size());
    }
    if (!out_.contains(QChar(0x2028)) && !out_.contains(QChar(0x00AD))) {
        return std::move(out_);
    }
    QString text;
    text.reserve(out_.size());
    for (const QChar c : std::as_const(out_)) {
        if (c == QChar(0x2028)) {
            text += separator_;
        } else if (c != QChar(0x00AD)) {
            text += c;
        }
    }
    return text;
}

bool RtfPlainReader::handle(const RtfToken& token) {
    using Kind = RtfToken::Kind;
    if (token.kind == Kind::Binary) {
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
    if (group().destination == Destination::UprChild) {
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
            controlWord(token, star);
            return !stack_.empty();
        case Kind::ControlSymbol:
            controlSymbol(token.symbol);
            return true;
        case Kind::HexByte:
            hexByte(token.byte);
            return true;
        case Kind::Text:
            textBytes(token.text, rawBytesAreUtf8_);
            return true;
        case Kind::Binary:
        case Kind::End:
            break;
    }
    return false;
}

void RtfPlainReader::openGroup() {
    resolvePendingHigh();
    fallbackToSkip_ = 0;
    if (stack_.size() >= kMaxDepth) {
        tokenizer_.skipGroup();
        return;
    }
    stack_.push_back(group());
    if (group().destination == Destination::UprWrapper) {
        group().destination = Destination::UprChild;
    }
}

bool RtfPlainReader::closeGroup() {
    resolvePendingHigh();
    fallbackToSkip_ = 0;
    if (group().destination == Destination::FontTable) {
        fonts_.groupClosing(stack_.size());
    }
    if (stack_.size() == 1) {
        finish();  // the outermost group ends the document
        stack_.clear();
        return false;
    }
    const Group closed = stack_.back();
    stack_.pop_back();
    Group& outer = group();
    if (closed.destination == outer.destination) {
        return true;  // an inner group of the same destination
    }
    if (closed.destination == Destination::PnDefinition) {
        // The format sits inside {\*\pn ...} but belongs to the paragraph.
        outer.pnSeen = true;
        outer.pnContinues = closed.pnContinues;
    } else if (closed.destination == Destination::ListLabel) {
        unplacedLabel_ = std::exchange(label_, QString()).trimmed();
        labelIsItem_ = listItemFromLabel(unplacedLabel_).has_value();
    }
    return true;
}

void RtfPlainReader::skipCurrentGroup() {
    if (stack_.size() <= 1) {
        return;  // never skip the whole document
    }
    tokenizer_.skipGroup();
    closeGroup();
}

void RtfPlainReader::finish() {
    flushPending();
    resolvePendingHigh();
    // Every paragraph ends with \par; text after the last one is one more paragraph.
    if (paragraphHasContent_) {
        endParagraph(End::Paragraph);
    }
}

// One switch for the words plain text acts on; the order of the checks is the reader's.
void RtfPlainReader::controlWord(const RtfToken& token, bool ignorable) {
    const PlainWord word = lookupControlWord(token.text);
    if (word != PlainWord::U) {
        fallbackToSkip_ = 0;  // a pending high surrogate may still meet its low half
    }
    if (destinationWord(word)) {
        return;
    }
    if (ignorable) {
        skipCurrentGroup();  // {\*\word ...} we do not know
        return;
    }
    Group& g = group();
    const bool inText =
        g.destination == Destination::Body || g.destination == Destination::ListLabel;
    switch (word) {
        case PlainWord::Unknown:
            return;
        case PlainWord::Ansi:
        case PlainWord::Mac:
        case PlainWord::Pc:
        case PlainWord::Pca:
            documentCodePage_ = characterSetCodePage(word).value_or(documentCodePage_);
            return;
        case PlainWord::AnsiCpg:
            if (token.param > 0 && token.param <= 65535) {
                documentCodePage_ = token.param;
            }
            return;
        case PlainWord::Deff:
            defaultFont_ = token.param;
            return;
        case PlainWord::Uc:
            g.uc = std::clamp(token.param, 0, kMaxUc);
            return;
        case PlainWord::Urtf:
            rawBytesAreUtf8_ = true;
            return;
        case PlainWord::U:
            if (token.hasParam) {
                unicodeWord(token.param);
            }
            return;
        case PlainWord::Font:
            if (g.destination == Destination::FontTable && token.hasParam) {
                fonts_.beginEntry(token.param, stack_.size());
            } else if (inText && token.hasParam) {
                g.font = token.param;
            }
            return;
        case PlainWord::FontCharset:
            if (g.destination == Destination::FontTable && token.hasParam) {
                fonts_.setCharset(token.param);
            }
            return;
        case PlainWord::FontCodePage:
            if (g.destination == Destination::FontTable) {
                fonts_.setCodePage(token.param);
            }
            return;
        case PlainWord::PnContinue:
            if (g.destination == Destination::PnDefinition) {
                g.pnContinues = true;
            }
            return;
        default:
            if (inText) {
                textWord(word, token);
            }
            return;
    }
}

// Of the character and paragraph words, those that hide text, change its code page, end a
// paragraph or cell, or tell whether a paragraph is a list item.
void RtfPlainReader::textWord(RtfControlWord word, const RtfToken& token) {
    Group& g = group();
    const bool inBody = g.destination == Destination::Body;
    switch (word) {
        case PlainWord::Plain:
            g.font = -1;
            g.hidden = false;
            return;
        case PlainWord::Hidden:
            g.hidden = isOn(token);
            return;
        case PlainWord::Pard:
            g.pnSeen = false;
            g.pnContinues = false;
            g.listOverride = 0;
            return;
        case PlainWord::ListOverride:
            g.listOverride = token.param;
            return;
        case PlainWord::PnBullet:
            g.pnSeen = true;
            return;
        case PlainWord::Par:
            if (inBody) {
                endParagraph(End::Paragraph);
            }
            return;
        case PlainWord::Row:
        case PlainWord::NestRow:
            if (inBody) {
                endParagraph(End::Row);
            }
            return;
        case PlainWord::Cell:
        case PlainWord::NestCell:
            if (inBody) {
                ++pendingCellTabs_;  // written before the next cell's text
            }
            return;
        default:
            if (const auto ch = specialCharacter(word)) {
                emit(*ch);
            }
            return;
    }
}

bool RtfPlainReader::destinationWord(RtfControlWord word) {
    Group& g = group();
    const bool nested = stack_.size() > 1;
    switch (word) {
        case PlainWord::FontTable:
        case PlainWord::ColorTable:
        case PlainWord::Pn:
            if (nested) {
                g.destination = word == PlainWord::FontTable    ? Destination::FontTable
                                : word == PlainWord::ColorTable ? Destination::ColorTable
                                                                : Destination::PnDefinition;
            }
            return true;
        case PlainWord::PnText:
        case PlainWord::ListText:
            if (nested && g.destination == Destination::Body) {
                g.destination = Destination::ListLabel;
                label_.clear();
            }
            return true;
        case PlainWord::Picture:
            // A picture counts as text, drawn or not.
            if (g.destination == Destination::Body && !g.hidden) {
                textTarget();
            }
            skipCurrentGroup();
            return true;
        case PlainWord::PnTextBefore:
        case PlainWord::PnTextAfter:
        case PlainWord::ListTable:
        case PlainWord::ListOverrideTable:
        case PlainWord::FieldInstruction:
        case PlainWord::SkippedDestination:
            skipCurrentGroup();  // list formats, field instructions: no visible text
            return true;
        case PlainWord::Upr:
            if (nested) {
                g.beforeUpr = g.destination;
                g.destination = Destination::UprWrapper;
            }
            return true;
        case PlainWord::Ud:
            if (g.destination == Destination::UprChild) {
                g.destination = g.beforeUpr;
            }
            return true;
        case PlainWord::LevelText:
        case PlainWord::ShapePicture:
        case PlainWord::Field:
        case PlainWord::FieldResult:
            return true;
        default:
            return false;
    }
}

void RtfPlainReader::controlSymbol(char symbol) {
    if (const auto ch = symbolCharacter(symbol)) {
        textChar(*ch);
    } else if (symbol == '*') {
        starPending_ = true;
    } else {
        fallbackToSkip_ = 0;  // \| \: and unknown symbols mean nothing here
    }
}

bool RtfPlainReader::skipFallback() {
    if (fallbackToSkip_ == 0) {
        return false;
    }
    --fallbackToSkip_;
    return true;
}

void RtfPlainReader::textBytes(std::string_view bytes, bool utf8) {
    if (readsPlainBody() && (!utf8 || isAsciiBytes(bytes))) {
        // Most text: code page bytes in the body with nothing pending before them.
        paragraphHasContent_ = true;
        decoder_.setCodePage(currentCodePage());
        decoder_.decode(bytes, out_);
        return;
    }
    while (fallbackToSkip_ > 0 && !bytes.empty()) {
        std::size_t length = 1;
        if (utf8) {
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
    QString* target = group().destination == Destination::ColorTable ? nullptr : textTarget();
    if (target == nullptr) {
        return;
    }
    if (utf8 && !isAsciiBytes(bytes)) {
        flushPending();
        appendUtf8Text(bytes, *target);
    } else {
        decoder_.setCodePage(currentCodePage());
        decoder_.decode(bytes, *target);
    }
    afterFontNameText();
}

// Text here goes straight to the body: no fallback to skip, no surrogate, cell tab or label
// waiting, no bytes held back by a multi-byte code page.
bool RtfPlainReader::readsPlainBody() {
    const Group& g = group();
    return g.destination == Destination::Body && !g.hidden && fallbackToSkip_ == 0 &&
           pendingHigh_ == 0 && pendingCellTabs_ == 0 && unplacedLabel_.isEmpty() &&
           !decoder_.hasPending();
}

void RtfPlainReader::hexByte(unsigned char byte) {
    if (skipFallback()) {
        return;
    }
    resolvePendingHigh();
    if (byte < 0x20 && byte != '\t') {
        return;  // control characters are not text
    }
    const char c = static_cast<char>(byte);
    textBytes(std::string_view(&c, 1), false);  // \'hh is always a code page byte
}

void RtfPlainReader::textChar(char16_t ch) {
    if (skipFallback()) {
        return;
    }
    resolvePendingHigh();
    if (group().destination != Destination::ColorTable) {
        emit(ch);
    }
}

void RtfPlainReader::unicodeWord(std::int32_t value) {
    fallbackToSkip_ = group().uc;
    takeUnicodeWord(value, pendingHigh_, [this](char32_t ch) { emit(ch); });
}

void RtfPlainReader::resolvePendingHigh() {
    if (pendingHigh_ != 0) {
        pendingHigh_ = 0;
        emit(0xFFFD);  // a high surrogate without its low half
    }
}

void RtfPlainReader::emit(char32_t ch) {
    resolvePendingHigh();
    const std::optional<char32_t> text = runCharacter(ch);
    if (!text || group().destination == Destination::ColorTable) {
        return;
    }
    if (QString* target = textTarget()) {
        flushPending();
        appendCharacter(*text, *target);
        afterFontNameText();
    }
}

QString* RtfPlainReader::textTarget() {
    const Group& g = group();
    switch (g.destination) {
        case Destination::Body:
            if (g.hidden) {
                return nullptr;
            }
            if (pendingCellTabs_ > 0) {
                out_.append(QString(std::exchange(pendingCellTabs_, 0), u'\t'));
            }
            paragraphHasContent_ = true;
            placeLabel();
            return &out_;
        case Destination::ListLabel:
            return &label_;
        case Destination::FontTable:
            return fonts_.nameTarget();
        default:
            return nullptr;
    }
}

// An item's label is drawn by the list, so plain text has none; any other label stays as the
// text it was.
void RtfPlainReader::placeLabel() {
    if (unplacedLabel_.isEmpty()) {
        return;
    }
    const Group& g = group();
    const bool item = g.listOverride > 0 || (g.pnSeen && !g.pnContinues) || labelIsItem_;
    if (!item) {
        out_ += unplacedLabel_;
        out_ += u'\t';
    }
    unplacedLabel_.clear();
}

int RtfPlainReader::currentCodePage() {
    const Group& g = group();
    if (g.destination == Destination::FontTable) {
        return fonts_.entryCodePage().value_or(documentCodePage_);
    }
    const int font = g.font < 0 ? defaultFont_ : g.font;
    CodePageCache& cache = codePageCache_;
    if (cache.codePage == 0 || cache.font != font || cache.document != documentCodePage_ ||
        cache.fontChanges != fonts_.changes()) {
        cache = {font, documentCodePage_, fonts_.changes(),
                 fonts_.codePage(font).value_or(documentCodePage_)};
    }
    return cache.codePage;
}

void RtfPlainReader::flushPendingBytes() {
    QString discarded;
    QString* target = stack_.empty() ? nullptr : textTarget();
    decoder_.flush(target ? *target : discarded);
    afterFontNameText();
}

void RtfPlainReader::afterFontNameText() {
    if (!stack_.empty() && group().destination == Destination::FontTable) {
        fonts_.nameTextAdded();
    }
}

// Plain text sees a table's cells as one paragraph with tabs between them.
void RtfPlainReader::endParagraph(End end) {
    resolvePendingHigh();
    if (!unplacedLabel_.isEmpty() && group().destination == Destination::Body) {
        textTarget();  // keeps the label as text if the paragraph is no item
    }
    const int tabs = std::exchange(pendingCellTabs_, 0) - (end == End::Row ? 1 : 0);
    if (tabs > 0) {
        out_.append(QString(tabs, u'\t'));
    }
    out_ += separator_;
    ++paragraphs_;
    paragraphHasContent_ = false;
    unplacedLabel_.clear();
    labelIsItem_ = false;
}

}  // namespace veltro::richtext
