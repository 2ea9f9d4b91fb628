#pragma once

#include "richtext/RichDocument.h"
#include "richtext/RtfColorTable.h"
#include "richtext/RtfControlWord.h"
#include "richtext/RtfFontTable.h"
#include "richtext/RtfListTable.h"
#include "richtext/RtfPicture.h"
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

    enum class Destination : std::uint8_t {
        Body,
        FontTable,
        ColorTable,
        ListLabel,
        PnDefinition,
        UprWrapper,  // \upr: only its \ud alternative is read
        UprChild,
        FieldInstruction,
        PnTextBefore,
        PnTextAfter,
        ListTable,
        ListOverrideTable,
        LevelText,
        Picture,
    };
    struct CharState {
        int font = -1;  // -1: \deff
        int halfPoints = 24;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strike = false;
        bool hidden = false;
        VerticalAlignment vertical = VerticalAlignment::Normal;
        std::optional<Rgb> colour;
        QString link;
        bool operator==(const CharState&) const = default;
    };
    // {\*\pn ...}: the list format of older writers, given on the paragraph itself.
    struct PnState {
        bool seen = false;
        bool bullet = false;
        bool continues = false;  // \pnlvlcont: more text of the item above, no label
        int level = 0;
        ListStyle style = ListStyle::Decimal;
        int start = 1;
        QString before;
        QString after;
    };
    struct ParaState {
        Alignment alignment = Alignment::Left;
        int leftIndent = 0;
        int firstIndent = 0;
        int spaceBefore = 0;
        int spaceAfter = 0;
        int lineSpacing = 0;
        bool lineMultiple = false;
        PnState pn;
        int listOverride = 0;  // \lsN
        int listLevel = 0;     // \ilvlN
        int tableDepth = 0;    // \intbl, \itapN
    };
    enum class End : std::uint8_t { Paragraph, Cell, Row };
    struct GroupState {
        Destination destination = Destination::Body;
        Destination beforeUpr = Destination::Body;
        bool ownDestination = false;  // set by a word in this group, not taken from the outer
        QString
            fieldLink;  // the target of the \field this group is in, once its instruction is read
        CharState chars;
        ParaState para;
        int uc = 1;
    };

    GroupState& state() { return stack_.back(); }
    bool handle(const RtfToken& token);  // false once the document has ended
    void openGroup();
    bool closeGroup();
    void closeDestination(const GroupState& closed);
    void openPicture();
    void skipCurrentGroup();
    void finish();

    void controlWord(const RtfToken& token);
    bool destinationWord(RtfControlWord word, const RtfToken& token);
    [[nodiscard]] bool takesGroup(Destination within) const;
    void tableWord(RtfControlWord word, const RtfToken& token);
    void pnWord(RtfControlWord word, const RtfToken& token);
    void listTableWord(RtfControlWord word, const RtfToken& token);
    bool characterWord(RtfControlWord word, const RtfToken& token);
    bool paragraphWord(RtfControlWord word, const RtfToken& token);
    bool tableRowWord(RtfControlWord word, const RtfToken& token);
    void unknownWord(const RtfToken& token);
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
    void endParagraph(End end = End::Paragraph, bool nested = false);
    [[nodiscard]] ParaFormat paraFormat();
    void closeListLabel();
    void placeLabel();
    [[nodiscard]] bool paragraphIsItem() const;
    ListItem listItem();
    static ListItem pnItem(const PnState& pn);
    int anonymousList(ListItem& item);
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
    QString instruction_;  // of the innermost \field
    RtfListTable lists_;
    RtfPictureReader picture_;
    RowDefinition row_;  // of \trowd and what follows it, until the next \trowd
    CellDefinition nextCell_;
    bool borderSide_ = false;  // a cell or row border word came, its line style may follow
    QString listText_;         // of the \leveltext, \pntxta or \pntxtb being read
    QString label_;            // of the \pntext or \listtext being read
    // The label of the paragraph, until its first text or its end shows whether it is an
    // item; if not, the label is kept as text.
    QString unplacedLabel_;
    std::optional<ListItem> labelItem_;
    int anonymousLists_ = 0;     // lists known only from \pn or labels count down from -1
    int previousAnonymous_ = 0;  // the list of the paragraph before, if such a list
    std::array<std::optional<ListItem>, kMaxListLevel + 1> anonymousLevels_;
};

}  // namespace veltro::richtext
