#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <utility>
#include <vector>

namespace veltro::store {

// The card store's pattern syntax: "*" any run, "?" one character, "#" one digit,
// "[abc]", "[a-z]" and "[!abc]" one character of (not of) a set. Case-insensitive over
// all of Unicode; works on code points, so an emoji is one character.
class LikePattern {
public:
    // Returns nothing when the pattern is malformed (an unclosed "[").
    [[nodiscard]] static std::optional<LikePattern> compile(QStringView pattern);

    [[nodiscard]] bool matches(QStringView text) const;
    // For callers that keep case-folded texts ready (the in-memory card index).
    [[nodiscard]] bool matchesFolded(QStringView foldedText) const;

    // The plain shapes a caller can match without the general matcher, with their
    // case-folded literal text (empty for All and General).
    enum class Shape { General, All, Exact, Prefix, Suffix, Contains };
    [[nodiscard]] Shape shape() const { return shape_; }
    [[nodiscard]] const QString& literal() const { return literal_; }

    // A pattern that matches exactly this text, wildcards taken literally.
    [[nodiscard]] static QString escapeLiteral(QStringView text);

private:
    struct Token {
        enum class Kind { Star, Any, Digit, Literal, Set };
        Kind kind = Kind::Literal;
        char32_t ch = 0;
        bool negated = false;
        std::vector<std::pair<char32_t, char32_t>> ranges;
    };
    [[nodiscard]] bool matchesGeneral(QStringView folded) const;
    [[nodiscard]] static bool tokenMatches(const Token& token, char32_t c);
    void classify();

    std::vector<Token> tokens_;
    Shape shape_ = Shape::General;
    QString literal_;  // folded literal for the simple shapes
};

}  // namespace veltro::store
