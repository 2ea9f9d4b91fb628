#include "duplicates/Folding.h"

#include <algorithm>
#include <array>

namespace veltro::duplicates {

namespace {

// The words a name may carry that say nothing about who it is.
bool isTitle(QStringView word) {
    return word == u"dr" || word == u"herr" || word == u"frau";
}

void appendFoldedLetter(QChar c, QString& word) {
    switch (c.unicode()) {
        case u'ä':
            word += QStringLiteral("ae");
            return;
        case u'ö':
            word += QStringLiteral("oe");
            return;
        case u'ü':
            word += QStringLiteral("ue");
            return;
        case u'ß':
            word += QStringLiteral("ss");
            return;
        default:
            break;
    }
    if (c.unicode() < 0x80) {
        word += c;
        return;
    }
    // Other accents: the base letter of the decomposed form.
    const QString decomposed = QString(c).normalized(QString::NormalizationForm_D);
    for (const QChar part : decomposed) {
        if (part.isLetterOrNumber()) {
            word += part;
        }
    }
}

bool isPlainAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

}  // namespace

QStringView withoutImportSuffix(QStringView text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isDigit()) {
        --end;
    }
    if (end < text.size() && end > 1 && text[end - 1] == u'_') {
        return text.first(end - 1);
    }
    return text;
}

QString foldName(QStringView text) {
    const QStringView bare = withoutImportSuffix(text.trimmed());
    // Most names are plain ASCII and need neither composing nor Unicode folding; composed
    // first otherwise, so that a decomposed ü is caught as ü, and folded before the
    // umlauts so that Ä and ẞ come out as ä and ß.
    const QString lowered =
        isPlainAscii(bare)
            ? bare.toString().toLower()
            : bare.toString().normalized(QString::NormalizationForm_C).toCaseFolded();
    QString folded;
    folded.reserve(lowered.size() + 4);
    QString word;
    const auto endWord = [&] {
        if (!isTitle(word)) {
            folded += word;
        }
        word.clear();
    };
    for (const QChar c : lowered) {
        if (c.isLetterOrNumber()) {
            appendFoldedLetter(c, word);
        } else if (c.isMark()) {
            continue;
        } else {
            endWord();
        }
    }
    endWord();
    return folded;
}

namespace {

// The fold of the letter that the two bytes C3 xx spell in UTF-8, for the German letters
// only; nullptr for every other.
const char* germanLetterFold(unsigned char second) {
    switch (second) {
        case 0x84:  // Ä
        case 0xa4:  // ä
            return "ae";
        case 0x96:  // Ö
        case 0xb6:  // ö
            return "oe";
        case 0x9c:  // Ü
        case 0xbc:  // ü
            return "ue";
        case 0x9f:  // ß
            return "ss";
        default:
            return nullptr;
    }
}

}  // namespace

bool foldGermanName(std::string_view utf8, std::string& folded) {
    // Plain comparisons rather than <cctype>, whose answers follow the locale.
    const auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const auto isUpper = [](char c) { return c >= 'A' && c <= 'Z'; };
    while (!utf8.empty() && isSpace(utf8.front())) {
        utf8.remove_prefix(1);
    }
    while (!utf8.empty() && isSpace(utf8.back())) {
        utf8.remove_suffix(1);
    }
    std::size_t end = utf8.size();
    while (end > 0 && isDigit(utf8[end - 1])) {
        --end;
    }
    if (end < utf8.size() && end > 1 && utf8[end - 1] == '_') {
        utf8 = utf8.substr(0, end - 1);
    }
    folded.clear();
    std::size_t wordStart = 0;
    const auto endWord = [&] {
        const std::string_view word = std::string_view(folded).substr(wordStart);
        if (word == "dr" || word == "herr" || word == "frau") {
            folded.resize(wordStart);
        }
        wordStart = folded.size();
    };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            const char* letter = static_cast<unsigned char>(c) == 0xc3 && i + 1 < utf8.size()
                                     ? germanLetterFold(static_cast<unsigned char>(utf8[i + 1]))
                                     : nullptr;
            if (letter == nullptr) {
                return false;
            }
            folded += letter;
            ++i;
        } else if (isUpper(c)) {
            folded += static_cast<char>(c - 'A' + 'a');
        } else if (isDigit(c) || (c >= 'a' && c <= 'z')) {
            folded += c;
        } else {
            endWord();
        }
    }
    endWord();
    return true;
}

std::optional<char> certainFirstFolded(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        char first = 0;
        std::size_t next = i + 1;
        if (byte >= 0x80) {
            const char* letter = byte == 0xc3 && next < utf8.size()
                                     ? germanLetterFold(static_cast<unsigned char>(utf8[next]))
                                     : nullptr;
            if (letter == nullptr) {
                return std::nullopt;
            }
            first = letter[0];
            ++next;
        } else if ((byte >= '0' && byte <= '9') || ((byte | 0x20) >= 'a' && (byte | 0x20) <= 'z')) {
            first = static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte | 0x20 : byte);
        } else {
            continue;
        }
        // A letter of Latin-1 (C3 xx) may follow; any other non-ASCII byte may start an accent.
        const bool accentMayFollow = next < utf8.size() &&
                                     static_cast<unsigned char>(utf8[next]) >= 0x80 &&
                                     static_cast<unsigned char>(utf8[next]) != 0xc3;
        if (accentMayFollow || first == 'd' || first == 'h' || first == 'f') {
            return std::nullopt;
        }
        return first;
    }
    return std::nullopt;
}

namespace {

// The Cologne phonetics digit of letter i in a folded word of a–z; '-' for none (h).
char cologneDigit(const QString& w, qsizetype i) {
    const auto at = [&](qsizetype k) -> char16_t {
        return k >= 0 && k < w.size() ? w[k].unicode() : u' ';
    };
    const char16_t c = at(i);
    const char16_t next = at(i + 1);
    const char16_t prev = at(i - 1);
    const auto in = [](char16_t x, std::u16string_view set) {
        return set.find(x) != std::u16string_view::npos;
    };
    switch (c) {
        case u'a':
        case u'e':
        case u'i':
        case u'j':
        case u'o':
        case u'u':
        case u'y':
            return '0';
        case u'h':
            return '-';
        case u'b':
            return '1';
        case u'p':
            return next == u'h' ? '3' : '1';
        case u'd':
        case u't':
            return in(next, u"csz") ? '8' : '2';
        case u'f':
        case u'v':
        case u'w':
            return '3';
        case u'g':
        case u'k':
        case u'q':
            return '4';
        case u'c':
            if (i == 0) {
                return in(next, u"ahkloqrux") ? '4' : '8';
            }
            return in(next, u"ahkoqux") && !in(prev, u"sz") ? '4' : '8';
        case u'x':
            return in(prev, u"ckq") ? '8' : 'x';  // x: the pair 4 8
        case u'l':
            return '5';
        case u'm':
        case u'n':
            return '6';
        case u'r':
            return '7';
        case u's':
        case u'z':
            return '8';
        default:
            return '-';
    }
}

}  // namespace

QString phoneticKey(QStringView name) {
    return phoneticKeyOfFolded(foldName(name));
}

QString phoneticKeyOfFolded(QStringView folded) {
    QString letters;
    for (const QChar c : folded) {
        if (c >= u'a' && c <= u'z') {
            letters += c;
        }
    }
    QString codes;
    for (qsizetype i = 0; i < letters.size(); ++i) {
        const char digit = cologneDigit(letters, i);
        if (digit == 'x') {
            codes += QStringLiteral("48");
        } else if (digit != '-') {
            codes += QLatin1Char(digit);
        }
    }
    // Repeated digits count once; vowels count only at the start.
    QString key;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        if (i > 0 && codes[i] == codes[i - 1]) {
            continue;
        }
        if (codes[i] == u'0' && i > 0) {
            continue;
        }
        key += codes[i];
    }
    return key;
}

QStringList mailKeys(QStringView field) {
    QStringList keys;
    const auto isSeparator = [](QChar c) {
        return c.isSpace() || c == u',' || c == u';' || c == u'<' || c == u'>';
    };
    qsizetype i = 0;
    while (i < field.size()) {
        while (i < field.size() && isSeparator(field[i])) {
            ++i;
        }
        const qsizetype start = i;
        while (i < field.size() && !isSeparator(field[i])) {
            ++i;
        }
        QString mail = field.sliced(start, i - start).toString().toCaseFolded();
        if (mail.startsWith(QStringLiteral("mailto:"))) {
            mail.remove(0, 7);
        }
        if (mail.contains(u'@') && !keys.contains(mail)) {
            keys << mail;
        }
    }
    return keys;
}

namespace {

QString digitsOf(QStringView text) {
    QString digits;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            digits += c;
        }
    }
    return digits;
}

}  // namespace

namespace {

// Digits only, an international + as 00 and Germany's 0049 as the 0 of a national number.
QString nationalDigits(QStringView text) {
    const QStringView trimmed = text.trimmed();
    QString digits = digitsOf(trimmed);
    if (trimmed.startsWith(u'+')) {
        digits.prepend(QStringLiteral("00"));
    }
    if (digits.startsWith(QStringLiteral("0049"))) {
        // "+49 (0)951" writes the national 0 as well.
        qsizetype rest = 4;
        while (rest < digits.size() && digits[rest] == u'0') {
            ++rest;
        }
        digits.replace(0, rest, QStringLiteral("0"));
    }
    return digits;
}

}  // namespace

QString phoneKey(QStringView number, QStringView areaCode) {
    QString digits = nationalDigits(number);
    if (!digits.isEmpty() && !digits.startsWith(u'0')) {
        QString area = nationalDigits(areaCode);
        if (!area.isEmpty() && !area.startsWith(u'0')) {
            area.prepend(u'0');
        }
        digits.prepend(area);
    }
    constexpr qsizetype kShortest = 6;
    return digits.size() < kShortest ? QString() : digits;
}

}  // namespace veltro::duplicates
