#pragma once

struct sqlite3;

namespace veltro::store {

// Registers LIKE (our pattern syntax, case-insensitive over Unicode) and vfold(text)
// (Unicode case folding, for equality without regard to case) on a connection.
void registerSqlFunctions(sqlite3* db);

}  // namespace veltro::store
