#include "RandomDocument.h"

#include <array>

namespace veltro::richtext::test {
namespace {

const QString kAsian = QStringLiteral("漢字");
const std::array<QString, 14> kPieces = {QStringLiteral("Hauptstraße"),
                                         QStringLiteral(" 12"),
                                         QStringLiteral("äöüß €"),
                                         QStringLiteral("Привет"),
                                         kAsian,
                                         QStringLiteral("😀"),
                                         QStringLiteral("\\{}"),
                                         QStringLiteral("\t"),
                                         QString(QChar(0x00A0)),
                                         QString(QChar(0x2028)),
                                         QStringLiteral("Müller, Dr."),
                                         QStringLiteral("x"),
                                         QStringLiteral("2011\u2011"),
                                         QStringLiteral("  ")};
const std::array<QString, 3> kFamilies = {
    QStringLiteral("Arial"), QStringLiteral("Times New Roman"), QStringLiteral("Courier New")};
const std::array<std::optional<Rgb>, 4> kColours = {std::nullopt, Rgb{0xFF0000}, Rgb{0x0000FF},
                                                    Rgb{0x008000}};
const std::array<VerticalAlignment, 4> kVerticals = {
    VerticalAlignment::Normal, VerticalAlignment::Normal, VerticalAlignment::Super,
    VerticalAlignment::Sub};
const std::array<QString, 4> kLinks = {QString(), QStringLiteral("https://example.org/a?b=1&c=%20"),
                                       QStringLiteral("mailto:m\u00fcller@example.de"),
                                       QStringLiteral("file:///C:/Briefe/Brief%201.txt")};
const std::array<Alignment, 4> kAlignments = {Alignment::Left, Alignment::Right, Alignment::Center,
                                              Alignment::Justify};

template <typename T, std::size_t N>
const T& pick(const std::array<T, N>& items, std::mt19937& rng) {
    return items[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}

bool chance(std::mt19937& rng, double p) {
    return std::bernoulli_distribution(p)(rng);
}

CharFormat randomFormat(std::mt19937& rng) {
    CharFormat format;
    format.family = pick(kFamilies, rng);
    format.halfPoints = std::uniform_int_distribution<int>(14, 40)(rng);
    format.bold = chance(rng, 0.3);
    format.italic = chance(rng, 0.3);
    format.underline = chance(rng, 0.2);
    format.strike = chance(rng, 0.1);
    format.colour = pick(kColours, rng);
    format.vertical = pick(kVerticals, rng);
    if (chance(rng, 0.2)) {
        format.link = pick(kLinks, rng);
    }
    return format;
}

const std::array<ListStyle, 8> kListStyles = {
    ListStyle::Disc,       ListStyle::Circle,     ListStyle::Square,     ListStyle::Decimal,
    ListStyle::LowerAlpha, ListStyle::UpperAlpha, ListStyle::LowerRoman, ListStyle::UpperRoman};
const std::array<QString, 2> kPrefixes = {QString(), QStringLiteral("(")};
const std::array<QString, 3> kSuffixes = {QStringLiteral("."), QStringLiteral(")"), QString()};
const std::array<int, 3> kStarts = {1, 1, 3};
constexpr int kLevels = 3;

// Two lists, each with a format per level, which all items of that level share.
std::array<std::array<ListItem, kLevels>, 2> randomLists(std::mt19937& rng) {
    std::array<std::array<ListItem, kLevels>, 2> lists;
    for (std::size_t list = 0; list < lists.size(); ++list) {
        for (int level = 0; level < kLevels; ++level) {
            ListItem& item = lists[list][static_cast<std::size_t>(level)];
            item.list = static_cast<int>(list) + 1;
            item.level = level;
            item.style = pick(kListStyles, rng);
            if (!isBullet(item.style)) {
                item.prefix = pick(kPrefixes, rng);
                item.suffix = pick(kSuffixes, rng);
                item.start = pick(kStarts, rng);
            }
        }
    }
    return lists;
}

std::string describe(const Paragraph& paragraph) {
    QString text;
    for (const TextRun& run : paragraph.runs) {
        const CharFormat& f = run.format;
        text += QStringLiteral("[%1|%2 %3%4%5%6%7 %8 v%9 %10]")
                    .arg(run.text, f.family)
                    .arg(f.halfPoints)
                    .arg(QLatin1String(f.bold ? "b" : ""), QLatin1String(f.italic ? "i" : ""),
                         QLatin1String(f.underline ? "u" : ""), QLatin1String(f.strike ? "s" : ""))
                    .arg(f.colour ? QString::number(*f.colour, 16) : QStringLiteral("auto"))
                    .arg(static_cast<int>(f.vertical))
                    .arg(f.link);
    }
    return text.toStdString();
}

}  // namespace

namespace {

void addRuns(Paragraph& paragraph, std::mt19937& rng, Scripts scripts) {
    const int runs = std::uniform_int_distribution<int>(0, 4)(rng);
    for (int r = 0; r < runs; ++r) {
        QString text;
        const int pieces = std::uniform_int_distribution<int>(1, 3)(rng);
        for (int k = 0; k < pieces; ++k) {
            const QString& piece = pick(kPieces, rng);
            if (scripts == Scripts::WithAsian || piece != kAsian) {
                text += piece;
            }
        }
        paragraph.runs.push_back({text, randomFormat(rng)});
    }
}

void addSpacing(ParaFormat& format, std::mt19937& rng) {
    if (chance(rng, 0.2)) {
        format.spaceBeforeTwips = 120;
        format.spaceAfterTwips = 200;
        format.lineSpacing = 276;
        format.lineMultiple = true;
    }
}

// A table of up to three rows and columns, its cells one or two paragraphs, with a cell
// merged into the one above now and then.
void addTable(RichDocument& document, std::mt19937& rng, Scripts scripts) {
    const int index = static_cast<int>(document.tables.size());
    const int rows = std::uniform_int_distribution<int>(1, 3)(rng);
    const int columns = std::uniform_int_distribution<int>(1, 3)(rng);
    const int merged =
        rows > 1 && chance(rng, 0.4) ? std::uniform_int_distribution<int>(0, columns - 1)(rng) : -1;
    Table table;
    table.borders = chance(rng, 0.5);
    const int left = chance(rng, 0.5) ? 0 : -108;
    for (int r = 0; r < rows; ++r) {
        RowFormat row;
        row.leftTwips = left;
        for (int c = 0; c < columns; ++c) {
            CellFormat cell;
            cell.rightTwips = left + (c + 1) * 1440;
            cell.merge = c != merged ? CellMerge::None
                         : r == 0    ? CellMerge::First
                                     : CellMerge::Continued;
            row.cells.push_back(cell);
            const int paragraphs = cell.merge == CellMerge::Continued
                                       ? 1
                                       : std::uniform_int_distribution<int>(1, 2)(rng);
            for (int p = 0; p < paragraphs; ++p) {
                Paragraph paragraph;
                paragraph.format.tableDepth = 1;
                paragraph.place = {index, r, c};
                if (cell.merge != CellMerge::Continued) {
                    paragraph.format.alignment = pick(kAlignments, rng);
                    addRuns(paragraph, rng, scripts);
                }
                document.paragraphs.push_back(std::move(paragraph));
            }
        }
        table.rows.push_back(std::move(row));
    }
    document.tables.push_back(std::move(table));
}

}  // namespace

RichDocument randomDocument(std::mt19937& rng, Scripts scripts) {
    RichDocument document;
    const int paragraphs = std::uniform_int_distribution<int>(1, 6)(rng);
    const int tableAt =
        chance(rng, 0.3) ? std::uniform_int_distribution<int>(0, paragraphs)(rng) : -1;
    const auto lists = randomLists(rng);
    ListItem previous;
    for (int p = 0; p <= paragraphs; ++p) {
        if (p == tableAt) {
            addTable(document, rng, scripts);
            previous = {};
        }
        if (p == paragraphs) {
            break;
        }
        Paragraph paragraph;
        paragraph.format.alignment = pick(kAlignments, rng);
        if (chance(rng, 0.35)) {
            const auto list = std::uniform_int_distribution<std::size_t>(0, 1)(rng);
            const int deepest = previous.list == static_cast<int>(list) + 1
                                    ? std::min(previous.level + 1, kLevels - 1)
                                    : 0;
            const int level = std::uniform_int_distribution<int>(0, deepest)(rng);
            paragraph.format.list = lists[list][static_cast<std::size_t>(level)];
        }
        previous = paragraph.format.list;
        if (!paragraph.format.isItem() && chance(rng, 0.2)) {
            paragraph.format.leftIndentTwips = 720;
            paragraph.format.firstIndentTwips = -360;
        }
        addSpacing(paragraph.format, rng);
        addRuns(paragraph, rng, scripts);
        document.paragraphs.push_back(std::move(paragraph));
    }
    return normalized(std::move(document));
}

// Tables match in rows, cells, merges, borders and cell widths; where they stand is left to
// the writer: LibreOffice moves a table by the space it keeps around cells.
::testing::AssertionResult sameTables(const RichDocument& a, const RichDocument& b) {
    if (a.tables.size() != b.tables.size()) {
        return ::testing::AssertionFailure()
               << "tables: " << a.tables.size() << " vs " << b.tables.size();
    }
    for (std::size_t t = 0; t < a.tables.size(); ++t) {
        const Table& x = a.tables[t];
        const Table& y = b.tables[t];
        if (x.rows.size() != y.rows.size() || x.borders != y.borders) {
            return ::testing::AssertionFailure() << "table " << t << ": rows or borders";
        }
        for (std::size_t r = 0; r < x.rows.size(); ++r) {
            const auto& cx = x.rows[r].cells;
            const auto& cy = y.rows[r].cells;
            if (cx.size() != cy.size()) {
                return ::testing::AssertionFailure() << "table " << t << " row " << r << ": cells";
            }
            int leftX = x.rows[r].leftTwips;
            int leftY = y.rows[r].leftTwips;
            for (std::size_t k = 0; k < cx.size(); ++k) {
                if (cx[k].merge != cy[k].merge ||
                    std::abs((cx[k].rightTwips - leftX) - (cy[k].rightTwips - leftY)) > 2) {
                    return ::testing::AssertionFailure()
                           << "table " << t << " row " << r << " cell " << k << ": merge or width";
                }
                leftX = cx[k].rightTwips;
                leftY = cy[k].rightTwips;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult sameContent(const RichDocument& expected, const RichDocument& actual) {
    const RichDocument a = normalized(expected);
    const RichDocument b = normalized(actual);
    if (auto tables = sameTables(a, b); !tables) {
        return tables;
    }
    if (a.paragraphs.size() != b.paragraphs.size()) {
        return ::testing::AssertionFailure()
               << "paragraphs: " << a.paragraphs.size() << " vs " << b.paragraphs.size();
    }
    for (std::size_t i = 0; i < a.paragraphs.size(); ++i) {
        const Paragraph& x = a.paragraphs[i];
        const Paragraph& y = b.paragraphs[i];
        if (x.format.alignment != y.format.alignment || x.format.list != y.format.list) {
            return ::testing::AssertionFailure()
                   << "paragraph " << i << ": alignment " << static_cast<int>(x.format.alignment)
                   << " vs " << static_cast<int>(y.format.alignment)
                   << " or list item, expected list " << x.format.list.list << " level "
                   << x.format.list.level << " style " << static_cast<int>(x.format.list.style)
                   << " got list " << y.format.list.list << " level " << y.format.list.level
                   << " style " << static_cast<int>(y.format.list.style);
        }
        if (!x.format.isItem() && (x.format.leftIndentTwips != y.format.leftIndentTwips ||
                                   x.format.firstIndentTwips != y.format.firstIndentTwips)) {
            return ::testing::AssertionFailure() << "paragraph " << i << ": indents";
        }
        if (x.format.spaceBeforeTwips != y.format.spaceBeforeTwips ||
            x.format.spaceAfterTwips != y.format.spaceAfterTwips ||
            x.format.lineSpacing != y.format.lineSpacing ||
            x.format.lineMultiple != y.format.lineMultiple) {
            return ::testing::AssertionFailure() << "paragraph " << i << ": spacing";
        }
        if (x.place != y.place) {
            return ::testing::AssertionFailure()
                   << "paragraph " << i << ": cell " << x.place.table << '/' << x.place.row << '/'
                   << x.place.cell << " vs " << y.place.table << '/' << y.place.row << '/'
                   << y.place.cell;
        }
        if (x.runs != y.runs) {
            return ::testing::AssertionFailure() << "paragraph " << i << ": runs differ, expected "
                                                 << describe(x) << " got " << describe(y);
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace veltro::richtext::test
