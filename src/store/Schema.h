#pragma once

#include "store/Sqlite.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace veltro::store {

inline constexpr const char* kStoreFileName = "Kartix.mdb";
inline constexpr const char* kCompactFileName = "Kartix2.mdb";

// Makes a new, empty card store in the current layout: the four original tables, then
// every later layout on top (see SchemaVersion.h). Only our own tools call it; the
// program changes the layout of an existing store only by its upgrade steps.
void createSchema(Database& db);

// Makes z<table> keep the rows of `table` that a run changes (see Snapshot.h). `columns`
// names the copied columns, `oldValues` the same as old.<column>. A table whose rows are
// keyed by the card and come only with new cards names zKontakte in `newRowsNotedIn`:
// the card's note then stands for its row too, and no trigger of its own notes it.
void createChangeTriggers(Database& db, const std::string& table, const std::string& columns,
                          const std::string& oldValues, const std::string& newRowsNotedIn = {});

// "a, b" with a prefix before each name: "old.a, old.b".
[[nodiscard]] std::string prefixedColumns(const std::string& columns, const std::string& prefix);

// What the snapshot's insert trigger on Kontakte notes, for every card after `afterRowId`
// at once; for cards added while that trigger was set aside. Inside the caller's
// transaction.
void noteNewCards(Database& db, std::int64_t afterRowId);

// From version 3: the change triggers of the tables of versions 1 and 2 made anew, as
// createChangeTriggers makes them now. Runs inside the caller's transaction.
void renewEarlyChangeTriggers(Database& db);

// Throws StoreError with a German text naming what is missing when one of the four tables
// or one of the columns the program uses is not there, or a table is a view.
void verifySchema(Database& db);

// Creates DIR/Kartix.mdb with an empty schema; throws StoreError if it exists already.
std::filesystem::path createEmptyStore(const std::filesystem::path& directory);

}  // namespace veltro::store
