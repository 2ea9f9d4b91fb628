#pragma once

#include "store/CardExtras.h"
#include "store/Sqlite.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace veltro::store {

// Version 7: what a card holds beyond the original table. KartenAngaben has at most one row
// per card (KarteId, the card's row id, is its row id too): the dates as PartialDate texts,
// nickname, title, role, the photo's bytes and media type. KartenEintraege has one row per
// further entry: the card, the kind and type by their German names, the place within its
// kind (Rang, from 0), the value (number, address, web address or street) and for postal
// addresses postcode, town and country. Both have snapshots and undo logs; a card's rows go
// with the card, and a change of them is a change of the card (KartenInfo.Geaendert). Runs
// inside the caller's transaction.
void addCardExtras(Database& db);

inline constexpr const char* kKartenAngabenColumns =
    "Geburtstag, Jahrestag, Spitzname, Titel, Rolle, Foto, FotoArt";
inline constexpr const char* kKartenEintraegeColumns =
    "KarteId, Art, Typ, Rang, Wert, Postleitzahl, Ort, Land";

// Reads the extras of one card after another through the same prepared statements (an
// export of every card).
class CardExtrasReader {
public:
    explicit CardExtrasReader(Database& db);
    // Empty when the card has none, is gone, or the store keeps none.
    [[nodiscard]] CardExtras read(std::int64_t card);

private:
    std::optional<Statement> details_;
    std::optional<Statement> entries_;
};

[[nodiscard]] CardExtras loadCardExtras(Database& db, std::int64_t card);

// The value of every further entry of the kind, card by card in row id order; nothing in a
// store that keeps none. For searches over all cards, which would not read each card's extras.
void visitEntryValues(Database& db, EntryKind kind,
                      const std::function<void(std::int64_t card, const QString& value)>& visit);

// Writes what differs from what the store holds, in one transaction (or the caller's).
// Throws StoreError when the card is gone.
void writeCardExtras(Database& db, std::int64_t card, const CardExtras& extras);

// Writes the extras of new cards, which have none yet, through statements prepared once: an
// import writes many.
class NewCardExtrasWriter {
public:
    explicit NewCardExtrasWriter(Database& db);
    void write(std::int64_t card, const CardExtras& extras);

private:
    Statement details_;
    Statement entries_;
};

// Settles the extras of the cards for the rest of the run, as Snapshot::settle does rows:
// what a sync brought stays when the user discards the run.
void settleCardExtras(Database& db, const std::vector<std::int64_t>& cards);

}  // namespace veltro::store
