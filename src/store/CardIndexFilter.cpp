// The keystroke's filter: plain texts are found byte by byte in the folded headings;
// only texts with wildcards go through the pattern matcher.
#include "store/CardIndex.h"

#include "store/ByteSearch.h"

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

// The heading a byte of the folded buffer belongs to, searched onwards from a known one:
// hits come in order, mostly near each other.
std::size_t CardIndex::recordAt(std::size_t offset, std::size_t from) const {
    const auto& starts = folded_.starts;
    std::size_t step = 1;
    std::size_t high = from + 1;
    while (high < starts.size() && starts[high] <= offset) {
        from = high;
        high += step;
        step *= 2;
    }
    high = std::min(high, starts.size());
    return static_cast<std::size_t>(
               std::upper_bound(starts.begin() + static_cast<std::ptrdiff_t>(from),
                                starts.begin() + static_cast<std::ptrdiff_t>(high), offset) -
               starts.begin()) -
           1;
}

// Per spelling of a category name, whether the filter takes its cards.
std::vector<char> CardIndex::wantedCategories(const CategoryFilter& category) const {
    std::vector<char> wanted(categoryNames_.size(), 0);
    for (std::size_t i = 0; i < categoryNames_.size(); ++i) {
        wanted[i] = category.matches(categoryNames_[i]) ? 1 : 0;
    }
    return wanted;
}

std::vector<std::int32_t> CardIndex::filter(const CategoryFilter& category,
                                            const LikePattern& heading) const {
    std::vector<std::int32_t> result;
    const bool everyCategory = category.isAll();
    const std::vector<char> wanted =
        everyCategory ? std::vector<char>() : wantedCategories(category);
    if (!everyCategory && std::find(wanted.begin(), wanted.end(), 1) == wanted.end()) {
        return result;
    }
    const auto accept = [&](std::size_t i) {
        if (everyCategory || wanted[categories_[i]] != 0) {
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
        const std::string_view all(folded_.bytes);
        std::size_t record = 0;
        for (std::size_t at = findBytes(all, 0, *needle); at != std::string_view::npos;
             at = findBytes(all, folded_.starts[record + 1], *needle)) {
            record = recordAt(at, record);
            accept(record);
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
