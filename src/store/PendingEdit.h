#pragma once

#include "store/CardFields.h"
#include "store/ExtrasInput.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

namespace veltro::store {

class CardStore;

// What was typed into a card and not saved yet, kept in a file beside the store
// ("Kartix.mdb.eingaben") so that it outlives any end of the program: a kill, a lost
// display, a store that refused the last save.
struct PendingEdit {
    std::int64_t cardId = 0;
    QString uid;      // the card's lasting identity; row ids may change in a discard
    QString heading;  // for the question at the next start
    std::vector<std::pair<Field, QString>> values;
    std::optional<TypedExtras> extras;  // the further details, when they were typed into
};

// Beside the real store file, symlinks resolved, so that every path to one store finds it.
[[nodiscard]] std::filesystem::path pendingEditFile(const std::filesystem::path& storeFile);

// Written whole or not at all, readable only as the store itself is. False when it could
// not be written.
bool writePendingEdit(const std::filesystem::path& storeFile, const PendingEdit& edit);
// Nothing when there is none, or it cannot be read.
[[nodiscard]] std::optional<PendingEdit> readPendingEdit(const std::filesystem::path& storeFile);
void removePendingEdit(const std::filesystem::path& storeFile);

// The card the edit belongs to: by its identity, else by its row id when that row has no
// other identity; nothing when the card is gone.
[[nodiscard]] std::optional<std::int64_t> cardOfPendingEdit(CardStore& store,
                                                            const PendingEdit& edit);

}  // namespace veltro::store
