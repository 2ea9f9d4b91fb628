#pragma once

#include "TestHome.h"

#include <filesystem>
#include <vector>

namespace veltro::testing {

// Creates DIR/Kartix.mdb exactly as the release before store versions made it (the four
// tables, the list index and the change triggers, user_version 0), with these
// categories and cards in this store order.
void makeVersionOneStore(const std::filesystem::path& dir, const std::vector<QString>& categories,
                         const std::vector<GivenCard>& cards);

// The same brought to version 2 (KartenInfo) by the first upgrade step alone, as the
// release of version 2 left it.
void makeVersionTwoStore(const std::filesystem::path& dir, const std::vector<QString>& categories,
                         const std::vector<GivenCard>& cards);

}  // namespace veltro::testing
