#include "store/HeadingOrder.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace veltro::store {

namespace {

QCollator germanCollator() {
    QCollator collator(QLocale(QLocale::German, QLocale::Germany));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

// The collator compares the base letters (primary weights) of the whole texts first and
// only then their accents (secondary weights); case does not count. For printable ASCII
// and the Latin-1 letters that are an ASCII letter with one accent, both weights are
// read off the collator once, by sorting those characters, and then checked against it.
struct Weights {
    std::array<std::uint8_t, 256> primary{};  // 0: not weighed
    std::array<std::uint8_t, 256> secondary{};
    bool usable = false;
};

QString text(char32_t c) {
    return QString::fromUcs4(&c, 1);
}

// Ranks characters by the collator; equal ones share a rank. Ranks start at `first`.
std::vector<std::pair<QString, std::uint8_t>> rank(const QCollator& collator,
                                                   std::vector<QString> items, int first) {
    std::stable_sort(items.begin(), items.end(), [&](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    std::vector<std::pair<QString, std::uint8_t>> ranked;
    int current = first;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0 && collator.compare(items[i - 1], items[i]) != 0) {
            ++current;
        }
        ranked.emplace_back(items[i], static_cast<std::uint8_t>(current));
    }
    return ranked;
}

constexpr std::array<char16_t, 7> kMarks = {0x0300, 0x0301, 0x0302, 0x0303, 0x0308, 0x030A, 0x0327};

// Whether every step up in the ranking is a step in the base letter, not in an accent:
// then "xb" sorts before "ya" for x before y.
bool stepsArePrimary(const QCollator& collator,
                     const std::vector<std::pair<QString, std::uint8_t>>& ranked) {
    for (std::size_t i = 1; i < ranked.size(); ++i) {
        if (ranked[i].second != ranked[i - 1].second &&
            collator.compare(ranked[i - 1].first + u'b', ranked[i].first + u'a') >= 0) {
            return false;
        }
    }
    return true;
}

bool weighBases(const QCollator& collator, Weights& w) {
    std::vector<QString> bases;
    for (char32_t c = 0x20; c < 0x7F; ++c) {
        bases.push_back(text(c));
    }
    const auto ranked = rank(collator, bases, 1);
    for (const auto& [item, weight] : ranked) {
        w.primary[item.front().unicode()] = weight;
        w.secondary[item.front().unicode()] = 1;
    }
    return stepsArePrimary(collator, ranked);
}

bool weighAccented(const QCollator& collator, Weights& w) {
    std::vector<QString> accented;
    accented.reserve(kMarks.size());
    for (const char16_t mark : kMarks) {
        accented.push_back(QStringLiteral("a") + QChar(mark));
    }
    std::array<std::uint8_t, kMarks.size()> markWeight{};
    for (const auto& [item, weight] : rank(collator, accented, 2)) {
        markWeight[static_cast<std::size_t>(
            std::find(kMarks.begin(), kMarks.end(), item[1].unicode()) - kMarks.begin())] = weight;
        // An accent must not count as a letter of its own.
        if (collator.compare(item + u'a', QStringLiteral("ab")) >= 0) {
            return false;
        }
    }
    for (char32_t c = 0xC0; c <= 0xFF; ++c) {
        const QString parts = QChar::decomposition(c);
        if (QChar::decompositionTag(c) != QChar::Canonical || parts.size() != 2 ||
            parts[0].unicode() >= 0x80) {
            continue;
        }
        const auto* mark = std::find(kMarks.begin(), kMarks.end(), parts[1].unicode());
        if (mark == kMarks.end()) {
            continue;
        }
        w.primary[c] = w.primary[parts[0].unicode()];
        w.secondary[c] = markWeight[static_cast<std::size_t>(mark - kMarks.begin())];
    }
    return true;
}

bool keyOf(const Weights& w, std::string_view utf8, std::string& key);

int sign(int value) {
    return (value > 0) - (value < 0);
}

// Random short texts of the weighed characters must sort alike by key and by collator.
bool agreesWithCollator(const QCollator& collator, const Weights& w) {
    std::vector<char32_t> alphabet;
    for (char32_t c = 0x20; c <= 0xFF; ++c) {
        if (w.primary[c] != 0) {
            alphabet.push_back(c);
        }
    }
    std::mt19937 rng(20240611);
    const auto randomText = [&] {
        QString s;
        const auto length = 1 + rng() % 5;
        for (unsigned i = 0; i < length; ++i) {
            s += text(alphabet[rng() % alphabet.size()]);
        }
        return s;
    };
    for (int i = 0; i < 1500; ++i) {
        const QString a = randomText();
        const QString b = i % 3 == 0
                              ? a.left(a.size() - 1) + text(alphabet[rng() % alphabet.size()])
                              : randomText();
        const QByteArray ua = a.toUtf8();
        const QByteArray ub = b.toUtf8();
        std::string ka;
        std::string kb;
        keyOf(w, {ua.constData(), static_cast<std::size_t>(ua.size())}, ka);
        keyOf(w, {ub.constData(), static_cast<std::size_t>(ub.size())}, kb);
        if (sign(ka.compare(kb)) != sign(collator.compare(a, b))) {
            return false;
        }
    }
    return true;
}

const Weights& weights() {
    static const Weights table = [] {
        const QCollator collator = germanCollator();
        Weights w;
        w.usable = weighBases(collator, w) && weighAccented(collator, w);
        w.usable = w.usable && agreesWithCollator(collator, w);
        return w;
    }();
    return table;
}

// Code point of the one- or two-byte sequence at `at`, or 0x100 for anything else.
char32_t latin1At(std::string_view utf8, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    if ((lead == 0xC2 || lead == 0xC3) && at + 1 < utf8.size()) {
        const auto next = static_cast<unsigned char>(utf8[at + 1]);
        at += 2;
        return static_cast<char32_t>(((lead & 0x1F) << 6) | (next & 0x3F));
    }
    return 0x100;
}

// Primary weights, a zero byte, then secondary weights: no weight is zero, so memcmp
// compares base letters first, a shorter text before a longer one with its letters.
bool keyOf(const Weights& w, std::string_view utf8, std::string& key) {
    const std::size_t start = key.size();
    // At most one weight of each kind per byte; secondaries go behind the primaries' room.
    key.resize(start + 2 * utf8.size() + 1);
    char* primary = key.data() + start;
    char* secondary = primary + utf8.size() + 1;
    char* const secondaries = secondary;
    std::size_t at = 0;
    while (at < utf8.size()) {
        const char32_t c = latin1At(utf8, at);
        if (c > 0xFF || w.primary[c] == 0) {
            key.resize(start);
            return false;
        }
        *primary++ = static_cast<char>(w.primary[c]);
        *secondary++ = static_cast<char>(w.secondary[c]);
    }
    *primary++ = '\0';
    std::memmove(primary, secondaries, static_cast<std::size_t>(secondary - secondaries));
    key.resize(static_cast<std::size_t>(primary - key.data()) +
               static_cast<std::size_t>(secondary - secondaries));
    return true;
}

}  // namespace

HeadingOrder::HeadingOrder() : collator_(germanCollator()) {}

bool HeadingOrder::keysAvailable() {
    return weights().usable;
}

bool HeadingOrder::appendKey(std::string_view utf8, std::string& key) const {
    const Weights& w = weights();
    return w.usable && keyOf(w, utf8, key);
}

int HeadingOrder::compare(std::string_view a, std::string_view b) const {
    thread_local std::string keyA;
    thread_local std::string keyB;
    keyA.clear();
    keyB.clear();
    if (appendKey(a, keyA) && appendKey(b, keyB)) {
        return sign(keyA.compare(keyB));
    }
    return sign(collator_.compare(QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size())),
                                  QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()))));
}

}  // namespace veltro::store
