#pragma once

#include <QString>

#include <cstdint>
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

struct ParaFormat {
    Alignment alignment = Alignment::Left;
    int leftIndentTwips = 0;
    int firstIndentTwips = 0;  // negative: hanging
    bool bullet = false;

    bool operator==(const ParaFormat&) const = default;
};

struct TextRun {
    QString text;  // never holds CR, LF or U+2029; U+2028 is a line break inside the paragraph
    CharFormat format;

    bool operator==(const TextRun&) const = default;
};

struct Paragraph {
    ParaFormat format;
    std::vector<TextRun> runs;

    bool operator==(const Paragraph&) const = default;
};

// The content of one rich-text block, independent of Qt Gui.
struct RichDocument {
    std::vector<Paragraph> paragraphs;
    QString defaultFamily;  // face for runs that name none
    int defaultHalfPoints = 0;

    bool operator==(const RichDocument&) const = default;
};

// Visible text: paragraphs joined by the line break, U+2028 as a line break too, no bullet
// markers, soft hyphens and object placeholders dropped.
QString plainText(const RichDocument& document, LineBreak lineBreak);

// Plain text as a document: one unformatted paragraph per line (CR LF, CR or LF).
RichDocument documentFromPlainText(QStringView text);

// Drops empty runs and merges neighbours of equal format, so documents can be compared.
RichDocument normalized(RichDocument document);

}  // namespace veltro::richtext
