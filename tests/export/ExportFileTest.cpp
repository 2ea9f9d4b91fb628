#include "ExportFixture.h"
#include "TestHome.h"
#include "export/ExportFile.h"
#include "store/CardStore.h"
#include "store/SampleCards.h"
#include "store/Schema.h"

#include <QDir>
#include <QStringDecoder>

#include <gtest/gtest.h>

namespace veltro::exporting {
namespace {

using testing::expectedFile;
using testing::fileBytes;

QByteArray utf8WithBom(const QByteArray& windows1252) {
    QStringDecoder decoder("windows-1252");
    const QString text = decoder(windows1252);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

class ExportFileTest : public ::testing::Test {
protected:
    void SetUp() override { testing::makeExportStore(home.dir()); }
    [[nodiscard]] QString target(const char* name) const {
        return QString::fromStdString((home.dir() / name).string());
    }
    testing::TestHome home;
};

TEST_F(ExportFileTest, WritesTheDocumentedBytes) {
    using F = ExportFormat;
    using E = TextEncoding;
    const QByteArray commaPlain = expectedFile(QStringLiteral("comma_plain.csv"));
    const struct {
        const char* what;
        ExportOptions options;
        QByteArray expected;
    } cases[] = {
        {"comma, plain text, quote doubled, record over two lines",
         {F::Csv, QStringLiteral(","), false, E::Windows1252},
         commaPlain},
        {"first character of \";x\", RTF kept",
         {F::Csv, *separatorFromText(u";x"), true, E::Windows1252},
         expectedFile(QStringLiteral("semicolon_rtf.csv"))},
        {"text export: tab, 17 columns although RTF is ticked",
         {F::Text, kTabSeparator, true, E::Windows1252},
         expectedFile(QStringLiteral("tab_text.txt"))},
        {"UTF-8 with byte-order mark",
         {F::Csv, QStringLiteral(","), false, E::Utf8WithBom},
         utf8WithBom(commaPlain)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(c.expected.isEmpty());
        const auto result = exportToFile(home.storeFile(), target("out"), c.options);
        ASSERT_EQ(result.status, ExportStatus::Written) << result.error.toStdString();
        EXPECT_EQ(result.summary.cards, 2);
        EXPECT_EQ(fileBytes(target("out")).toStdString(), c.expected.toStdString());
    }
}

// Whatever goes wrong before the export is complete, an existing file stays as it was.
TEST_F(ExportFileTest, LeavesTheTargetAloneUnlessComplete) {
    testing::TestHome empty;
    store::createEmptyStore(empty.dir());
    const ProgressCallback stop = [](auto, auto) { return false; };
    const struct {
        const char* what;
        std::filesystem::path store;
        const char* target;
        ProgressCallback progress;
        ExportStatus status;
    } cases[] = {
        {"no card", empty.storeFile(), "old.csv", {}, ExportStatus::NoCard},
        {"cancelled", home.storeFile(), "old.csv", stop, ExportStatus::Cancelled},
        {"no store", home.dir() / "fehlt.mdb", "old.csv", {}, ExportStatus::Failed},
        {"no directory", home.storeFile(), "fehlt/out.csv", {}, ExportStatus::Failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(testing::writeBytes(target("old.csv"), "alter Inhalt"));
        const auto result = exportToFile(c.store, target(c.target), {}, c.progress);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.status == ExportStatus::Failed, !result.error.isEmpty());
        EXPECT_EQ(fileBytes(target("old.csv")), "alter Inhalt");
    }
    EXPECT_EQ(QDir(home.dir()).entryList(QDir::Files).size(), 2);  // store and old.csv
}

// Progress comes between batches, and the store is free then: the main window may save a
// card while the export runs.
TEST(ExportProgressTest, ReportsBatchesAndLeavesTheStoreWritable) {
    testing::TestHome home;
    store::SampleSet set{{QStringLiteral("Privat")}, {}};
    for (int i = 0; i < 1201; ++i) {
        store::Card card;
        card.set(store::Field::Schlagworte, QStringLiteral("Karte %1").arg(i));
        set.cards.push_back(card);
    }
    store::writeSampleStore(home.dir(), set);
    auto mainWindowStore = store::CardStore::open(home.storeFile());
    const auto lastCard = mainWindowStore.findByHeading(u"Karte 1200");
    ASSERT_TRUE(lastCard);

    std::vector<std::pair<std::int64_t, std::int64_t>> calls;
    const QString target = QString::fromStdString((home.dir() / "out.csv").string());
    const auto result = exportToFile(home.storeFile(), target, {}, [&](auto done, auto total) {
        calls.emplace_back(done, total);
        mainWindowStore.writeFields(*lastCard, {{store::Field::Ort, QStringLiteral("Hof")}});
        return true;
    });
    ASSERT_EQ(result.status, ExportStatus::Written) << result.error.toStdString();
    const decltype(calls) expected = {{500, 1201}, {1000, 1201}, {1201, 1201}};
    EXPECT_EQ(calls, expected);
    const QByteArray file = fileBytes(target);
    EXPECT_EQ(file.count("\r\n"), 1202);
    EXPECT_TRUE(file.contains("\"Karte 1200\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"Hof\""));
}

}  // namespace
}  // namespace veltro::exporting
