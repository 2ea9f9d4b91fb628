#pragma once

#include "store/CardStore.h"
#include "store/Categories.h"
#include "store/HeadingOrder.h"
#include "store/LikePattern.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace veltro::store {

// The headings the card list can show, kept in memory in German alphabetical order
// without regard to case (equal headings by row id), with case-folded copies for
// matching. A keystroke filters this; the store stays the truth and every card command
// updates both. Headings live as UTF-8 in two contiguous buffers in list order, so a
// filter scans memory in sequence and a change moves bytes instead of refolding all.
class CardIndex {
public:
    struct Entry {
        std::int64_t id = 0;
        QString heading;
        QString category;
    };

    CardIndex() = default;

    // Reads the store's headings. Cards whose heading is unchanged keep their place
    // without being collated again, so a reload after a category change is cheap.
    void load(CardStore& store);
    void reset(const std::vector<HeadingRow>& rows);

    // Positions (in list order) of the cards the category filter takes whose heading matches.
    [[nodiscard]] std::vector<std::int32_t> filter(const CategoryFilter& category,
                                                   const LikePattern& heading) const;

    [[nodiscard]] Entry at(std::int32_t position) const;
    [[nodiscard]] std::int64_t id(std::int32_t position) const {
        return ids_[static_cast<std::size_t>(position)];
    }
    [[nodiscard]] QString heading(std::int32_t position) const;
    [[nodiscard]] std::string_view headingUtf8(std::int32_t position) const {
        return headings_.at(static_cast<std::size_t>(position));
    }
    [[nodiscard]] std::int32_t size() const { return static_cast<std::int32_t>(ids_.size()); }
    [[nodiscard]] std::optional<std::int32_t> positionOf(std::int64_t id) const;
    // The lowest row id whose heading equals this one without regard to case.
    [[nodiscard]] std::optional<std::int64_t> idOfHeading(QStringView heading) const;

    void insert(const HeadingRow& row);
    void remove(std::int64_t id);
    void rename(std::int64_t id, const QString& heading);
    void setCategory(std::int64_t id, const QString& category);

private:
    // Rows read from the store or given, before they are put in order.
    struct Incoming {
        struct Row {
            std::int64_t id = 0;
            std::size_t heading = 0;
            std::size_t headingLength = 0;
            std::size_t category = 0;
            std::size_t categoryLength = 0;
        };
        std::string text;  // headings and categories back to back
        std::vector<Row> rows;

        void add(std::int64_t id, std::string_view heading, std::string_view category);
        [[nodiscard]] std::string_view heading(const Row& row) const {
            return std::string_view(text).substr(row.heading, row.headingLength);
        }
        [[nodiscard]] std::string_view category(const Row& row) const {
            return std::string_view(text).substr(row.category, row.categoryLength);
        }
    };

    // Texts one after another, each ended by a zero byte, found through their offsets.
    struct TextColumn {
        std::string bytes;
        std::vector<std::size_t> starts{0};  // one more than texts

        [[nodiscard]] std::string_view at(std::size_t i) const {
            return {bytes.data() + starts[i], starts[i + 1] - starts[i] - 1};
        }
        void insert(std::size_t i, std::string_view text);
        void erase(std::size_t i);
        void append(std::string_view text);
        void clear();
    };
    // Sorted by hash alone; equal headings share a hash and are told apart by id.
    struct FoldKey {
        std::uint64_t hash = 0;
        std::int64_t id = 0;
    };

    // Where each card of the index stands, looked up by row id.
    class Positions {
    public:
        explicit Positions(const std::vector<std::int64_t>& ids);
        [[nodiscard]] std::int32_t of(std::int64_t id) const;  // -1: not there

    private:
        bool dense_ = true;
        std::int64_t highest_ = -1;
        std::vector<std::int32_t> byId_;
        std::vector<std::pair<std::int64_t, std::int32_t>> sorted_;
    };
    // A card of the rebuilt index: where it stood before (-1 for a fresh one) and its row.
    struct Source {
        std::int32_t oldPosition = -1;
        std::uint32_t row = 0;
    };

    void rebuild(const Incoming& incoming);
    [[nodiscard]] std::vector<Source> inListOrder(const Incoming& incoming,
                                                  const std::vector<std::int32_t>& keptRowAt,
                                                  const std::vector<std::uint32_t>& fresh) const;
    void rebuildColumns(const Incoming& incoming, const std::vector<Source>& merged);
    void rebuildFoldKeys(const Incoming& incoming, const std::vector<Source>& merged,
                         const Positions& positions, const std::vector<std::int32_t>& keptRowAt);
    [[nodiscard]] std::vector<std::uint32_t> sortedRows(const Incoming& incoming,
                                                        std::vector<std::uint32_t> rows) const;
    [[nodiscard]] std::size_t insertionPoint(std::string_view heading, std::int64_t id) const;
    void insertAt(std::size_t position, std::int64_t id, std::string_view heading,
                  std::string_view folded, std::uint32_t category);
    void eraseAt(std::size_t position);
    std::uint32_t categoryNumber(std::string_view utf8);
    void clearCategories();
    [[nodiscard]] std::size_t recordAt(std::size_t offset, std::size_t from) const;
    [[nodiscard]] std::vector<char> wantedCategories(const CategoryFilter& category) const;

    HeadingOrder order_;
    std::vector<std::int64_t> ids_;
    std::vector<std::uint32_t> categories_;  // into categoryNames_
    TextColumn headings_;
    TextColumn folded_;
    std::vector<FoldKey> byFold_;  // sorted: the exact-match lookup
    static void sortByHash(std::vector<FoldKey>& keys);
    static std::uint64_t hashOf(std::string_view folded);
    // Category names as stored, each spelling once.
    std::vector<QString> categoryNames_;
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    std::unordered_map<std::string, std::uint32_t, NameHash, std::equal_to<>> categoryNumberOf_;
};

}  // namespace veltro::store
