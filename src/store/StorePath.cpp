#include "store/StorePath.h"

#include "store/Schema.h"

namespace veltro::store {

namespace fs = std::filesystem;

namespace {

// As many links as the system itself follows before it gives up.
constexpr int kMaxLinkHops = 40;

}  // namespace

fs::path realStoreFile(const fs::path& directory) {
    std::error_code ec;
    fs::path file = fs::absolute(directory / kStoreFileName, ec);
    for (int hop = 0; hop < kMaxLinkHops && !ec; ++hop) {
        const fs::path folder = fs::weakly_canonical(file.parent_path(), ec);
        if (ec) {
            break;
        }
        file = folder / file.filename();
        if (!fs::is_symlink(file, ec)) {
            break;
        }
        const fs::path target = fs::read_symlink(file, ec);
        if (ec) {
            break;
        }
        file = folder / target;  // an absolute target replaces the folder
    }
    return file;
}

}  // namespace veltro::store
