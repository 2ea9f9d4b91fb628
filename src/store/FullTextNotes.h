#pragma once

#include "store/CardFields.h"
#include "store/Sqlite.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veltro::store {

// The fields the full-text index searches, in the index's order of columns.
inline constexpr std::array<Field, 14> kFullTextFields = {
    Field::Schlagworte, Field::Vorname,  Field::Nachname, Field::Firma,        Field::Abteilung,
    Field::Strasse,     Field::Ort,      Field::Notizen,  Field::Postleitzahl, Field::EMailAdresse,
    Field::Nr,          Field::Webseite, Field::Vorwahl,  Field::Telefon,
};

// Version 6: the program keeps its full-text index in a file beside the store (an image of
// it), and the store notes each card whose searchable fields changed since: VolltextStand
// names the image the notes go with, VolltextOffen holds the notes in the order they came.
// Triggers on Kontakte make the notes in the statement that changes the card, whichever
// connection writes, so image and notes always make the index of the cards as committed.
// Plain SQL only: programs that know only the original tables run them too. Runs inside the
// caller's transaction.
void addFullTextNotes(Database& db);

// Version 8: the index also searches what a card holds beyond its fields (nickname, title,
// role, further numbers, e-mail and postal addresses, web pages): triggers on KartenAngaben
// and KartenEintraege note their card too. The image made before knows nothing of them, so
// the notes go with no image and the next start builds the index anew. Inside the caller's
// transaction.
void addFullTextExtrasNotes(Database& db);

// The searchable text of the extras of the cards in (after, until], one line per value, in
// row id order: what the index keeps beside a card's fields. Nothing in a store without
// extras.
class SearchableExtras {
public:
    explicit SearchableExtras(Database& db);
    void read(std::int64_t after, std::int64_t until,
              std::vector<std::pair<std::int64_t, std::string>>& cards);
    [[nodiscard]] std::string of(std::int64_t card);

private:
    std::optional<Statement> values_;
};

// What the insert trigger notes, for every card after `afterRowId` at once; for cards added
// while it was set aside. Inside the caller's transaction.
void noteFullTextCards(Database& db, std::int64_t afterRowId);

// Where the full-text index of a store stands: the image the notes go with (0 for none) and
// the number of the last note. Nothing for stores without the notes.
struct FullTextMark {
    std::uint64_t image = 0;
    std::int64_t lastNote = 0;
};
[[nodiscard]] std::optional<FullTextMark> fullTextMark(Database& db);

// The cards noted after note `after` (each once, in row id order).
[[nodiscard]] std::vector<std::int64_t> cardsNotedAfter(Database& db, std::int64_t after);

// An image of the index as it stood after note `upTo` is saved: the notes go with it now,
// and those up to `upTo` are done with. Its own transaction.
void fullTextImageSaved(Database& db, std::uint64_t image, std::int64_t upTo);

}  // namespace veltro::store
