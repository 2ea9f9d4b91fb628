#pragma once

#include "fulltext/IdSet.h"
#include "store/CardFields.h"
#include "store/CardStore.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veltro::fulltext {

// The fourteen searchable fields of every card, case-folded, as UTF-8 in two contiguous
// buffers, with the notes as their visible text rather than their RTF codes. A plain
// search text is found with one memmem pass; texts with wildcards fall back to the
// store's pattern matcher per field.
class FullTextIndex {
public:
    enum class Match { Contains, BeginsWith, EndsWith };
    struct Column {
        store::Field field;
        Match match;
    };
    static constexpr std::size_t kColumns = 14;
    static const std::array<Column, kColumns>& columns();

    // Reads every card in short chunks, so saves on the main connection never wait
    // long. Stops early (and returns false) when `cancel` turns true.
    bool build(store::CardStore& store, const std::atomic<bool>& cancel);

    // Ids of the cards where any field matches in its way. Nothing when the text is
    // not a valid pattern.
    [[nodiscard]] std::optional<IdSet> search(const QString& text) const;

    void update(const store::Card& card);
    void remove(std::int64_t id);
    [[nodiscard]] std::size_t size() const { return live_; }

private:
    struct Region {
        std::int64_t id = 0;
        std::size_t containsBegin = 0;  // into containsText_
        std::size_t edgesBegin = 0;     // into edgeText_
        std::array<std::uint32_t, 6> edgeLength{};
        bool alive = true;
    };
    void append(std::int64_t id, const std::array<QString, kColumns>& values);
    [[nodiscard]] std::size_t regionAt(std::size_t containsOffset) const;
    void searchLiteral(const std::string& needle, IdSet& ids) const;
    void searchEdges(const std::string& needle, IdSet& ids) const;
    [[nodiscard]] IdSet searchPattern(const QString& text) const;
    [[nodiscard]] std::array<QString, kColumns> columnsOf(const Region& region) const;
    void compactIfWasteful();

    std::string containsText_;  // per region: the contains-columns, each ended by '\0'
    std::string edgeText_;      // per region: the begins/ends-columns back to back
    std::vector<Region> regions_;
    std::size_t live_ = 0;
};

}  // namespace veltro::fulltext
