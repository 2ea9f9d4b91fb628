#include "CliRun.h"
#include "TestHome.h"

#include "store/CardStore.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace Qt::Literals::StringLiterals;
using veltro::testing::TestHome;
namespace store = veltro::store;
namespace support = veltro::testing;

int cliStatus(const QStringList& args) {
    return support::runCli(args).status;
}

QString vcardData(const char* name) {
    return QStringLiteral(VCARD_TEST_DATA "/") + QString::fromLatin1(name);
}

struct CliCase {
    const char* name;
    QStringList args;  // "DIR" and "OUT" stand for the store folder and a file in the work folder
    int status;
    std::int64_t cardsAfter;  // cards in the store afterwards (two to start with)
};

TEST(VcardCli, ImportAndExportCallsEndWithTheirStatus) {
    const CliCase cases[] = {
        {"vCard import",
         {u"import"_s, u"DIR"_s, vcardData("android-21-qp.vcf"), u"--category"_s, u"privat"_s},
         0,
         4},
        {"broken cards skipped",
         {u"import"_s, u"DIR"_s, vcardData("broken-middle.vcf"), u"--category"_s, u"Privat"_s},
         3,
         5},
        {"vCard into a new category",
         {u"import"_s, u"DIR"_s, vcardData("thunderbird-40.vcf"), u"--category"_s, u"Neu"_s},
         0,
         3},
        {"CSV without map or known columns",
         {u"import"_s, u"DIR"_s, u"OUT"_s, u"--category"_s, u"Privat"_s},
         2,
         2},
        {"vCard export", {u"export"_s, u"DIR"_s, u"OUT"_s, u"--vcard"_s}, 0, 2},
        {"vCard 4.0 of a category",
         {u"export"_s, u"DIR"_s, u"OUT"_s, u"--vcard"_s, u"--version"_s, u"4.0"_s, u"--category"_s,
          u"Privat"_s},
         0,
         2},
        {"unknown category",
         {u"export"_s, u"DIR"_s, u"OUT"_s, u"--vcard"_s, u"--category"_s, u"Fehlt"_s},
         1,
         2},
        // "-Alle-" in any case is every card to take from, never a category to put cards in.
        {"vCard export of all categories",
         {u"export"_s, u"DIR"_s, u"OUT"_s, u"--vcard"_s, u"--category"_s, u"-alle-"_s},
         0,
         2},
        {"vCard import into all categories",
         {u"import"_s, u"DIR"_s, vcardData("android-21-qp.vcf"), u"--category"_s, u"-ALLE-"_s},
         2,
         2},
        {"sync into all categories",
         {u"sync"_s, u"DIR"_s, u"--url"_s, u"http://127.0.0.1:9/"_s, u"--user"_s, u"u"_s,
          u"--category"_s, u"-alle-"_s},
         2,
         2},
        {"preset", {u"export"_s, u"DIR"_s, u"OUT"_s, u"--preset"_s, u"outlook"_s}, 0, 2},
        {"preset and vCard",
         {u"export"_s, u"DIR"_s, u"OUT"_s, u"--preset"_s, u"google"_s, u"--vcard"_s},
         2,
         2},
    };
    for (const CliCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestHome home;
        support::makeStore(home.dir(), {u"Privat"_s},
                           {{u"Anna"_s, u"Privat"_s}, {u"Berta"_s, u"Privat"_s}});
        QTemporaryDir work;
        const QString out = work.filePath(u"ausgabe.csv"_s);
        QFile plain(out);
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
        plain.write("Karte;Ort\r\nCarl;Hof\r\n");
        plain.close();
        QStringList args = c.args;
        args.replaceInStrings(u"DIR"_s, QString::fromStdString(home.dir().string()));
        args.replaceInStrings(u"OUT"_s, out);
        EXPECT_EQ(cliStatus(args), c.status);
        EXPECT_EQ(store::CardStore::open(home.storeFile()).cardCount(), c.cardsAfter);
    }
}

// What phones and mail programs write beyond the fields shows with the card.
TEST(VcardCli, FurtherEntriesDatesAndPhotosOfRealFilesShowWithTheCard) {
    const std::pair<const char*, QString> cases[] = {
        {"iphone-30-extras.vcf",
         u"Geburtstag: 14.07.\nSpitzname: Leni\nTitel: Geschäftsführerin\n"
         u"Foto: image/png, 74 Bytes\nTelefon (geschäftlich): 0951 445500\n"
         u"Telefon (andere): 0951 445501\nE-Mail (geschäftlich): l.hofmann@hofmann-design.example\n"
         u"Anschrift (geschäftlich): Lange Straße 20, 96047 Bamberg, Deutschland\n"_s},
        {"rfc6350-example.vcf", u"\nGeburtstag: 03.02.\nJahrestag: 08.08.2009\n"_s},
        {"android-21-qp.vcf", u"\nFoto: image/jpeg, 160 Bytes\n"_s},
    };
    for (const auto& [file, shown] : cases) {
        SCOPED_TRACE(file);
        TestHome home;
        support::makeStore(home.dir(), {u"Privat"_s}, {});
        const QString dir = QString::fromStdString(home.dir().string());
        ASSERT_EQ(cliStatus({u"import"_s, dir, vcardData(file), u"--category"_s, u"Privat"_s}), 0);
        const QString heading = support::runCli({u"list"_s, dir}).out.section(u'\n', 0, 0);
        const QString out = support::runCli({u"show"_s, dir, heading}).out;
        EXPECT_TRUE(out.endsWith(shown)) << out.toStdString();
    }
}

// A preset file of our own is recognised again without --map.
TEST(VcardCli, PresetExportsComeBackWithoutMap) {
    for (const QString& preset : {u"thunderbird"_s, u"outlook"_s, u"google"_s}) {
        SCOPED_TRACE(preset.toStdString());
        TestHome home;
        support::makeStore(home.dir(), {u"Privat"_s},
                           {{u"Müller Hans"_s,
                             u"Privat"_s,
                             {{store::Field::Vorname, u"Hans"_s},
                              {store::Field::Nachname, u"Müller"_s},
                              {store::Field::Ort, u"Fürth"_s},
                              {store::Field::EMailAdresse, u"hans@example.de"_s}}}});
        QTemporaryDir work;
        const QString file = work.filePath(u"p.csv"_s);
        const QString dir = QString::fromStdString(home.dir().string());
        ASSERT_EQ(cliStatus({u"export"_s, dir, file, u"--preset"_s, preset}), 0);
        ASSERT_EQ(cliStatus({u"import"_s, dir, file, u"--category"_s, u"Privat"_s}), 0);
        auto cardStore = store::CardStore::open(home.storeFile());
        ASSERT_EQ(cardStore.cardCount(), 2);
        const auto copy = cardStore.loadCard(2);
        ASSERT_TRUE(copy);
        EXPECT_EQ(copy->text(store::Field::Vorname), u"Hans");
        EXPECT_EQ(copy->text(store::Field::Ort), u"Fürth");
        EXPECT_EQ(copy->text(store::Field::EMailAdresse), u"hans@example.de");
    }
}

}  // namespace
