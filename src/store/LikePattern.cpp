#include "store/LikePattern.h"

#include "store/CaseFold.h"

#include <QChar>

namespace veltro::store {

namespace {

// Reads the code point at i and advances i past it.
char32_t nextCodePoint(QStringView text, qsizetype& i) {
    const QChar c = text[i++];
    if (c.isHighSurrogate() && i < text.size() && text[i].isLowSurrogate()) {
        return QChar::surrogateToUcs4(c, text[i++]);
    }
    return c.unicode();
}

}  // namespace

std::optional<LikePattern> LikePattern::compile(QStringView pattern) {
    const QString folded = foldCase(pattern);
    const QStringView text(folded);
    LikePattern result;
    qsizetype i = 0;
    while (i < text.size()) {
        const char32_t c = nextCodePoint(text, i);
        Token token;
        if (c == U'*') {
            if (!result.tokens_.empty() && result.tokens_.back().kind == Token::Kind::Star) {
                continue;
            }
            token.kind = Token::Kind::Star;
        } else if (c == U'?') {
            token.kind = Token::Kind::Any;
        } else if (c == U'#') {
            token.kind = Token::Kind::Digit;
        } else if (c == U'[') {
            const qsizetype close = text.indexOf(u']', i);
            if (close < 0) {
                return std::nullopt;
            }
            QStringView body = text.sliced(i, close - i);
            i = close + 1;
            if (body.isEmpty()) {
                continue;  // "[]" stands for the empty text
            }
            token.kind = Token::Kind::Set;
            if (body.front() == u'!') {
                token.negated = true;
                body = body.sliced(1);
            }
            qsizetype j = 0;
            while (j < body.size()) {
                const char32_t low = nextCodePoint(body, j);
                char32_t high = low;
                if (j + 1 < body.size() && body[j] == u'-') {
                    ++j;
                    high = nextCodePoint(body, j);
                }
                token.ranges.emplace_back(low, high);
            }
        } else {
            token.ch = c;
        }
        result.tokens_.push_back(std::move(token));
    }
    result.classify();
    return result;
}

void LikePattern::classify() {
    const auto isStar = [](const Token& t) { return t.kind == Token::Kind::Star; };
    const bool leading = !tokens_.empty() && isStar(tokens_.front());
    const bool trailing = tokens_.size() > (leading ? 1U : 0U) && isStar(tokens_.back());
    const auto first = tokens_.begin() + (leading ? 1 : 0);
    const auto last = tokens_.end() - (trailing ? 1 : 0);
    QString literal;
    for (auto it = first; it != last; ++it) {
        if (it->kind != Token::Kind::Literal) {
            shape_ = Shape::General;
            return;
        }
        literal.append(QString::fromUcs4(&it->ch, 1));
    }
    literal_ = literal;
    if (leading && literal.isEmpty()) {
        shape_ = Shape::All;
    } else if (leading && trailing) {
        shape_ = Shape::Contains;
    } else if (leading) {
        shape_ = Shape::Suffix;
    } else if (trailing) {
        shape_ = Shape::Prefix;
    } else {
        shape_ = Shape::Exact;
    }
}

bool LikePattern::matches(QStringView text) const {
    return matchesFolded(foldCase(text));
}

bool LikePattern::matchesFolded(QStringView folded) const {
    switch (shape_) {
        case Shape::All:
            return true;
        case Shape::Exact:
            return folded == literal_;
        case Shape::Prefix:
            return folded.startsWith(literal_);
        case Shape::Suffix:
            return folded.endsWith(literal_);
        case Shape::Contains:
            return folded.contains(literal_);
        case Shape::General:
            break;
    }
    return matchesGeneral(folded);
}

bool LikePattern::tokenMatches(const Token& token, char32_t c) {
    switch (token.kind) {
        case Token::Kind::Any:
            return true;
        case Token::Kind::Digit:
            return QChar::isDigit(c);
        case Token::Kind::Literal:
            return token.ch == c;
        case Token::Kind::Set: {
            bool inSet = false;
            for (const auto& [low, high] : token.ranges) {
                inSet = inSet || (c >= low && c <= high);
            }
            return inSet != token.negated;
        }
        case Token::Kind::Star:
            break;
    }
    return false;
}

bool LikePattern::matchesGeneral(QStringView text) const {
    const auto count = static_cast<qsizetype>(tokens_.size());
    qsizetype i = 0;
    qsizetype p = 0;
    qsizetype starToken = -1;
    qsizetype starText = 0;
    while (i < text.size()) {
        if (p < count && tokens_[p].kind == Token::Kind::Star) {
            starToken = p++;
            starText = i;
            continue;
        }
        qsizetype next = i;
        const char32_t c = nextCodePoint(text, next);
        if (p < count && tokenMatches(tokens_[p], c)) {
            i = next;
            ++p;
            continue;
        }
        if (starToken < 0) {
            return false;
        }
        // Let the last star swallow one more character and retry from there.
        p = starToken + 1;
        nextCodePoint(text, starText);
        i = starText;
    }
    while (p < count && tokens_[p].kind == Token::Kind::Star) {
        ++p;
    }
    return p == count;
}

QString LikePattern::escapeLiteral(QStringView text) {
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[') {
            out += u'[';
            out += c;
            out += u']';
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace veltro::store
