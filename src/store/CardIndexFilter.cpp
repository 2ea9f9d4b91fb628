// The keystroke's filter: plain texts are found byte by byte in the folded headings;
// only texts with wildcards go through the pattern matcher.
#include "store/CardIndex.h"

#include "store/CaseFold.h"

#include <algorithm>
#include <cstring>

namespace veltro::store {

namespace {

// The folded literal of a plain pattern as UTF-8, when the bytes stand for it exactly.
std::optional<std::string> plainNeedle(const LikePattern& pattern) {
    const QByteArray utf8 = pattern.literal().toUtf8();
    if (utf8.contains('\0') || QString::fromUtf8(utf8) != pattern.literal()) {
        return std::nullopt;
    }
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

}  // namespace

std::vector<char> CardIndex::wantedCategories(const std::optional<QString>& category) const {
    std::vector<char> wanted(categoryNames_.size(), 0);
    if (const auto group = groupOf_.constFind(foldCase(*category)); group != groupOf_.constEnd()) {
        for (std::size_t i = 0; i < categoryGroup_.size(); ++i) {
            wanted[i] = categoryGroup_[i] == *group ? 1 : 0;
        }
    }
    return wanted;
}

std::vector<std::int32_t> CardIndex::filter(const std::optional<QString>& category,
                                            const LikePattern& heading) const {
    std::vector<std::int32_t> result;
    const std::vector<char> wanted = category ? wantedCategories(category) : std::vector<char>();
    if (category && std::find(wanted.begin(), wanted.end(), 1) == wanted.end()) {
        return result;
    }
    const auto accept = [&](std::size_t i) {
        if (!category || wanted[categories_[i]] != 0) {
            result.push_back(static_cast<std::int32_t>(i));
        }
    };
    const std::size_t count = ids_.size();
    const auto shape = heading.shape();
    const auto needle = shape == LikePattern::Shape::General || shape == LikePattern::Shape::All
                            ? std::nullopt
                            : plainNeedle(heading);
    if (shape == LikePattern::Shape::All) {
        for (std::size_t i = 0; i < count; ++i) {
            accept(i);
        }
    } else if (!needle) {
        QString text;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string_view folded = folded_.at(i);
            text = QString::fromUtf8(folded.data(), static_cast<qsizetype>(folded.size()));
            if (heading.matchesFolded(text)) {
                accept(i);
            }
        }
    } else if (shape == LikePattern::Shape::Contains) {
        // One search through all headings; a zero byte ends each, so no hit spans two.
        const char* base = folded_.bytes.data();
        const std::size_t end = folded_.bytes.size();
        auto record = folded_.starts.begin();
        std::size_t from = 0;
        while (from < end) {
            const void* hit = memmem(base + from, end - from, needle->data(), needle->size());
            if (hit == nullptr) {
                break;
            }
            const auto offset = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
            record = std::upper_bound(record, folded_.starts.end(), offset) - 1;
            const auto i = static_cast<std::size_t>(record - folded_.starts.begin());
            accept(i);
            from = folded_.starts[i + 1];
        }
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            const std::string_view folded = folded_.at(i);
            const bool match = shape == LikePattern::Shape::Prefix   ? folded.starts_with(*needle)
                               : shape == LikePattern::Shape::Suffix ? folded.ends_with(*needle)
                                                                     : folded == *needle;
            if (match) {
                accept(i);
            }
        }
    }
    return result;
}

}  // namespace veltro::store
