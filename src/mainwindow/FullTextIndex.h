#pragma once

#include "store/CardFields.h"
#include "store/CardStore.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_set>
#include <vector>

namespace veltro::mainwindow {

// The fourteen searchable fields of every card, case-folded in memory, with the notes
// as their visible text rather than their RTF codes. Built on first use, then kept in
// step with every save and card command.
class FullTextIndex {
public:
    static constexpr std::size_t kColumns = 14;

    [[nodiscard]] bool isBuilt() const { return built_; }
    void build(store::CardStore& store);

    // Ids of the cards where any field matches in its way (contains, begins or ends
    // with the text). Nothing when the text is not a valid pattern.
    [[nodiscard]] std::optional<std::unordered_set<std::int64_t>> search(const QString& text) const;

    void update(const store::Card& card);
    void remove(std::int64_t id);

    // Which column is matched how, in search order.
    enum class Match { Contains, BeginsWith, EndsWith };
    struct Column {
        store::Field field;
        Match match;
    };
    static const std::array<Column, kColumns>& columns();

private:
    struct Row {
        std::int64_t id = 0;
        std::array<QString, kColumns> folded;
    };
    [[nodiscard]] static Row makeRow(const store::Card& card);

    std::vector<Row> rows_;
    bool built_ = false;
};

}  // namespace veltro::mainwindow
