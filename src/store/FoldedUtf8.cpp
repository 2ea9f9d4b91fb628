#include "store/FoldedUtf8.h"

#include "store/CaseFold.h"

#include <QString>

#include <array>
#include <cstdint>
#include <cstring>

namespace veltro::store {

namespace {

// Length of the sequence a lead byte starts, 0 for a byte that cannot lead.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

char32_t decode(const unsigned char* at, int length) {
    switch (length) {
        case 2:
            return static_cast<char32_t>(((at[0] & 0x1F) << 6) | (at[1] & 0x3F));
        case 3:
            return static_cast<char32_t>(((at[0] & 0x0F) << 12) | ((at[1] & 0x3F) << 6) |
                                         (at[2] & 0x3F));
        default:
            return static_cast<char32_t>(((at[0] & 0x07) << 18) | ((at[1] & 0x3F) << 12) |
                                         ((at[2] & 0x3F) << 6) | (at[3] & 0x3F));
    }
}

std::string foldedCodePoint(char32_t c) {
    const QByteArray utf8 = foldCase(QString::fromUcs4(&c, 1)).toUtf8();
    return {utf8.constData(), static_cast<std::size_t>(utf8.size())};
}

// Folded forms of the two-byte code points (Latin, Greek, Cyrillic and more), made once.
struct TwoByteFolds {
    static constexpr char32_t kEnd = 0x800;
    std::array<std::array<char, 4>, kEnd> bytes{};
    std::array<std::uint8_t, kEnd> length{};

    TwoByteFolds() {
        for (char32_t c = 0x80; c < kEnd; ++c) {
            const std::string folded = foldedCodePoint(c);
            length[c] = static_cast<std::uint8_t>(folded.size());
            std::copy(folded.begin(), folded.end(), bytes[c].begin());
        }
    }
};

const TwoByteFolds& twoByteFolds() {
    static const TwoByteFolds folds;
    return folds;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        // Eight ASCII bytes at a time.
        std::uint64_t word = 0;
        if (i + 8 <= size && (std::memcpy(&word, at + i, 8), (word & 0x8080808080808080U) == 0)) {
            i += 8;
            continue;
        }
        if (at[i] < 0x80) {
            ++i;
            continue;
        }
        const int length = sequenceLength(at[i]);
        if (length == 0 || i + static_cast<std::size_t>(length) > size) {
            return false;
        }
        for (int k = 1; k < length; ++k) {
            if (!isContinuation(at[i + static_cast<std::size_t>(k)])) {
                return false;
            }
        }
        const char32_t c = decode(at + i, length);
        const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
        if (overlong || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            return false;
        }
        i += static_cast<std::size_t>(length);
    }
    return true;
}

namespace {

// Eight ASCII bytes with their capitals made small, all at once.
std::uint64_t lowerAscii(std::uint64_t word) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    const std::uint64_t aboveA = word + kOnes * (0x80 - 'A');      // high bit: byte >= 'A'
    const std::uint64_t aboveZ = word + kOnes * (0x80 - 'Z' - 1);  // high bit: byte > 'Z'
    const std::uint64_t capitals = (aboveA & ~aboveZ) & (kOnes * 0x80);
    return word | (capitals >> 2);
}

}  // namespace

void appendFoldedUtf8(std::string_view utf8, std::string& out) {
    const auto* at = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t size = utf8.size();
    const TwoByteFolds& folds = twoByteFolds();
    std::size_t i = 0;
    while (i < size) {
        // Runs of ASCII, the bulk of most texts, eight bytes at a time.
        std::uint64_t word = 0;
        if (i + 8 <= size && (std::memcpy(&word, at + i, 8), (word & 0x8080808080808080ULL) == 0)) {
            word = lowerAscii(word);
            const std::size_t end = out.size();
            out.resize(end + 8);
            std::memcpy(out.data() + end, &word, 8);
            i += 8;
            continue;
        }
        const unsigned char lead = at[i];
        if (lead < 0x80) {
            out.push_back(
                static_cast<char>(lead >= 'A' && lead <= 'Z' ? lead + ('a' - 'A') : lead));
            ++i;
            continue;
        }
        const int length = sequenceLength(lead);
        const char32_t c = decode(at + i, length);
        if (c < TwoByteFolds::kEnd) {
            out.append(folds.bytes[c].data(), folds.length[c]);
        } else {
            out += foldedCodePoint(c);
        }
        i += static_cast<std::size_t>(length);
    }
}

}  // namespace veltro::store
