#include "store/DataDirectory.h"

#include "store/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <string>
#include <string_view>

#include <unistd.h>

namespace veltro::store {

namespace fs = std::filesystem;

namespace {

fs::path pathOf(const QString& text) {
    return fs::path(text.toStdString());
}

QString environment(const char* name) {
    return qEnvironmentVariable(name);
}

}  // namespace

bool isSystemFolder(const fs::path& folder) {
    const std::string text = folder.lexically_normal().string();
    for (const std::string_view root : {"/usr", "/bin", "/sbin", "/opt", "/snap"}) {
        if (text.starts_with(root) && (text.size() == root.size() || text[root.size()] == '/')) {
            return true;
        }
    }
    return false;
}

QString reasonText(DataFolderKind kind) {
    switch (kind) {
        case DataFolderKind::Chosen:
            return QStringLiteral("aus VELTRO_HOME");
        case DataFolderKind::ProgramFolder:
            return QStringLiteral("Verzeichnis des Programms");
        case DataFolderKind::UserFolder:
            return QStringLiteral("Datenordner des Benutzers");
    }
    return {};
}

DataFolder chooseDataFolder(const DataFolderFacts& facts) {
    if (!facts.veltroHome.isEmpty()) {
        return {fs::absolute(pathOf(facts.veltroHome)), DataFolderKind::Chosen};
    }
    if (facts.programFolderWritable && !facts.installed && !isSystemFolder(facts.programFolder)) {
        return {facts.programFolder, DataFolderKind::ProgramFolder};
    }
    const fs::path xdg = pathOf(facts.xdgDataHome);
    const fs::path base = xdg.is_absolute() ? xdg : facts.home / ".local" / "share";
    return {base / "Veltrix", DataFolderKind::UserFolder};
}

DataFolder dataFolder() {
    const QString program = QCoreApplication::applicationDirPath();
    DataFolderFacts facts;
    facts.veltroHome = environment("VELTRO_HOME");
    facts.programFolder = pathOf(program);
    facts.programFolderWritable = ::access(QFile::encodeName(program).constData(), W_OK) == 0;
    std::error_code ec;
    facts.installed = fs::is_directory(facts.programFolder / VELTRO_HELPER_FROM_BIN, ec);
    facts.xdgDataHome = environment("XDG_DATA_HOME");
    facts.home = pathOf(QDir::homePath());
    return chooseDataFolder(facts);
}

fs::path dataDirectory() {
    return dataFolder().path;
}

bool createStoreOnFirstStart(const DataFolder& folder) {
    if (folder.kind != DataFolderKind::UserFolder) {
        return false;
    }
    std::error_code ec;
    // A store half-way through its compaction is recovered by the compaction, not replaced.
    for (const char* name : {kStoreFileName, kCompactFileName}) {
        if (fs::exists(folder.path / name, ec) || ec) {
            return false;
        }
    }
    createEmptyStore(folder.path);
    return true;
}

}  // namespace veltro::store
