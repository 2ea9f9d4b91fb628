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

RichDocument randomDocument(std::mt19937& rng, Scripts scripts) {
    RichDocument document;
    const int paragraphs = std::uniform_int_distribution<int>(1, 6)(rng);
    for (int p = 0; p < paragraphs; ++p) {
        Paragraph paragraph;
        paragraph.format.alignment = pick(kAlignments, rng);
        paragraph.format.bullet = chance(rng, 0.3);
        if (!paragraph.format.bullet && chance(rng, 0.2)) {
            paragraph.format.leftIndentTwips = 720;
            paragraph.format.firstIndentTwips = -360;
        }
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
        document.paragraphs.push_back(std::move(paragraph));
    }
    return normalized(std::move(document));
}

::testing::AssertionResult sameContent(const RichDocument& expected, const RichDocument& actual) {
    const RichDocument a = normalized(expected);
    const RichDocument b = normalized(actual);
    if (a.paragraphs.size() != b.paragraphs.size()) {
        return ::testing::AssertionFailure()
               << "paragraphs: " << a.paragraphs.size() << " vs " << b.paragraphs.size();
    }
    for (std::size_t i = 0; i < a.paragraphs.size(); ++i) {
        const Paragraph& x = a.paragraphs[i];
        const Paragraph& y = b.paragraphs[i];
        if (x.format.alignment != y.format.alignment || x.format.bullet != y.format.bullet) {
            return ::testing::AssertionFailure() << "paragraph " << i << ": alignment or bullet";
        }
        if (!x.format.bullet && (x.format.leftIndentTwips != y.format.leftIndentTwips ||
                                 x.format.firstIndentTwips != y.format.firstIndentTwips)) {
            return ::testing::AssertionFailure() << "paragraph " << i << ": indents";
        }
        if (x.runs != y.runs) {
            return ::testing::AssertionFailure() << "paragraph " << i << ": runs differ, expected "
                                                 << describe(x) << " got " << describe(y);
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace veltro::richtext::test
