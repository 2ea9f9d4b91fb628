#pragma once

#include <filesystem>

namespace veltro::store {

// Compacts DIR/Kartix.mdb through DIR/Kartix2.mdb. The store is replaced by one atomic
// rename, so there is never a moment without a complete store; a store lost between
// the two files earlier is recovered from the copy. Errors are silent: the following
// open reports anything that matters.
enum class CompactWhen { Worthwhile, Always };
void DatenbankKomprimieren(const std::filesystem::path& directory,
                           CompactWhen when = CompactWhen::Worthwhile);

}  // namespace veltro::store
