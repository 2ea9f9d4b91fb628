#pragma once

#include "richtext/RichDocument.h"
#include "richtext/RtfControlWord.h"
#include "richtext/RtfFontTable.h"
#include "richtext/RtfTokenizer.h"
#include "richtext/TextDecoder.h"

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltro::richtext {

// The visible text of one RTF document, as plainText() gives it for the document RtfReader
// builds, read without building formats, lists, tables or pictures: the export and the
// full-text index read every stored block this way.
class RtfPlainReader {
public:
    // rawBytesAreUtf8: as RtfReader::Options.
    RtfPlainReader(std::string_view rtf, bool rawBytesAreUtf8, LineBreak lineBreak);

    QString read();

private:
    // The destinations plain text reads or has to know of; all others are skipped whole.
    enum class Destination : std::uint8_t {
        Body,
        FontTable,
        ColorTable,
        ListLabel,
        PnDefinition,
        UprWrapper,
        UprChild,
    };
    // What of a group's state decides the text: where text goes, its code page, whether it
    // is hidden, the \uc count, and whether the paragraph is a list item.
    struct Group {
        Destination destination = Destination::Body;
        Destination beforeUpr = Destination::Body;
        bool hidden = false;
        bool pnSeen = false;
        bool pnContinues = false;
        int font = -1;  // -1: \deff
        int uc = 1;
        int listOverride = 0;
    };
    enum class End : std::uint8_t { Paragraph, Row };
    struct CodePageCache {
        int font = 0;
        int document = 0;
        std::uint32_t fontChanges = 0;
        int codePage = 0;  // 0: nothing looked up yet
    };
    // The state after the bytes before a block's first text. Blocks of one program share
    // their header (font and colour tables, defaults): a block that starts with the same bytes
    // takes this state instead of reading them again.
    struct Resume {
        std::string prefix;  // the bytes read, and two more that ended their last token
        bool utf8AtStart = false;
        std::vector<Group> stack;
        RtfFontTable fonts;
        int documentCodePage = 1252;
        int defaultFont = 0;
        bool rawBytesAreUtf8 = false;
        CodePageCache codePageCache;
    };
    static constexpr std::size_t kLookahead = 2;
    bool resume();
    [[nodiscard]] bool mayNote(const RtfToken& token) const;
    void note(std::size_t position);
    static std::vector<Resume>& resumes();
    static std::size_t nextResume();

    Group& group() { return stack_.back(); }
    bool handle(const RtfToken& token);
    void openGroup();
    bool closeGroup();
    void skipCurrentGroup();
    void finish();

    void controlWord(const RtfToken& token, bool ignorable);
    bool destinationWord(RtfControlWord word);
    void textWord(RtfControlWord word, const RtfToken& token);
    void controlSymbol(char symbol);

    bool readsPlainBody();
    void textBytes(std::string_view bytes, bool utf8);
    void hexByte(unsigned char byte);
    void textChar(char16_t ch);
    void unicodeWord(std::int32_t value);
    void emit(char32_t ch);
    bool skipFallback();
    void resolvePendingHigh();

    QString* textTarget();
    void placeLabel();
    int currentCodePage();
    void flushPending() {
        if (decoder_.hasPending()) {
            flushPendingBytes();
        }
    }
    void flushPendingBytes();
    void afterFontNameText();
    void endParagraph(End end);
    QString finishedText();

    std::string_view in_;
    RtfTokenizer tokenizer_;
    const QStringView separator_;
    const bool utf8AtStart_;
    bool rawBytesAreUtf8_;
    std::vector<Group> stack_;
    QString out_;
    int paragraphs_ = 0;

    TextDecoder decoder_;
    RtfFontTable fonts_;
    int documentCodePage_ = 1252;
    int defaultFont_ = 0;
    CodePageCache codePageCache_;

    bool starPending_ = false;
    int fallbackToSkip_ = 0;
    char16_t pendingHigh_ = 0;
    bool paragraphHasContent_ = false;
    int pendingCellTabs_ = 0;
    QString label_;  // of the \pntext or \listtext being read
    // The label of the paragraph until its first text shows whether it is an item.
    QString unplacedLabel_;
    bool labelIsItem_ = false;
};

}  // namespace veltro::richtext
