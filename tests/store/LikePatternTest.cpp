#include "store/LikePattern.h"

#include <gtest/gtest.h>

using veltro::store::LikePattern;

namespace {

struct Row {
    const char16_t* pattern;
    const char16_t* text;
    bool expected;
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << QString::fromUtf16(row.pattern).toStdString() << " ~ "
        << QString::fromUtf16(row.text).toStdString();
}

class LikePatternTable : public ::testing::TestWithParam<Row> {};

TEST_P(LikePatternTable, MatchesAsTheStoreDoes) {
    const Row& row = GetParam();
    const auto pattern = LikePattern::compile(QString::fromUtf16(row.pattern));
    ASSERT_TRUE(pattern.has_value());
    EXPECT_EQ(pattern->matches(QString::fromUtf16(row.text)), row.expected)
        << QString::fromUtf16(row.pattern).toStdString() << " ~ "
        << QString::fromUtf16(row.text).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, LikePatternTable,
    ::testing::Values(
        // any run
        Row{u"*", u"", true}, Row{u"*", u"Meier", true}, Row{u"*ei*", u"Meier", true},
        Row{u"*ei*", u"Maier", false}, Row{u"Mei*", u"Meier", true}, Row{u"*er", u"Meier", true},
        Row{u"*er", u"Meiers", false}, Row{u"M*r", u"Meier", true}, Row{u"M*r*r", u"Mr", false},
        Row{u"*a*b*", u"xxaxxbxx", true}, Row{u"*a*b", u"ab ab c", false},
        // exact text and case over all of Unicode
        Row{u"meier", u"MEIER", true}, Row{u"Müller", u"mÜLLER", true},
        Row{u"*ÄRZTE*", u"Zahnärzte Bamberg", true}, Row{u"meier", u"meiers", false},
        Row{u"", u"", true}, Row{u"", u"x", false},
        // one character, one digit
        Row{u"M??er", u"Meier", true}, Row{u"M?er", u"Meier", false}, Row{u"?", u"😀", true},
        Row{u"#", u"7", true}, Row{u"#", u"x", false}, Row{u"0951-###", u"0951-123", true},
        Row{u"0951-###", u"0951-12", false},
        // sets and ranges
        Row{u"[mb]eier", u"Beier", true}, Row{u"[mb]eier", u"Geier", false},
        Row{u"[a-f]*", u"Dach", true}, Row{u"[a-f]*", u"Zaun", false},
        Row{u"[!a-f]*", u"Zaun", true}, Row{u"[!a-f]*", u"Dach", false}, Row{u"[A-Z]", u"q", true},
        Row{u"x[]y", u"xy", true},
        // escaped wildcards are plain characters
        Row{u"A[*]", u"A*", true}, Row{u"A[*]", u"AB", false}, Row{u"[[]x]", u"[x]", true},
        Row{u"O'Neill", u"o'neill", true}));

TEST(LikePattern, AnUnclosedBracketIsAnError) {
    EXPECT_FALSE(LikePattern::compile(u"Mei[er").has_value());
    EXPECT_FALSE(LikePattern::compile(u"*[").has_value());
}

TEST(LikePattern, EscapedTextMatchesExactlyItself) {
    for (const QString& text : {QStringLiteral("A*"), QStringLiteral("[x]"), QStringLiteral("#1?"),
                                QStringLiteral("O'Neill")}) {
        const auto pattern = LikePattern::compile(LikePattern::escapeLiteral(text));
        ASSERT_TRUE(pattern.has_value());
        EXPECT_TRUE(pattern->matches(text)) << text.toStdString();
        EXPECT_FALSE(pattern->matches(text + u'x')) << text.toStdString();
    }
    const auto star = LikePattern::compile(LikePattern::escapeLiteral(u"A*"));
    EXPECT_FALSE(star->matches(u"AB"));
}

}  // namespace
