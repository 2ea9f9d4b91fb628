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

namespace {

// Files as Thunderbird (LF, a comma after the last column), Outlook (Windows-1252, every
// field quoted, 0/0/00 for no date) and Google Contacts (typed numbered columns, several
// values joined by " ::: ", a formatted address over lines) write them.
TEST(CliImport, OtherProgramsFilesShowTheirFurtherDetailsOnTheCard) {
    const struct {
        const char* file;
        const char* card;
        std::vector<const char*> shown;
    } cases[] = {
        {"csv/thunderbird.csv",
         "Lena Vogt",
         {"Telefon: 0911 2345\n", "Straße: Königstraße 12\n", "Geburtstag: 14.07.1984\n",
          "Spitzname: Leni\n", "Titel: Einkaufsleiterin\n", "Telefon (privat): 0911 998877\n",
          "E-Mail (andere): lena@privat.example\n",
          "Anschrift (privat): Gartenweg 3, Hinterhaus, 90762 Fürth, Deutschland\n",
          "Webseite (privat): https://lena.example\n"}},
        {"csv/outlook.csv",
         "Köhler",
         {"Telefon: 0951 77-0\n", "Geburtstag: 29.02.1980\n", "Jahrestag: 21.06.2008\n",
          "Telefon (geschäftlich): 0951 77-123\nTelefon (privat): 0951 45678\n"
          "Telefon (andere): 0800 111\n",
          "E-Mail (andere): sabine.k@mail.example\n",
          "Anschrift (privat): Obere Sandstraße 7, 96049 Bamberg, Deutschland\n"}},
        {"csv/google.csv",
         "Mara Stein",
         {"Telefon: 0911 800-20\n", "Mobiltelefon: +49 170 1234567\n",
          "EMailAdresse: mara@stein.example\n", "Straße: -\n", "Geburtstag: 03.05.\n",
          "Jahrestag: 22.08.2015\n", "Titel: Physiotherapeutin\n",
          "Telefon (privat): 0911 5566\nTelefon (privat): 0911 5567\n",
          "E-Mail (privat): mara.stein@mail.example\nE-Mail (geschäftlich): "
          "m.stein@firma.example\n",
          "Anschrift (privat): Lindenallee 4, 90419 Nürnberg, Deutschland\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TestHome home;
        veltro::testing::makeStore(home.dir(), {"Kunden"}, {});
        const CliRun import = runCli(importArgs(home, testDataFile(c.file), "Kunden", {}));
        EXPECT_EQ(import.status, 0) << import.err.toStdString();
        EXPECT_TRUE(import.out.contains("-CSV-Datei erkannt; Weitere Angaben aus "));
        const CliRun show = runCli({"show", QString::fromStdString(home.dir().string()), c.card});
        for (const char* line : c.shown) {
            EXPECT_TRUE(show.out.contains(QString::fromUtf8(line)))
                << line << show.out.toStdString();
        }
    }
}

}  // namespace
