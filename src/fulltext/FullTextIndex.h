#pragma once

#include "fulltext/BlockBuffer.h"
#include "fulltext/IdSet.h"
#include "fulltext/TokenDictionary.h"
#include "store/CardFields.h"
#include "store/CardStore.h"
#include "store/FullTextNotes.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace veltro::fulltext {

// The fourteen searchable fields of every card and what it holds beyond them (see
// store::SearchableExtras), case-folded, the notes as their visible text rather than their
// RTF codes. The fields found anywhere in their text, and the lines of the extras made of
// words only (a town, a title), are kept as pieces of a shared dictionary (see
// TokenDictionary), so a repeated word costs a byte or two. The other lines of the extras,
// numbers and addresses mostly found on one card only, and the fields matched at one edge are
// kept as they are.
class FullTextIndex {
public:
    enum class Match { Contains, BeginsWith, EndsWith };
    struct Column {
        std::optional<store::Field> field;  // nothing: the card's extras
        Match match;
    };
    static constexpr std::size_t kColumns = 16;
    static constexpr std::size_t kPieceColumns = 9;  // the first ones
    static constexpr std::size_t kExtrasWordsColumn = 8;
    static constexpr std::size_t kExtrasOtherColumn = 9;
    static const std::array<Column, kColumns>& columns();

    // A card's searchable columns, case-folded UTF-8, in the order of columns().
    using Values = std::array<std::string, kColumns>;
    // `extras` as store::SearchableExtras gives it, UTF-8.
    [[nodiscard]] static Values valuesOf(const store::Card& card, std::string_view extras);
    // The same from the fields' UTF-8 as the store holds it, in the order of
    // store::kFullTextFields.
    [[nodiscard]] static Values valuesOfUtf8(std::span<const std::string_view> fields,
                                             std::string_view extras);

    // The values of the headed cards in (after, until], at most `limit` of them, in row id
    // order; returns the row id of the last one read, 0 when none was left.
    static std::int64_t readValues(store::CardStore& store, store::SearchableExtras& extras,
                                   std::int64_t after, std::int64_t until, std::int64_t limit,
                                   std::vector<std::pair<std::int64_t, Values>>& cards);

    // Reads every card in short chunks, so saves on the main connection never wait
    // long. Stops early (and returns false) when `cancel` turns true.
    bool build(store::CardStore& store, const std::atomic<bool>& cancel);

    // Ids of the cards where any field matches in its way. Nothing when the text is
    // not a valid pattern.
    [[nodiscard]] std::optional<IdSet> search(const QString& text) const;

    // A card's fields split into pieces with their hashes: made without the index, so that
    // adding a card under a lock is only lookups.
    struct Prepared {
        struct Piece {
            std::uint32_t offset = 0;
            std::uint32_t length = 0;  // 0: the end of a field
            std::uint64_t hash = 0;
        };
        std::int64_t id = 0;
        std::string text;  // the pieces back to back
        std::vector<Piece> pieces;
        std::string edges;  // each edge column, its length first
    };
    [[nodiscard]] static Prepared prepare(std::int64_t id, const Values& values);

    // A card whose id the index does not hold yet.
    void append(std::int64_t id, const Values& values);
    void append(const Prepared& card);
    // A card written: its earlier record goes, a card without heading is not kept.
    void update(const store::Card& card, std::string_view extras);
    void remove(std::int64_t id);
    // A card read anew: whatever the index held of it goes, and it comes back with these
    // values unless it is gone or has no heading (nothing).
    void replace(std::int64_t id, const std::optional<Values>& values);
    [[nodiscard]] std::size_t size() const { return live_; }
    // Room for this many cards, so that building does not hold the old and the new list.
    void reserve(std::size_t cards) { records_.reserve(cards); }

    // The index as an image (IndexImage.h); read() is false when what it read is not sound.
    void write(ImageSink& sink) const;
    bool read(ImageSource& source);

private:
    struct Record {
        std::int64_t id = 0;
        BlockBuffer<std::uint8_t>::Place pieces;
        BlockBuffer<char>::Place edges;
        std::uint32_t pieceBytes = 0;
        std::uint32_t edgeBytes : 31 = 0;  // a card's text is far shorter
        std::uint32_t alive : 1 = 1;       // so that a record takes 32 bytes
    };
    [[nodiscard]] bool holdsAny(const Record& record, const PieceMarks& marks) const;
    void searchPieces(const PieceMarks& marks, IdSet& ids) const;
    void searchFewPieces(const PieceMarks& marks, IdSet& ids) const;
    void searchJoined(std::string_view needle, IdSet& ids) const;
    void searchEdges(std::string_view needle, IdSet& ids) const;
    [[nodiscard]] IdSet searchPattern(const QString& text) const;
    [[nodiscard]] Values valuesOf(const Record& record) const;
    void compactIfWasteful();
    void setPosition(std::int64_t id, std::uint32_t position);
    [[nodiscard]] std::uint32_t positionOf(std::int64_t id) const;

    TokenDictionary words_;
    BlockBuffer<std::uint8_t> pieces_;  // per record: piece ids of the piece columns
    BlockBuffer<char> edges_;           // per record: each edge column, its length first
    std::vector<Record> records_;
    std::size_t live_ = 0;
    // The record of each live card, plus one (0: none); by id where ids are dense.
    std::vector<std::uint32_t> positions_;
    std::unordered_map<std::int64_t, std::uint32_t> farPositions_;
};

}  // namespace veltro::fulltext
