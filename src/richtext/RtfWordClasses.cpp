#include "richtext/RtfWordClasses.h"

#include <algorithm>
#include <array>

namespace veltro::richtext {
namespace {

// Sorted for binary search.
constexpr auto kInert = std::to_array<std::string_view>({
    "ab",
    "additive",
    "adeff",
    "adeflang",
    "adjustright",
    "aenddoc",
    "af",
    "afelev",
    "afs",
    "ai",
    "alang",
    "alntblind",
    "asianbrkrule",
    "aspalpha",
    "aspnum",
    "aul",
    "cachedcolbal",
    "cgrid",
    "chbrdr",
    "colsx",
    "contextualspace",
    "cs",
    "dbch",
    "deflang",
    "deflangfe",
    "deftab",
    "dntblnsbdb",
    "ds",
    "endnhere",
    "expshrtn",
    "faauto",
    "facenter",
    "facingp",
    "fafixed",
    "fahang",
    "faroman",
    "favar",
    "fbias",
    "fbidis",
    "fcs",
    "fet",
    "fldedit",
    "fldlock",
    "footery",
    "formshade",
    "fromhtml",
    "fromtext",
    "grfdocevents",
    "gutter",
    "gutterprl",
    "headery",
    "hich",
    "horzdoc",
    "htmautsp",
    "hwelev",
    "ilfomacatclnup",
    "indrlsweleven",
    "jclisttab",
    "jexpand",
    "keep",
    "keepn",
    "kerning",
    "krnprsnet",
    "landscape",
    "lastrow",
    "lin",
    "linex",
    "lnbrkrule",
    "loch",
    "ltrch",
    "ltrdoc",
    "ltrmark",
    "ltrpar",
    "ltrrow",
    "ltrsect",
    "newtblstyruls",
    "nouicompat",
    "outlinelevel",
    "pagebb",
    "pararsid",
    "pnrnot",
    "pnseclvl",
    "relyonvml",
    "rtlch",
    "rtldoc",
    "rtlmark",
    "s",
    "saauto",
    "sbauto",
    "sbknone",
    "snaptogridincell",
    "snext",
    "spltpgpar",
    "splytwnine",
    "sprsspbf",
    "sqformat",
    "tb",
    "tldot",
    "tleq",
    "tlhyph",
    "tlth",
    "tlul",
    "tqc",
    "tqdec",
    "tqr",
    "trautofit",
    "trcbpat",
    "trcfpat",
    "trgaph",
    "trhdr",
    "trkeep",
    "trpat",
    "trqc",
    "trql",
    "trqr",
    "trrh",
    "trshdng",
    "ts",
    "tx",
    "ulc",
    "useltbaln",
    "utinl",
    "vertdoc",
    "viewbksp",
    "viewkind",
    "viewscale",
    "viewzk",
    "widctlpar",
    "widowctrl",
    "wrapdefault",
    "wrppunct",
    "yts",
});
static_assert(std::is_sorted(kInert.begin(), kInert.end()));

// Families of inert words, by how they begin.
constexpr auto kInertPrefixes = std::to_array<std::string_view>(
    {"aftn",  "allow",  "aspect", "bin",    "brdr",  "cl",   "dg",   "do",   "felnb", "ftn",
     "hyph",  "ignore", "irow",   "lang",   "ln",    "lsd",  "lyt",  "marg", "no",    "page",
     "paper", "pg",     "saftn",  "save",   "sect",  "sftn", "show", "stsh", "tbl",   "theme",
     "track", "trbrdr", "trftsw", "trpadd", "trspd", "trw",  "ts",   "use",  "valid", "view"});

// Words of formats the block does not keep, with the value that means "none".
struct Lossy {
    std::string_view word;
    int none;
};
constexpr auto kLossy = std::to_array<Lossy>({
    {"box", -1},      {"caps", 0},    {"cb", 0},      {"cbpat", 0},    {"charscalex", 100},
    {"chcbpat", 0},   {"chshdng", 0}, {"embo", 0},    {"expnd", 0},    {"expndtw", 0},
    {"highlight", 0}, {"impr", 0},    {"outl", 0},    {"ri", 0},       {"rin", 0},
    {"scaps", 0},     {"shad", 0},    {"shading", 0}, {"strikedl", 0},
});

}  // namespace

bool dropsFormatting(std::string_view word, bool hasParam, int param) {
    if (std::binary_search(kInert.begin(), kInert.end(), word)) {
        return false;
    }
    // Revision marks: \insrsid, \charrsid, \rsidroot and the like.
    if (word.ends_with("rsid") || word.starts_with("rsid")) {
        return false;
    }
    if (std::any_of(kInertPrefixes.begin(), kInertPrefixes.end(),
                    [word](std::string_view prefix) { return word.starts_with(prefix); })) {
        return false;
    }
    const auto lossy = std::find_if(kLossy.begin(), kLossy.end(),
                                    [word](const Lossy& l) { return l.word == word; });
    if (lossy != kLossy.end()) {
        // A toggle without parameter is on; a value is lost unless it means "none".
        return lossy->none < 0 || (hasParam ? param != lossy->none : lossy->none == 0);
    }
    return true;
}

bool losesContent(std::string_view destination) {
    return destination == "object" || destination == "shp" || destination == "footnote" ||
           destination == "annotation" || destination.starts_with("header") ||
           destination.starts_with("footer");
}

}  // namespace veltro::richtext
