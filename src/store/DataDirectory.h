#pragma once

#include <QString>

#include <filesystem>

namespace veltro::store {

// Why the card store lives where it does.
enum class DataFolderKind {
    Chosen,         // $VELTRO_HOME
    ProgramFolder,  // beside a program the user may write next to (built or copied)
    UserFolder,     // an installed program: $XDG_DATA_HOME/Veltrix
};

struct DataFolder {
    std::filesystem::path path;
    DataFolderKind kind = DataFolderKind::ProgramFolder;
};

// Why the folder applies, as the version output says it: "aus VELTRO_HOME" …
[[nodiscard]] QString reasonText(DataFolderKind kind);

// What the choice depends on, gathered from the process so the rule itself stays testable.
struct DataFolderFacts {
    QString veltroHome;  // $VELTRO_HOME, empty when unset
    std::filesystem::path programFolder;
    bool programFolderWritable = false;
    bool installed = false;      // the program lies in an installation's bin folder
    QString xdgDataHome;         // $XDG_DATA_HOME, empty when unset
    std::filesystem::path home;  // the user's home folder
};

// $VELTRO_HOME when set; else the program's folder when the user may write there and it is
// neither a system folder nor an installation's bin folder (~/.local/bin); else
// $XDG_DATA_HOME/Veltrix (an absolute $XDG_DATA_HOME only, as the XDG rules say), by default
// ~/.local/share/Veltrix.
[[nodiscard]] DataFolder chooseDataFolder(const DataFolderFacts& facts);

// The same rule on this process's environment and program file.
[[nodiscard]] DataFolder dataFolder();
[[nodiscard]] std::filesystem::path dataDirectory();

// An installed program's first start finds no store in the user's folder and makes an empty
// one, so the program opens with its first steps. A store beside the program is never made
// up: a missing one there is a fault to report. Call it holding the folder's writer lock.
// Returns true when it made the store; throws StoreError when that failed.
bool createStoreOnFirstStart(const DataFolder& folder);

// Folders that belong to the system's packages even when root may write to them.
[[nodiscard]] bool isSystemFolder(const std::filesystem::path& folder);

}  // namespace veltro::store
