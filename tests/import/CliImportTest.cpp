#include "CliRun.h"
#include "ImportTestSupport.h"
#include "TestHome.h"

#include "store/CardStore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using veltro::store::CardStore;
using veltro::testing::testDataFile;
using veltro::testing::TestHome;
using veltro::testing::writeFile;

namespace {

using veltro::testing::CliRun;
using veltro::testing::runCli;

QStringList importArgs(const TestHome& home, const QString& file, const QString& category,
                       const QStringList& more) {
    return QStringList{"import", QString::fromStdString(home.dir().string()), file, "--category",
                       category} +
           more;
}

TEST(CliImport, TellsWhatWentWrongAndExitsAccordingly) {
    const QTemporaryDir dir;
    QByteArray random(100000, Qt::Uninitialized);
    for (qsizetype i = 0; i < random.size(); ++i) {
        random[i] = static_cast<char>((i * 2654435761U) >> 13U);
    }
    const QStringList customers = {"--table", "Customers", "--map", "Karte=CompanyName"};
    const struct {
        const char* name;
        QString file;
        QStringList options;
        int exitCode;
        const char* err;
        int cards;
    } cases[] = {
        {"random bytes",
         writeFile(dir, "zufall.csv", random),
         {"--map", "Karte=1"},
         1,
         "zufall.csv: Die Datei ist keine Textdatei.",
         0},
        {"UTF-8 with one bad byte",
         testDataFile("kunden-utf8-ein-fehler.txt"),
         {"--map", "Karte=1", "--tab"},
         0,
         "kunden-utf8-ein-fehler.txt: 1 Zeile enthält ungültige Zeichen (durch \uFFFD ersetzt).",
         4},
        {"an Access row lost to a flipped byte",
         writeFile(dir, "gekippt.mdb", veltro::testing::flippedNorthwind()), customers, 3,
         "gekippt.mdb: 90 von 91 Datensätzen gelesen.", 90},
        {"a truncated Access file",
         writeFile(dir, "gekuerzt.mdb", veltro::testing::truncatedNorthwind()),
         {"--table", "Umsätze", "--map", "Karte=ShipName"},
         3,
         "gekuerzt.mdb: 709 von 830 Datensätzen gelesen.",
         709},
        {"a sound Access file", testDataFile("nwind.mdb"), customers, 0, "", 91},
    };
    for (const auto& c : cases) {
        TestHome home;
        veltro::testing::makeStore(home.dir(), {"Kunden"}, {});
        const CliRun run = runCli(importArgs(home, c.file, "Kunden", c.options));
        EXPECT_EQ(run.status, c.exitCode) << c.name;
        if (*c.err == '\0') {
            EXPECT_TRUE(run.err.isEmpty()) << c.name << ": " << run.err.toStdString();
        } else {
            EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.err)))
                << c.name << ": " << run.err.toStdString();
        }
        EXPECT_EQ(CardStore::open(home.storeFile()).cardCount(), c.cards) << c.name;
    }
}

TEST(CliImport, AMissingCategoryIsAddedWithTheCards) {
    TestHome home;
    veltro::testing::makeStore(home.dir(), {}, {});
    const QString file = testDataFile("kunden-ansi.csv");
    const QStringList map = {"--map", "Karte=1", "--quoted", "--skip-first"};
    const CliRun first = runCli(importArgs(home, file, "Privat", map));
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.err, "Kategorie \"Privat\" angelegt.\n");
    EXPECT_TRUE(first.out.contains("3 Karten in die Kategorie \"Privat\" importiert"));
    const CliRun again = runCli(importArgs(home, file, "privat", map));
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.err.isEmpty()) << "the store spells it Privat";
    EXPECT_TRUE(again.out.contains("in die Kategorie \"Privat\""));
    auto store = CardStore::open(home.storeFile());
    EXPECT_EQ(store.categories(), std::vector<QString>({"Privat"}));
    EXPECT_EQ(store.cardCount(), 6);
}

}  // namespace
