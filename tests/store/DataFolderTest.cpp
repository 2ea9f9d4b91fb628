#include "TestHome.h"

#include "store/CardStore.h"
#include "store/DataDirectory.h"
#include "store/Schema.h"
#include "store/StoreError.h"

#include <gtest/gtest.h>

#include <fstream>

using veltro::store::chooseDataFolder;
using veltro::store::DataFolder;
using veltro::store::DataFolderFacts;
using veltro::store::DataFolderKind;
using veltro::testing::TestHome;
namespace store = veltro::store;
namespace fs = std::filesystem;

namespace {

struct FolderCase {
    const char* name;
    DataFolderFacts facts;
    fs::path path;
    DataFolderKind kind;
};

DataFolderFacts facts(const char* veltroHome, const char* program, bool writable, const char* xdg,
                      bool installed = false) {
    return {QString::fromUtf8(veltroHome), program,     writable, installed,
            QString::fromUtf8(xdg),        "/home/anna"};
}

TEST(DataFolder, TheRuleChoosesByVariableWritabilityAndSystemFolders) {
    const FolderCase cases[] = {
        {"VELTRO_HOME wins over everything", facts("/srv/kartei", "/usr/bin", false, "/x"),
         "/srv/kartei", DataFolderKind::Chosen},
        {"a copied program keeps its store beside it",
         facts("", "/home/anna/veltro", true, "/home/anna/daten"), "/home/anna/veltro",
         DataFolderKind::ProgramFolder},
        {"installed for everyone", facts("", "/usr/bin", false, ""),
         "/home/anna/.local/share/Veltrix", DataFolderKind::UserFolder},
        {"root may write /usr/bin, yet it is no data folder", facts("", "/usr/bin", true, ""),
         "/home/anna/.local/share/Veltrix", DataFolderKind::UserFolder},
        {"nor /usr/local/bin", facts("", "/usr/local/bin/", true, ""),
         "/home/anna/.local/share/Veltrix", DataFolderKind::UserFolder},
        {"installed below the user's home", facts("", "/home/anna/.local/bin", true, "", true),
         "/home/anna/.local/share/Veltrix", DataFolderKind::UserFolder},
        {"a read-only folder of the user's own", facts("", "/home/anna/cd", false, "/daten"),
         "/daten/Veltrix", DataFolderKind::UserFolder},
        {"a relative XDG_DATA_HOME is ignored", facts("", "/usr/bin", false, "daten"),
         "/home/anna/.local/share/Veltrix", DataFolderKind::UserFolder},
        {"a folder merely named like a system one", facts("", "/usrdaten/bin", true, ""),
         "/usrdaten/bin", DataFolderKind::ProgramFolder},
    };
    for (const FolderCase& c : cases) {
        const DataFolder folder = chooseDataFolder(c.facts);
        EXPECT_EQ(folder.path, c.path) << c.name;
        EXPECT_EQ(folder.kind, c.kind) << c.name;
    }
}

TEST(DataFolder, ARelativeVeltroHomeIsMadeAbsolute) {
    const DataFolder folder = chooseDataFolder(facts("kartei", "/usr/bin", false, ""));
    EXPECT_EQ(folder.path, fs::current_path() / "kartei");
}

// Each file set lies in the folder before the first start.
struct FirstStart {
    const char* name;
    DataFolderKind kind;
    std::vector<const char*> files;
    bool made;
};

TEST(DataFolder, OnlyAnInstalledProgramsEmptyFolderGetsANewStore) {
    const FirstStart cases[] = {
        {"user folder without a store", DataFolderKind::UserFolder, {}, true},
        {"user folder with a store", DataFolderKind::UserFolder, {store::kStoreFileName}, false},
        {"user folder with a store in its compaction",
         DataFolderKind::UserFolder,
         {store::kCompactFileName},
         false},
        {"beside the program", DataFolderKind::ProgramFolder, {}, false},
        {"chosen by VELTRO_HOME", DataFolderKind::Chosen, {}, false},
    };
    for (const FirstStart& c : cases) {
        const TestHome home;
        for (const char* name : c.files) {
            std::ofstream(home.dir() / name) << "da";
        }
        EXPECT_EQ(store::createStoreOnFirstStart({home.dir(), c.kind}), c.made) << c.name;
        if (c.made) {
            auto made = store::CardStore::open(home.dir() / store::kStoreFileName);
            EXPECT_EQ(made.cardCount(), 0) << c.name;
        } else if (c.files.empty()) {
            EXPECT_FALSE(fs::exists(home.dir() / store::kStoreFileName)) << c.name;
        }
    }
}

}  // namespace
