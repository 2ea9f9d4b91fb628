#include "CliRun.h"
#include "TestHome.h"

#include "store/CardFields.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QFile>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace Qt::Literals::StringLiterals;
using veltro::store::Database;

std::string cardColumns(std::string_view leftOut = {}) {
    std::string list;
    for (const auto name : veltro::store::kColumnNames) {
        if (name != leftOut) {
            list += (list.empty() ? "\"" : ", \"") + std::string(name) + "\" TEXT";
        }
    }
    return list;
}

// A store that export cannot read must say so and fail, never report "0 Karten exportiert".
TEST(CliExport, AStoreThatIsNotWhatItClaimsIsReportedAndFails) {
    const std::string rest =
        "CREATE TABLE tblAdrCfg (KategorieName TEXT);"
        "CREATE TABLE zKontakte (" +
        cardColumns() +
        ");"
        "CREATE TABLE ztblAdrCfg (KategorieName TEXT);";
    const struct {
        const char* name;
        std::string sql;
        int exitCode;
        const char* err;
    } cases[] = {
        {"sound",
         "CREATE TABLE Kontakte (" + cardColumns() + ");" + rest +
             "INSERT INTO Kontakte (Schlagworte, Notizen) VALUES ('Anna', 'Notiz');",
         0, ""},
        {"without Notizen",
         "CREATE TABLE Kontakte (" + cardColumns("Notizen") + ");" + rest +
             "INSERT INTO Kontakte (Schlagworte) VALUES ('Anna');",
         1, "Der Kartei fehlt die Spalte „Notizen“ in der Tabelle „Kontakte“."},
        {"Kontakte as a view",
         "CREATE TABLE Karten (" + cardColumns() + ");" + rest +
             "CREATE VIEW Kontakte AS SELECT * FROM Karten;"
             "INSERT INTO Karten (Schlagworte) VALUES ('Anna');",
         1, "In der Kartei ist „Kontakte“ eine Sicht, keine Tabelle."},
    };
    for (const auto& c : cases) {
        veltro::testing::TestHome home;
        {
            auto db = Database::open(home.storeFile(), Database::Mode::Create);
            for (const auto& statement : QString::fromStdString(c.sql).split(u';')) {
                if (!statement.isEmpty()) {
                    db.exec(statement.toStdString());
                }
            }
        }
        const QString target = QString::fromStdString((home.dir() / "karten.csv").string());
        const auto [status, out, err] = veltro::testing::runCli(
            {u"export"_s, QString::fromStdString(home.dir().string()), target});
        EXPECT_EQ(status, c.exitCode) << c.name << ": " << err.toStdString();
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.err))) << c.name << ": " << err.toStdString();
        EXPECT_EQ(out.contains(u"1 Karte nach"), c.exitCode == 0)
            << c.name << ": " << out.toStdString();
        EXPECT_EQ(QFile::exists(target), c.exitCode == 0) << c.name;
    }
}

}  // namespace
