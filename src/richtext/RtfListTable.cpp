#include "richtext/RtfListTable.h"

#include <algorithm>
#include <array>

namespace veltro::richtext {
namespace {

constexpr std::size_t kMaxLists = 1024;
constexpr std::size_t kMaxOverrides = 1024;
constexpr char16_t kLastPlaceholder = 8;

// \levelnfc: 0 1, 1 I, 2 i, 3 A, 4 a, 23 bullet, 255 nothing; other numberings count in digits.
constexpr int kBulletFormat = 23;
constexpr int kNoLabelFormat = 255;

ListStyle numberStyle(int format) {
    switch (format) {
        case 1:
            return ListStyle::UpperRoman;
        case 2:
            return ListStyle::LowerRoman;
        case 3:
            return ListStyle::UpperAlpha;
        case 4:
            return ListStyle::LowerAlpha;
        default:
            return ListStyle::Decimal;
    }
}

bool isPlaceholder(QChar c) {
    return c.unicode() <= kLastPlaceholder;
}

// The text of a level around its own number. Labels that show the numbers of higher levels
// too ("1.2.") keep only what follows the last of those.
ListItem levelItem(int level, int format, const QString& text) {
    ListItem item;
    QStringView label;
    if (!text.isEmpty()) {
        label = QStringView(text).sliced(
            1, std::min<qsizetype>(text.front().unicode(), text.size() - 1));
    }
    if (format == kBulletFormat) {
        const auto bullet =
            std::find_if(label.begin(), label.end(), [](QChar c) { return !isPlaceholder(c); });
        item.style = bullet == label.end() ? ListStyle::Disc
                                           : bulletStyle(*bullet).value_or(ListStyle::Disc);
        return item;
    }
    item.style = numberStyle(format);
    const qsizetype own = label.indexOf(QChar(static_cast<char16_t>(level)));
    if (own < 0) {
        item.suffix = QStringLiteral(".");
        return item;
    }
    qsizetype from = own;
    while (from > 0 && !isPlaceholder(label[from - 1])) {
        --from;
    }
    if (from == 0) {
        item.prefix = label.sliced(0, own).toString();
    }
    qsizetype to = own + 1;
    while (to < label.size() && !isPlaceholder(label[to])) {
        ++to;
    }
    item.suffix = label.sliced(own + 1, to - own - 1).toString();
    return item;
}

std::optional<int> romanValue(QStringView text) {
    static constexpr std::array<std::pair<char16_t, int>, 7> kDigits = {
        {{u'i', 1}, {u'v', 5}, {u'x', 10}, {u'l', 50}, {u'c', 100}, {u'd', 500}, {u'm', 1000}}};
    int total = 0;
    int previous = 0;
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        const char16_t c = it->toLower().unicode();
        const auto digit = std::find_if(kDigits.begin(), kDigits.end(),
                                        [c](const auto& d) { return d.first == c; });
        if (digit == kDigits.end()) {
            return std::nullopt;
        }
        total += digit->second < previous ? -digit->second : digit->second;
        previous = std::max(previous, digit->second);
    }
    return total;
}

}  // namespace

std::optional<ListStyle> bulletStyle(QChar label) {
    switch (label.unicode()) {
        case 0x2022:
        case 0x00B7:
        case 0xF0B7:
        case 0x25CF:
        case 0x2013:
        case u'-':
            return ListStyle::Disc;
        case u'o':
        case 0x25E6:
        case 0x25CB:
            return ListStyle::Circle;
        case 0x25AA:
        case 0x25A0:
        case 0xF0A7:
        case 0x00A7:  // Wingdings' square read as Windows-1252
            return ListStyle::Square;
        default:
            return std::nullopt;
    }
}

void RtfListTable::beginList() {
    if (lists_.size() < kMaxLists) {
        lists_.emplace_back();
    }
}

void RtfListTable::setListId(int id) {
    if (!lists_.empty()) {
        lists_.back().id = id;
    }
}

void RtfListTable::beginLevel() {
    if (!lists_.empty() && lists_.back().levels.size() <= kMaxListLevel) {
        lists_.back().levels.emplace_back();
    }
}

RtfListTable::Level* RtfListTable::currentLevel() {
    if (lists_.empty() || lists_.back().levels.empty()) {
        return nullptr;
    }
    return &lists_.back().levels.back();
}

void RtfListTable::setNumberFormat(int format) {
    if (Level* level = currentLevel()) {
        level->format = format;
    }
}

void RtfListTable::setStart(int start) {
    if (Level* level = currentLevel()) {
        level->start = start;
    }
}

void RtfListTable::setLevelText(QStringView text) {
    if (Level* level = currentLevel()) {
        level->text = text.toString();
    }
}

void RtfListTable::beginOverride() {
    if (overrides_.size() < kMaxOverrides) {
        overrides_.emplace_back(0, 0);
    }
}

void RtfListTable::setOverrideListId(int id) {
    if (!overrides_.empty()) {
        overrides_.back().first = id;
    }
}

void RtfListTable::setOverrideNumber(int ls) {
    if (!overrides_.empty()) {
        overrides_.back().second = ls;
    }
}

std::optional<RtfListTable::LevelFormat> RtfListTable::level(int ls, int level) const {
    const auto over = std::find_if(overrides_.begin(), overrides_.end(),
                                   [ls](const auto& o) { return o.second == ls; });
    if (over == overrides_.end()) {
        return std::nullopt;
    }
    const auto list = std::find_if(lists_.begin(), lists_.end(),
                                   [&](const List& l) { return l.id == over->first; });
    if (list == lists_.end() || list->levels.empty()) {
        return std::nullopt;
    }
    const auto at = static_cast<std::size_t>(std::clamp(level, 0, kMaxListLevel));
    const Level& definition = list->levels[std::min(at, list->levels.size() - 1)];
    if (definition.format == kNoLabelFormat) {
        return LevelFormat{false, {}};
    }
    ListItem item = levelItem(static_cast<int>(at), definition.format, definition.text);
    item.start = definition.start;
    return LevelFormat{true, std::move(item)};
}

std::optional<ListItem> listItemFromLabel(QStringView label) {
    const QStringView text = label.trimmed();
    if (text.size() == 1) {
        if (const auto bullet = bulletStyle(text.front())) {
            ListItem item;
            item.style = *bullet;
            return item;
        }
    }
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u'(') {
        ++begin;
    }
    while (end > begin &&
           (text[end - 1] == u'.' || text[end - 1] == u')' || text[end - 1] == u':')) {
        --end;
    }
    const QStringView core = text.sliced(begin, end - begin);
    if (core.isEmpty() || core.size() > 9 || text.size() - core.size() > 3) {
        return std::nullopt;
    }
    ListItem item;
    item.prefix = text.sliced(0, begin).toString();
    item.suffix = text.sliced(end).toString();
    const bool digits =
        std::all_of(core.begin(), core.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const bool lower =
        std::all_of(core.begin(), core.end(), [](QChar c) { return c >= u'a' && c <= u'z'; });
    const bool upper =
        std::all_of(core.begin(), core.end(), [](QChar c) { return c >= u'A' && c <= u'Z'; });
    if (digits) {
        item.style = ListStyle::Decimal;
        item.start = core.toInt();
    } else if ((lower || upper) && core.size() == 1) {
        item.style = lower ? ListStyle::LowerAlpha : ListStyle::UpperAlpha;
        item.start = core.front().toLower().unicode() - u'a' + 1;
    } else if (const auto value = (lower || upper) ? romanValue(core) : std::nullopt) {
        item.style = lower ? ListStyle::LowerRoman : ListStyle::UpperRoman;
        item.start = *value;
    } else {
        return std::nullopt;
    }
    return item;
}

}  // namespace veltro::richtext
