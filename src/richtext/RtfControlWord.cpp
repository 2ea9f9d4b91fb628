#include "richtext/RtfControlWord.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace veltro::richtext {
namespace {

using W = RtfControlWord;
using Entry = std::pair<std::string_view, RtfControlWord>;

// Sorted by name, which keeps the list easy to read and check.
constexpr auto kWords = std::to_array<Entry>({
    {"annotation", W::SkippedDestination},
    {"ansi", W::Ansi},
    {"ansicpg", W::AnsiCpg},
    {"atnauthor", W::SkippedDestination},
    {"atnid", W::SkippedDestination},
    {"b", W::Bold},
    {"bkmkend", W::SkippedDestination},
    {"bkmkstart", W::SkippedDestination},
    {"blue", W::Blue},
    {"bullet", W::Bullet},
    {"cell", W::Cell},
    {"cellx", W::CellRight},
    {"cf", W::Colour},
    {"clmgf", W::CellMergeAcross},
    {"clmrg", W::CellMergeAcross},
    {"clvmgf", W::CellMergeFirst},
    {"clvmrg", W::CellMergeContinued},
    {"colorschememapping", W::SkippedDestination},
    {"colortbl", W::ColorTable},
    {"cpg", W::FontCodePage},
    {"datastore", W::SkippedDestination},
    {"deff", W::Deff},
    {"dn", W::Down},
    {"emdash", W::Emdash},
    {"emspace", W::Emspace},
    {"endash", W::Endash},
    {"enspace", W::Enspace},
    {"f", W::Font},
    {"falt", W::SkippedDestination},
    {"fcharset", W::FontCharset},
    {"fi", W::FirstIndent},
    {"field", W::Field},
    {"filetbl", W::SkippedDestination},
    {"fldinst", W::FieldInstruction},
    {"fldrslt", W::FieldResult},
    {"fname", W::SkippedDestination},
    {"fontemb", W::SkippedDestination},
    {"fontfile", W::SkippedDestination},
    {"fonttbl", W::FontTable},
    {"footer", W::SkippedDestination},
    {"footerf", W::SkippedDestination},
    {"footerl", W::SkippedDestination},
    {"footerr", W::SkippedDestination},
    {"footnote", W::SkippedDestination},
    {"fs", W::FontSize},
    {"generator", W::SkippedDestination},
    {"green", W::Green},
    {"header", W::SkippedDestination},
    {"headerf", W::SkippedDestination},
    {"headerl", W::SkippedDestination},
    {"headerr", W::SkippedDestination},
    {"i", W::Italic},
    {"ilvl", W::ListLevelNumber},
    {"info", W::SkippedDestination},
    {"intbl", W::InTable},
    {"itap", W::TableDepth},
    {"latentstyles", W::SkippedDestination},
    {"ldblquote", W::Ldblquote},
    {"levelnfc", W::LevelNumberFormat},
    {"levelnfcn", W::LevelNumberFormat},
    {"levelstartat", W::LevelStart},
    {"leveltext", W::LevelText},
    {"li", W::LeftIndent},
    {"line", W::Line},
    {"list", W::List},
    {"listid", W::ListId},
    {"listlevel", W::ListLevel},
    {"listoverride", W::ListOverrideEntry},
    {"listoverridetable", W::ListOverrideTable},
    {"listtable", W::ListTable},
    {"listtext", W::ListText},
    {"lquote", W::Lquote},
    {"ls", W::ListOverride},
    {"mac", W::Mac},
    {"mmathPr", W::SkippedDestination},
    {"nestcell", W::NestCell},
    {"nestrow", W::NestRow},
    {"nonshppict", W::SkippedDestination},
    {"nosupersub", W::NoSuperSub},
    {"object", W::SkippedDestination},
    {"page", W::Par},
    {"panose", W::SkippedDestination},
    {"par", W::Par},
    {"pard", W::Pard},
    {"pc", W::Pc},
    {"pca", W::Pca},
    {"pgdsctbl", W::SkippedDestination},
    {"pict", W::Picture},
    {"plain", W::Plain},
    {"pn", W::Pn},
    {"pndec", W::PnDecimal},
    {"pnlcltr", W::PnLowerAlpha},
    {"pnlcrm", W::PnLowerRoman},
    {"pnlvl", W::PnLevel},
    {"pnlvlblt", W::PnBullet},
    {"pnlvlbody", W::PnBody},
    {"pnlvlcont", W::PnContinue},
    {"pnstart", W::PnStart},
    {"pntext", W::PnText},
    {"pntxta", W::PnTextAfter},
    {"pntxtb", W::PnTextBefore},
    {"pnucltr", W::PnUpperAlpha},
    {"pnucrm", W::PnUpperRoman},
    {"qc", W::AlignCenter},
    {"qj", W::AlignJustify},
    {"ql", W::AlignLeft},
    {"qmspace", W::Qmspace},
    {"qr", W::AlignRight},
    {"rdblquote", W::Rdblquote},
    {"red", W::Red},
    {"revtbl", W::SkippedDestination},
    {"row", W::Row},
    {"rquote", W::Rquote},
    {"rsidtbl", W::SkippedDestination},
    {"rtf", W::Rtf},
    {"sa", W::SpaceAfter},
    {"sb", W::SpaceBefore},
    {"sect", W::Par},
    {"shppict", W::ShapePicture},
    {"sl", W::LineSpacing},
    {"slmult", W::LineMultiple},
    {"strike", W::Strike},
    {"striked", W::Strike},
    {"stylesheet", W::SkippedDestination},
    {"sub", W::Sub},
    {"super", W::Super},
    {"tab", W::Tab},
    {"tc", W::SkippedDestination},
    {"themedata", W::SkippedDestination},
    {"trleft", W::RowLeft},
    {"trowd", W::RowDefaults},
    {"u", W::U},
    {"uc", W::Uc},
    {"ud", W::Ud},
    {"ul", W::Underline},
    {"uld", W::Underline},
    {"uldash", W::Underline},
    {"uldashd", W::Underline},
    {"uldashdd", W::Underline},
    {"uldb", W::Underline},
    {"ulhwave", W::Underline},
    {"ulldash", W::Underline},
    {"ulnone", W::UnderlineNone},
    {"ulth", W::Underline},
    {"ulthd", W::Underline},
    {"ulthdash", W::Underline},
    {"ulthdashd", W::Underline},
    {"ulthdashdd", W::Underline},
    {"ulthldash", W::Underline},
    {"ululdbwave", W::Underline},
    {"ulw", W::Underline},
    {"ulwave", W::Underline},
    {"up", W::Up},
    {"upr", W::Upr},
    {"urtf", W::Urtf},
    {"v", W::Hidden},
    {"xe", W::SkippedDestination},
    {"xmlnstbl", W::SkippedDestination},
});

static_assert(std::is_sorted(kWords.begin(), kWords.end(),
                             [](const Entry& a, const Entry& b) { return a.first < b.first; }));

// Shape destinations come in many spellings (shpinst, shptxt, shprslt, ...).
bool isShapeDestination(std::string_view word) {
    return word.starts_with("shp");
}

// An open-addressed table over the names, built once: a word costs one hash and mostly one
// comparison, where a binary search compared seven names.
class WordTable {
public:
    WordTable() {
        for (std::size_t i = 0; i < kWords.size(); ++i) {
            std::size_t slot = hash(kWords[i].first) & kMask;
            while (slots_[slot] != 0) {
                slot = (slot + 1) & kMask;
            }
            slots_[slot] = static_cast<std::uint8_t>(i + 1);
        }
    }
    [[nodiscard]] RtfControlWord find(std::string_view word) const {
        for (std::size_t slot = hash(word) & kMask; slots_[slot] != 0; slot = (slot + 1) & kMask) {
            const Entry& entry = kWords[slots_[slot] - 1];
            if (sameName(entry.first, word)) {
                return entry.second;
            }
        }
        return W::Unknown;
    }

private:
    // Names are short: a loop beats a call to memcmp.
    static bool sameName(std::string_view a, std::string_view b) {
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i] != b[i]) {
                return false;
            }
        }
        return true;
    }
    static constexpr std::size_t kMask = 511;
    // Length, first, middle and last letter tell the names apart well enough, with no loop.
    static std::size_t hash(std::string_view word) {
        std::uint32_t h = static_cast<std::uint32_t>(word.size());
        if (!word.empty()) {
            const auto at = [&](std::size_t i) {
                return static_cast<std::uint32_t>(static_cast<unsigned char>(word[i]));
            };
            h |= (at(0) << 8) | (at(word.size() / 2) << 16) | (at(word.size() - 1) << 24);
        }
        return (h * 0x9E3779B1U) >> 23;
    }
    std::array<std::uint8_t, kMask + 1> slots_{};
};
static_assert(kWords.size() < 255);

const WordTable kTable;

}  // namespace

RtfControlWord lookupControlWord(std::string_view word) {
    const RtfControlWord found = kTable.find(word);
    if (found != W::Unknown) {
        return found;
    }
    return isShapeDestination(word) ? W::SkippedDestination : W::Unknown;
}

}  // namespace veltro::richtext
