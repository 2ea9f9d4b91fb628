#pragma once

#include "store/Sqlite.h"

#include <filesystem>

namespace veltro::store {

inline constexpr const char* kStoreFileName = "Kartix.mdb";
inline constexpr const char* kCompactFileName = "Kartix2.mdb";

// Makes the four tables of a new, empty card store. Only our own tools call it; the
// program opens existing stores and never creates or alters a table.
void createSchema(Database& db);

// Throws StoreError with a German text naming what is missing when one of the four tables
// or one of the columns the program uses is not there, or a table is a view.
void verifySchema(Database& db);

// Creates DIR/Kartix.mdb with an empty schema; throws StoreError if it exists already.
std::filesystem::path createEmptyStore(const std::filesystem::path& directory);

}  // namespace veltro::store
