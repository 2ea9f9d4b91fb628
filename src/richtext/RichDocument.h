#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace veltro::richtext {

enum class Alignment { Left, Right, Center, Justify };
enum class VerticalAlignment : std::uint8_t { Normal, Super, Sub };
enum class LineBreak { CrLf, Lf };

// 0xRRGGBB
using Rgb = std::uint32_t;

struct CharFormat {
    QString family;      // empty: the document's default face
    int halfPoints = 0;  // 0: the document's default size
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    VerticalAlignment vertical = VerticalAlignment::Normal;
    std::optional<Rgb> colour;  // nullopt: automatic (the text colour of the window)
    QString link;               // the target of a hyperlink; empty: none

    bool operator==(const CharFormat&) const = default;
};

enum class ListStyle : std::uint8_t {
    Disc,
    Circle,
    Square,
    Decimal,
    LowerAlpha,
    UpperAlpha,
    LowerRoman,
    UpperRoman,
};
inline constexpr int kMaxListLevel = 8;

[[nodiscard]] constexpr bool isBullet(ListStyle style) {
    return style == ListStyle::Disc || style == ListStyle::Circle || style == ListStyle::Square;
}

// A paragraph's place in a list. Items with the same list number form one list, also when
// other paragraphs stand between them; each level of a list counts on its own and starts again
// after an item of a higher level.
struct ListItem {
    int list = 0;   // 0: not an item
    int level = 0;  // 0 … kMaxListLevel
    ListStyle style = ListStyle::Disc;
    QString prefix;  // text around the number; none for bullets
    QString suffix;
    int start = 1;  // the number of the level's first item

    bool operator==(const ListItem&) const = default;
};

struct ParaFormat {
    Alignment alignment = Alignment::Left;
    // A list item's own indents, where its writer gave some; 0 for the list's usual ones.
    int leftIndentTwips = 0;
    int firstIndentTwips = 0;  // negative: hanging
    int spaceBeforeTwips = 0;
    int spaceAfterTwips = 0;
    // \slN: 0 single; with lineMultiple N/240 lines, else at least N twips, or exactly -N.
    int lineSpacing = 0;
    bool lineMultiple = false;
    ListItem list;
    int tableDepth = 0;  // 1 in a table's cell, 2 and more in a table inside a cell

    [[nodiscard]] bool isItem() const { return list.list != 0; }
    bool operator==(const ParaFormat&) const = default;
};

// A picture as RTF holds it: its bytes and the words that describe them. What Qt cannot draw
// (metafiles, bitmaps of old) is kept and written back as it came.
struct Picture {
    QByteArray type;   // the word naming the data: "pngblip", "jpegblip", "emfblip", "wmetafile8"
    QByteArray words;  // the other words of \pict as written, e.g. "\\picw32\\pich32"
    QByteArray data;
    int widthTwips = 0;  // as shown
    int heightTwips = 0;

    [[nodiscard]] bool isDrawable() const { return type == "pngblip" || type == "jpegblip"; }
    bool operator==(const Picture&) const = default;
};

struct TextRun {
    QString text;  // never holds CR, LF or U+2029; U+2028 is a line break inside the paragraph
    CharFormat format;
    // A picture run's text is one U+FFFC.
    std::shared_ptr<const Picture> picture = nullptr;

    bool operator==(const TextRun& other) const {
        return text == other.text && format == other.format &&
               (picture == other.picture ||
                (picture && other.picture && *picture == *other.picture));
    }
};

// Where a paragraph of a table sits: the table's index in RichDocument::tables, the row,
// and the cell as the row's definition counts them.
struct CellPlace {
    int table = -1;  // -1: in no table
    int row = 0;
    int cell = 0;

    bool operator==(const CellPlace&) const = default;
};

struct Paragraph {
    ParaFormat format;
    std::vector<TextRun> runs;
    CellPlace place = {};

    bool operator==(const Paragraph&) const = default;
};

// A cell merged with the one below (First) or with the one above (Continued), which is then
// empty and drawn as part of it.
enum class CellMerge : std::uint8_t { None, First, Continued };

struct CellFormat {
    int rightTwips = 0;  // the cell's right edge
    CellMerge merge = CellMerge::None;

    bool operator==(const CellFormat&) const = default;
};

struct RowFormat {
    int leftTwips = 0;  // the left edge of the first cell
    std::vector<CellFormat> cells;

    bool operator==(const RowFormat&) const = default;
};

// A table whose rows share their left and right edges. Its paragraphs stand together in
// RichDocument::paragraphs, row by row and cell by cell, every cell with at least one.
struct Table {
    std::vector<RowFormat> rows;
    bool borders = false;

    bool operator==(const Table&) const = default;
};

// The content of one rich-text block, independent of Qt Gui.
struct RichDocument {
    std::vector<Paragraph> paragraphs;
    std::vector<Table> tables;
    // What the RTF held that this document does not: formats, objects, tables Qt cannot hold.
    int dropped = 0;
    QString defaultFamily;  // face for runs that name none
    int defaultHalfPoints = 0;

    bool operator==(const RichDocument&) const = default;
};

// Visible text: paragraphs joined by the line break, cells of a table row by a tab, U+2028 as
// a line break too, no list labels, soft hyphens and object placeholders dropped.
QString plainText(const RichDocument& document, LineBreak lineBreak);

// Plain text as a document: one unformatted paragraph per line (CR LF, CR or LF).
RichDocument documentFromPlainText(QStringView text);

// Drops empty runs and merges neighbours of equal format, numbers lists 1, 2, … in order of
// appearance and clears what bullets do not use, so documents can be compared.
RichDocument normalized(RichDocument document);

// The label of a list item with this number, e.g. "3.", "c)", "iv." or "•".
QString listLabel(const ListItem& item, int number);

// Numbers the items of a document in order: each list level counts from its start and starts
// again after an item of a higher level of the same list.
class ListCounter {
public:
    // The number of the next item.
    int next(const ListItem& item);

private:
    struct Levels {
        std::array<std::optional<int>, kMaxListLevel + 1> last{};
    };
    std::map<int, Levels> lists_;
};

}  // namespace veltro::richtext
