#pragma once

#include "store/CardStore.h"
#include "store/LikePattern.h"

#include <QCollator>
#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace veltro::store {

// The headings the card list can show, kept in memory in German alphabetical order
// without regard to case, with case-folded copies for matching. A keystroke filters
// this array; the store stays the truth and every card command updates both.
class CardIndex {
public:
    struct Entry {
        std::int64_t id = 0;
        QString heading;
        QString category;
    };

    CardIndex();

    void reset(std::vector<HeadingRow> rows);

    // Positions (in list order) of the cards whose category equals the given one
    // without regard to case (all cards when none is given) and whose heading matches.
    [[nodiscard]] std::vector<std::int32_t> filter(const std::optional<QString>& category,
                                                   const LikePattern& heading) const;

    [[nodiscard]] const Entry& at(std::int32_t position) const { return entries_[position]; }
    [[nodiscard]] std::int32_t size() const { return static_cast<std::int32_t>(entries_.size()); }
    [[nodiscard]] std::optional<std::int32_t> positionOf(std::int64_t id) const;
    [[nodiscard]] std::optional<std::int64_t> idOfHeading(QStringView heading) const;

    void insert(const HeadingRow& row);
    void remove(std::int64_t id);
    void rename(std::int64_t id, const QString& heading);
    void setCategory(std::int64_t id, const QString& category);

private:
    [[nodiscard]] bool before(const Entry& a, const Entry& b) const;
    void sortEntries();
    // Folded headings in one buffer and categories as numbers, in list order, so a
    // keystroke scans memory in sequence instead of chasing a pointer per card.
    void rebuildSearchData();
    [[nodiscard]] QStringView foldedHeading(std::size_t position) const;

    QCollator collator_;
    std::vector<Entry> entries_;
    QString foldedHeadings_;
    std::vector<std::pair<qsizetype, qsizetype>> headingSpans_;
    std::vector<std::int32_t> categoryNumbers_;
    QHash<QString, std::int32_t> categoryNumberOf_;
};

}  // namespace veltro::store
