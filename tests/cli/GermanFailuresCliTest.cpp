#include "TestHome.h"
#include "TestTools.h"

#include "store/Sqlite.h"

#include <QHash>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using veltro::testing::TestHome;
namespace store = veltro::store;
namespace fs = std::filesystem;

namespace {

struct Refusal {
    int status = -1;
    QString err;
};

// A store with many cards, a list to import and a place to export to.
struct Scene {
    TestHome home;
    fs::path dir = home.dir();
    QString csv = QString::fromStdString((home.dir() / "neu.csv").string());
    QString exported = QString::fromStdString((home.dir() / "aus.csv").string());
    std::optional<store::Database> other;  // a second connection that holds the store

    Scene() {
        std::vector<veltro::testing::GivenCard> cards;
        for (int i = 0; i < 150; ++i) {
            cards.push_back({QStringLiteral("Karte %1 mit einem längeren Namen").arg(i),
                             QStringLiteral("Privat")});
        }
        veltro::testing::makeStore(dir, {QStringLiteral("Privat")}, cards);
        std::ofstream list(csv.toStdString());
        for (int i = 0; i < 4000; ++i) {
            list << "Neue Karte Nummer " << i << " mit einem recht langen Namen\n";
        }
    }
    void holdStore(const char* sql) {
        other.emplace(store::Database::open(home.storeFile()));
        other->exec(sql);
        if (std::string_view(sql).starts_with("BEGIN IMMEDIATE")) {
            other->exec("DELETE FROM Kontakte WHERE rowid = 1");
        }
    }
};

// veltro-cli ARGS with the placeholders filled in, in a child that the modifier prepares.
Refusal run(const Scene& scene, const QStringList& args,
            const std::function<void()>& inChild = {}) {
    const QHash<QString, QString> places = {
        {QStringLiteral("DIR"), QString::fromStdString(scene.dir.string())},
        {QStringLiteral("CSV"), scene.csv},
        {QStringLiteral("OUT"), scene.exported},
        {QStringLiteral("PDF"), QString::fromStdString((scene.dir / "Liste.pdf").string())}};
    QStringList filled;
    for (const QString& arg : args) {
        filled << places.value(arg, arg);
    }
    QProcess process;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VELTRO_CARDDAV_PASSWORD"), QStringLiteral("geheim"));
    process.setProcessEnvironment(environment);
    if (inChild) {
        process.setChildProcessModifier(inChild);
    }
    process.start(QStringLiteral(VELTRO_CLI), filled);
    EXPECT_TRUE(process.waitForFinished(60000)) << filled.join(u' ').toStdString();
    QString err = QString::fromUtf8(process.readAllStandardError());
    // The test's own paths are no text of the program.
    err.replace(QString::fromStdString(scene.home.dir().string()), QStringLiteral("VERZ"));
    return {process.exitCode(), err};
}

// The system's and the engine's English as it was seen reaching the user, and English words.
const QRegularExpression kEnglish(
    QStringLiteral("database or disk is full|readonly database|database is locked|unable to open|"
                   "No such file|Unknown error|Permission denied|File too large|Is a directory|"
                   "disk I/O|not a database|Read-only file system|No space left|"
                   "\\b(the|error|file|database|denied|such|unable|unknown|attempt|disk|full|"
                   "locked|permission|directory|readonly|space|large|open)\\b"),
    QRegularExpression::CaseInsensitiveOption);

void expectGerman(const Refusal& outcome, const QString& kind) {
    EXPECT_NE(outcome.status, 0);
    EXPECT_TRUE(outcome.err.contains(QRegularExpression(kind))) << outcome.err.toStdString();
    const auto english = kEnglish.match(outcome.err);
    EXPECT_FALSE(english.hasMatch())
        << english.captured().toStdString() << " in " << outcome.err.toStdString();
}

// Writes beyond this size fail in the child as on a full disk, the signal ignored.
std::function<void()> fileSizeLimit(rlim_t bytes) {
    return [bytes] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    };
}

rlim_t sizeOf(const fs::path& file) {
    return static_cast<rlim_t>(fs::file_size(file));
}

// Little heap for the child: a record larger than that runs it out of memory, a failure
// that is no store's.
std::function<void()> heapLimit(rlim_t bytes) {
    return [bytes] {
        const rlimit limit{bytes, bytes};
        ::setrlimit(RLIMIT_DATA, &limit);
    };
}

void hugeRecord(Scene& s) {
    std::ofstream(s.csv.toStdString(), std::ios::trunc) << std::string(32 << 20, 'x') << '\n';
}

struct Failure {
    const char* name;
    std::function<void(Scene&)> make;
    QStringList args;
    QString kind;  // German words that name the kind of failure, as a pattern
    std::function<std::function<void()>(const Scene&)> child = {};
};

// A limit on the file size stands in for a full disk; the two are told apart.
const QString kFull = QStringLiteral("Datenträger voll|größer, als das System erlaubt");

const QStringList kList = {QStringLiteral("list"), QStringLiteral("DIR")};
const QStringList kExport = {QStringLiteral("export"), QStringLiteral("DIR"),
                             QStringLiteral("OUT")};
const QStringList kImport = {QStringLiteral("import"), QStringLiteral("DIR"),
                             QStringLiteral("CSV"),    QStringLiteral("--category"),
                             QStringLiteral("Privat"), QStringLiteral("--map"),
                             QStringLiteral("Karte=1")};

// A sync of the store's cards with the server at this address.
QStringList syncWith(const char* url) {
    return {QStringLiteral("sync"),       QStringLiteral("DIR"),    QStringLiteral("--url"),
            QLatin1String(url),           QStringLiteral("--user"), QStringLiteral("anna"),
            QStringLiteral("--category"), QStringLiteral("Privat")};
}

// The file to import cannot be read: no permission, which root obeys once it has given up
// the capabilities that pass over permissions.
void unreadableList(Scene& s) {
    fs::permissions(s.csv.toStdString(), fs::perms::none);
}
void withoutOverridingPermissions() {
    ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
    ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
}

void noStore(Scene& s) {
    fs::remove(s.home.storeFile());
}
void noFolder(Scene& s) {
    s.dir = s.home.dir() / "fehlt";
}
void folderAsStore(Scene& s) {
    noStore(s);
    fs::create_directory(s.home.storeFile());
}
void notAStore(Scene& s) {
    std::ofstream(s.home.storeFile(), std::ios::trunc) << std::string(4096, 'x');
}
void exclusive(Scene& s) {
    s.holdStore("BEGIN EXCLUSIVE");
}
void writing(Scene& s) {
    s.holdStore("BEGIN IMMEDIATE");
}

const Failure kFailures[] = {
    {"FolderMissingList", noFolder, kList, QStringLiteral("fehlt")},
    {"FolderMissingExport", noFolder, kExport, QStringLiteral("fehlt")},
    {"FolderMissingImport", noFolder, kImport,
     QStringLiteral("lässt sich nicht sperren: Das Verzeichnis gibt es nicht\\.$")},
    {"StoreMissingList", noStore, kList, QStringLiteral("fehlt")},
    {"StoreMissingExport", noStore, kExport, QStringLiteral("fehlt")},
    {"StoreMissingImport", noStore, kImport, QStringLiteral("fehlt")},
    {"StoreIsAFolderList", folderAsStore, kList, QStringLiteral("Verzeichnis")},
    {"StoreIsAFolderImport", folderAsStore, kImport, QStringLiteral("Verzeichnis")},
    {"NotAStoreList", notAStore, kList, QStringLiteral("beschädigt")},
    {"NotAStoreImport", notAStore, kImport, QStringLiteral("beschädigt")},
    {"ExportIntoMissingFolder",
     [](Scene& s) { s.exported = QString::fromStdString((s.dir / "fehlt" / "aus.csv").string()); },
     kExport, QStringLiteral("fehlt")},
    {"BusyList", exclusive, kList, QStringLiteral("belegt")},
    {"BusyExport", exclusive, kExport, QStringLiteral("belegt")},
    {"BusyImport", exclusive, kImport, QStringLiteral("belegt")},
    {"AnotherWriterImport", writing, kImport, QStringLiteral("belegt")},
    {"FullDiskImport", [](Scene&) {}, kImport, kFull,
     [](const Scene& s) { return fileSizeLimit(sizeOf(s.home.storeFile()) + 65536); }},
    {"FullDiskExport", [](Scene&) {}, kExport, kFull,
     [](const Scene&) { return fileSizeLimit(4096); }},
    {"FullDiskPdf",
     [](Scene&) {},
     {QStringLiteral("list"), QStringLiteral("DIR"), QStringLiteral("PDF")},
     kFull,
     [](const Scene&) { return fileSizeLimit(4096); }},
    {"FileMissingImport",
     [](Scene& s) { s.csv = QString::fromStdString((s.dir / "fehlt.csv").string()); }, kImport,
     QStringLiteral("fehlt")},
    {"FileUnreadableImport", unreadableList, kImport, QStringLiteral("Berechtigung"),
     [](const Scene&) { return withoutOverridingPermissions; }},
    {"ConnectionRefusedSync", [](Scene&) {}, syncWith("http://127.0.0.1:1/"),
     QStringLiteral("nimmt keine Verbindung an")},
    {"UnknownHostSync", [](Scene&) {}, syncWith("http://kartei.invalid/"),
     QStringLiteral("gibt es nicht")},
    {"OutOfMemoryImport", hugeRecord, kImport, QStringLiteral("Arbeitsspeicher"),
     [](const Scene&) { return heapLimit(16 << 20); }},
};

// The sanitizers reserve their shadow memory as heap; no limit on it lets them start.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kHeapCanBeLimited = false;
#else
constexpr bool kHeapCanBeLimited = true;
#endif

class GermanFailures : public ::testing::TestWithParam<Failure> {};

// Every failure is told in German; how long a busy store is waited for is not measured here.
TEST_P(GermanFailures, AreToldInGerman) {
    if (std::string_view(GetParam().name).starts_with("OutOfMemory") && !kHeapCanBeLimited) {
        GTEST_SKIP() << "the sanitizers need more heap than the limit";
    }
    Scene scene;
    GetParam().make(scene);
    const auto child = GetParam().child ? GetParam().child(scene) : std::function<void()>();
    const Refusal outcome = run(scene, GetParam().args, child);
    expectGerman(outcome, GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(Cli, GermanFailures, ::testing::ValuesIn(kFailures),
                         [](const auto& param) { return std::string(param.param.name); });

// The folder made read-only for the child alone: a private bind mount where the test may
// mount (root), else the folder's and the store's write bits (which root would ignore).
std::optional<std::function<void()>> readOnly(const fs::path& dir) {
    const std::string path = dir.string();
    const auto remount = [path] {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, path.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) !=
                0) {
            ::_exit(1);
        }
    };
    const pid_t probe = ::fork();
    if (probe == 0) {
        remount();
        ::_exit(0);
    }
    int status = 1;
    ::waitpid(probe, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        return [remount] { remount(); };
    }
    if (::geteuid() == 0) {
        return std::nullopt;
    }
    fs::permissions(dir / "Kartix.mdb", fs::perms::owner_read);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    return std::function<void()>();
}

TEST(GermanFailuresCli, AReadOnlyStoreIsToldInGerman) {
    Scene scene;
    // The lock file is there before, as after any earlier start.
    std::ofstream(scene.dir / "Kartix.mdb.lock").flush();
    const auto child = readOnly(scene.dir);
    if (!child) {
        GTEST_SKIP() << "no way to make a folder read-only here";
    }
    const Refusal outcome = run(scene, kImport, *child);
    fs::permissions(scene.dir, fs::perms::owner_all);
    expectGerman(outcome, QStringLiteral("schreibgeschützt"));
}

}  // namespace
