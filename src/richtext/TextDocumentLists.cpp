#include "richtext/TextDocumentLists.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>

#include <algorithm>
#include <atomic>

namespace veltro::richtext {
namespace {

// Qt draws numbers from 1; the start is kept for the writer.
constexpr int kListStart = QTextFormat::UserProperty + 2;
constexpr int kListId = QTextFormat::UserProperty + 3;

int newListId() {
    static std::atomic<int> last{0};
    return ++last;
}

QTextListFormat::Style qtStyle(ListStyle style) {
    switch (style) {
        case ListStyle::Disc:
            return QTextListFormat::ListDisc;
        case ListStyle::Circle:
            return QTextListFormat::ListCircle;
        case ListStyle::Square:
            return QTextListFormat::ListSquare;
        case ListStyle::Decimal:
            return QTextListFormat::ListDecimal;
        case ListStyle::LowerAlpha:
            return QTextListFormat::ListLowerAlpha;
        case ListStyle::UpperAlpha:
            return QTextListFormat::ListUpperAlpha;
        case ListStyle::LowerRoman:
            return QTextListFormat::ListLowerRoman;
        case ListStyle::UpperRoman:
            return QTextListFormat::ListUpperRoman;
    }
    return QTextListFormat::ListDisc;
}

ListStyle listStyle(QTextListFormat::Style style) {
    switch (style) {
        case QTextListFormat::ListCircle:
            return ListStyle::Circle;
        case QTextListFormat::ListSquare:
            return ListStyle::Square;
        case QTextListFormat::ListDecimal:
            return ListStyle::Decimal;
        case QTextListFormat::ListLowerAlpha:
            return ListStyle::LowerAlpha;
        case QTextListFormat::ListUpperAlpha:
            return ListStyle::UpperAlpha;
        case QTextListFormat::ListLowerRoman:
            return ListStyle::LowerRoman;
        case QTextListFormat::ListUpperRoman:
            return ListStyle::UpperRoman;
        default:
            return ListStyle::Disc;
    }
}

std::size_t levelIndex(int level) {
    return static_cast<std::size_t>(std::clamp(level, 0, kMaxListLevel));
}

}  // namespace

QTextListFormat QtListBuilder::qtListFormat(const ListItem& item) {
    QTextListFormat format;
    const auto [id, added] = ids_.try_emplace(item.list, 0);
    if (added) {
        id->second = newListId();
    }
    format.setProperty(kListId, id->second);
    format.setStyle(qtStyle(item.style));
    format.setIndent(std::clamp(item.level, 0, kMaxListLevel) + 1);
    if (!isBullet(item.style)) {
        format.setNumberPrefix(item.prefix);
        format.setNumberSuffix(item.suffix);
        if (item.start != 1) {
            format.setProperty(kListStart, item.start);
        }
    }
    return format;
}

void QtListBuilder::add(QTextCursor& cursor, const ListItem& item) {
    auto& levels = lists_[item.list];
    const std::size_t level = levelIndex(item.level);
    std::fill(levels.begin() + static_cast<std::ptrdiff_t>(level) + 1, levels.end(), nullptr);
    QTextList*& list = levels[level];
    const QTextListFormat format = qtListFormat(item);
    if (list != nullptr && list->format() == format) {
        list->add(cursor.block());
    } else {
        list = cursor.createList(format);
    }
}

ListItem QtListReader::itemOf(const QTextBlock& block) {
    const QTextList* list = block.textList();
    if (list == nullptr) {
        previous_ = 0;
        return {};
    }
    const QTextListFormat format = list->format();
    ListItem item;
    item.style = listStyle(format.style());
    item.level = static_cast<int>(levelIndex(format.indent() - 1));
    if (!isBullet(item.style)) {
        item.prefix = format.numberPrefix();
        // Qt puts a full stop after the number unless the list says otherwise.
        item.suffix = format.hasProperty(QTextFormat::ListNumberSuffix) ? format.numberSuffix()
                                                                        : QStringLiteral(".");
        item.start = format.hasProperty(kListStart) ? format.intProperty(kListStart) : 1;
    }
    item.list = format.hasProperty(kListId)
                    ? ids_.try_emplace(format.intProperty(kListId), count_ + 1).first->second
                    : listOf(list, item.level);
    count_ = std::max(count_, item.list);
    levels_[item.list][levelIndex(item.level)] = list;
    previous_ = item.list;
    previousLevel_ = item.level;
    return item;
}

int QtListReader::listOf(const QTextList* list, int level) {
    auto known = lists_.find(list);
    if (known == lists_.end()) {
        const bool joins = previous_ != 0 && (level > previousLevel_ ||
                                              levels_[previous_][levelIndex(level)] == nullptr);
        known = lists_.emplace(list, joins ? previous_ : count_ + 1).first;
    }
    return known->second;
}

}  // namespace veltro::richtext
