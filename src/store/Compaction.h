#pragma once

#include <filesystem>

namespace veltro::store {

// Compacts DIR/Kartix.mdb through DIR/Kartix2.mdb. The store is replaced by one atomic
// rename, so there is never a moment without a complete store; a store lost between
// the two files earlier is recovered from the copy. A linked store is compacted where the
// link points, beside its target, and stays linked; the copy keeps the store's mode, owner
// and group. Errors are silent: the following open reports anything that matters.
enum class CompactWhen { Worthwhile, Always };
void DatenbankKomprimieren(const std::filesystem::path& directory,
                           CompactWhen when = CompactWhen::Worthwhile);

}  // namespace veltro::store
