#include "store/ByteSearch.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

TEST(ByteSearch, FindsWhatStringFindFinds) {
    std::mt19937 rng(13);
    for (int round = 0; round < 3000; ++round) {
        std::string haystack(rng() % 80, 'a');
        for (char& c : haystack) {
            c = "ab\0\xC3\xBC"[rng() % 5];
        }
        std::string needle(1 + rng() % 4, 'a');
        for (char& c : needle) {
            c = "ab\xC3\xBC"[rng() % 4];
        }
        const std::size_t from = haystack.empty() ? 0 : rng() % (haystack.size() + 2);
        const std::string_view text(haystack);
        const std::size_t expected =
            from > text.size() ? std::string_view::npos : text.find(needle, from);
        ASSERT_EQ(veltro::store::findBytes(text, from, needle), expected)
            << haystack.size() << " " << needle << " from " << from;
    }
}

TEST(ByteSearch, FindsAtTheVeryEndOfALongText) {
    std::string text(1000, 'x');
    text += "müller";
    EXPECT_EQ(veltro::store::findBytes(text, 0, "müller"), 1000U);
    EXPECT_EQ(veltro::store::findBytes(text, 1001, "müller"), std::string_view::npos);
    EXPECT_EQ(veltro::store::findBytes(text, 0, "xm"), 999U);
}

}  // namespace
