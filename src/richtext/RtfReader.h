#pragma once

#include "richtext/RichDocument.h"
#include "richtext/RtfColorTable.h"
#include "richtext/RtfControlWord.h"
#include "richtext/RtfFontTable.h"
#include "richtext/RtfSink.h"
#include "richtext/RtfTokenizer.h"
#include "richtext/TextDecoder.h"

#include <optional>
#include <string_view>
#include <vector>

namespace veltro::richtext {

// Interprets one RTF document and reports its text and formats to a sink. Any input is
// accepted: what cannot be understood is skipped, and the work is linear in the input size.
class RtfReader {
public:
    struct Options {
        // Raw bytes >= 0x80 are UTF-8 rather than bytes of the document's code page; true for
        // RTF that was kept as characters instead of bytes.
        bool rawBytesAreUtf8 = false;
    };

    RtfReader(std::string_view rtf, RtfSink& sink, Options options);

    void read();
    // The face of \deffN, known after read().
    QString defaultFamily() const;

private:
    enum class Destination : std::uint8_t {
        Body,
        FontTable,
        ColorTable,
        ListLabel,
        PnDefinition,
        UprWrapper,  // \upr: only its \ud alternative is read
        UprChild,
    };
    struct CharState {
        int font = -1;  // -1: \deff
        int halfPoints = 24;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strike = false;
        bool hidden = false;
        std::optional<Rgb> colour;
        bool operator==(const CharState&) const = default;
    };
    struct ParaState {
        Alignment alignment = Alignment::Left;
        int leftIndent = 0;
        int firstIndent = 0;
        bool pnBullet = false;
        int listOverride = 0;
    };
    struct GroupState {
        Destination destination = Destination::Body;
        Destination beforeUpr = Destination::Body;
        CharState chars;
        ParaState para;
        int uc = 1;
    };

    GroupState& state() { return stack_.back(); }
    bool handle(const RtfToken& token);  // false once the document has ended
    void openGroup();
    bool closeGroup();
    void skipCurrentGroup();
    void finish();

    void controlWord(const RtfToken& token);
    bool destinationWord(RtfControlWord word);
    void tableWord(RtfControlWord word, const RtfToken& token);
    bool characterWord(RtfControlWord word, const RtfToken& token);
    bool paragraphWord(RtfControlWord word, const RtfToken& token);
    bool documentWord(RtfControlWord word, const RtfToken& token);
    void controlSymbol(char symbol);

    void textBytes(std::string_view bytes);
    void hexByte(unsigned char byte);
    void textChar(char16_t ch);  // an escaped character: counts as text for \uc
    void unicodeWord(std::int32_t value);
    void emit(char32_t ch);
    bool skipFallback();
    void resolvePendingHigh();

    QString* textTarget();
    int currentCodePage();
    void decodeInto(QString& target, std::string_view bytes);
    void flushPending();
    void afterFontNameText();

    void flushRun();
    void endParagraph();
    void closeListLabel();
    CharFormat charFormat(const CharState& chars) const;

    RtfTokenizer tokenizer_;
    RtfSink& sink_;
    const bool wantsFormats_;
    bool rawBytesAreUtf8_;

    std::vector<GroupState> stack_;
    TextDecoder decoder_;
    int documentCodePage_ = 1252;
    int defaultFont_ = 0;
    bool starPending_ = false;
    int fallbackToSkip_ = 0;
    char16_t pendingHigh_ = 0;

    RtfFontTable fonts_;
    RtfColorTable colours_;
    // The code page of the last font looked up; text runs ask for it again and again.
    struct CodePageCache {
        int font = 0;
        int document = 0;
        std::uint32_t fontChanges = 0;
        int codePage = 0;  // 0: nothing looked up yet
    };
    CodePageCache codePageCache_;

    QString run_;
    CharState runChars_;
    bool paragraphHasContent_ = false;
    int pendingCellTabs_ = 0;
    QString label_;
    bool labelSeen_ = false;
    bool labelIsBullet_ = false;
};

}  // namespace veltro::richtext
