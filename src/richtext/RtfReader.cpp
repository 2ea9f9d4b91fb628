#include "richtext/RtfReader.h"

#include "richtext/RtfCharacters.h"
#include "richtext/RtfField.h"
#include "richtext/RtfReaderLimits.h"

#include <QList>

#include <algorithm>
#include <utility>

namespace veltro::richtext {
namespace {

using W = RtfControlWord;

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
    if (stack_.size() >= limits::kMaxDepth) {
        tokenizer_.skipGroup();
        return;
    }
    stack_.push_back(state());  // one copy: the state is large and groups are many
    GroupState& inner = state();
    inner.ownDestination = false;
    if (inner.destination == Destination::UprWrapper) {
        inner.destination = Destination::UprChild;
    }
}

bool RtfReader::closeGroup() {
    resolvePendingHigh();
    fallbackToSkip_ = 0;
    if (state().destination == Destination::FontTable) {
        fonts_.groupClosing(stack_.size());
    }
    if (stack_.size() == 1) {
        finish();  // the outermost group ends the document
        stack_.clear();
        return false;
    }
    const GroupState closed = std::move(stack_.back());
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
            outer.para.pn.before = std::exchange(listText_, QString()).left(limits::kMaxLabelText);
            return;
        case Destination::PnTextAfter:
            outer.para.pn.after = std::exchange(listText_, QString()).left(limits::kMaxLabelText);
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
                sink_.picture(picture, charFormat(outer.chars));
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
    const Destination before = state().destination;
    const std::size_t depth = stack_.size();
    if (destinationWord(word, token)) {
        if (stack_.size() == depth && state().destination != before) {
            state().ownDestination = true;
        }
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
    if (state().destination == Destination::LevelText && (byte < 0x20 || listText_.isEmpty())) {
        flushPending();
        // The first byte is the length and those below 0x20 are number places: neither is a
        // character of the code page, even at 0x80 and above.
        if (byte < 0x20 || listText_.isEmpty()) {
            listText_ += QChar(static_cast<char16_t>(byte));
            return;
        }
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
    fallbackToSkip_ = state().uc;
    takeUnicodeWord(value, pendingHigh_, [this](char32_t ch) { emit(ch); });
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
            if (wantsFormats_) {
                if (!run_.isEmpty() && !(runChars_ == s.chars)) {
                    flushRun();
                }
                runChars_ = s.chars;  // plain text has one run and no formats
            }
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
            appendUtf8Text(bytes, target);
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
    if (wantsFormats_) {
        sink_.text(run_, charFormat(runChars_));
    } else {
        static const CharFormat kNone;
        sink_.text(run_, kNone);
    }
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
    // Plain text builds no formats: a paragraph's list item alone costs more than its end.
    static const ParaFormat kPlain;
    std::optional<ParaFormat> built;
    if (wantsFormats_) {
        built = paraFormat();
    }
    const ParaFormat& format = built ? *built : kPlain;
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

}  // namespace veltro::richtext
