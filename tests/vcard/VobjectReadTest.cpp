#include "VcardFixture.h"

#include "vcard/VcardExport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// python3-vobject as an independent reader: it parses every card we export, and N, FN,
// TEL, EMAIL, ADR, NOTE, the dates, nicknames, titles, roles and photos must be what the cards
// hold.
namespace veltro::vcard {
namespace {

using namespace Qt::Literals::StringLiterals;

// Debian's interpreter, where the package installs vobject, before any other on the path.
QString python() {
    const QString system = u"/usr/bin/python3"_s;
    return QFileInfo(system).isExecutable() ? system : QStandardPaths::findExecutable(u"python3"_s);
}

QJsonArray readWithVobject(const QString& file) {
    QProcess process;
    process.start(python(), {QStringLiteral(VCARD_PEER_SCRIPT), file});
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(process.readAllStandardOutput()).array();
}

QJsonArray strings(const QStringList& texts) {
    return QJsonArray::fromStringList(texts);
}

struct Expected {
    QStringList n;
    QString fn;
    QJsonArray tel;
    QStringList email;
    QJsonArray adr;
    QString note;
};

TEST(VobjectReadTest, AnIndependentReaderUnderstandsEveryCard) {
    QProcess probe;
    probe.start(python(), {u"-c"_s, u"import vobject"_s});
    ASSERT_TRUE(probe.waitForFinished(60000) && probe.exitCode() == 0)
        << "python3-vobject fehlt; scripts/install-deps installiert es";
    const QString longNote = testing::exchangeLongNote();
    const Expected expected[] = {
        {{u"Müller"_s, u"Hans"_s, {}, u"Herr"_s, {}},
         u"Hans Müller"_s,
         {strings({u"home,voice"_s, u"0951 123456"_s}), strings({u"cell"_s, u"0171 2345678"_s}),
          strings({u"work,voice"_s, u"0951 2222"_s}), strings({u"cell"_s, u"0172 9"_s})},
         {u"hans.mueller@example.de"_s, u"h.mueller@firma.example"_s},
         {strings({u"Hauptstraße 12"_s, u"Bamberg"_s, u"96047"_s}),
          strings({u"Ring 1"_s, u"Bamberg"_s, u"96050"_s})},
         u"Rückruf bitte; dringend, sagt er.\nPfad C:\\Daten\\neu"_s},
        {{{}, {}, {}, {}, {}},
         u"Schäfer & Söhne, Bau; GmbH"_s,
         {strings({u"work,voice"_s, u"+49 911 445566"_s}),
          strings({u"work,fax"_s, u"0911 445567"_s})},
         {},
         {strings({u"Am Markt 1"_s, u"Nürnberg"_s, u"90402"_s})},
         longNote},
        {{u"Weber"_s, u"Anna"_s, {}, u"Dr."_s, {}},
         u"Anna Weber"_s,
         {strings({u"home,voice"_s, u"(089) 1234"_s})},
         {u"anna@example.org"_s},
         {},
         {}},
        {{u"Koch"_s, u"Eva"_s, {}, u"Frau"_s, {}},
         u"Eva Koch"_s,
         {strings({u"home,voice"_s, u"030 99 88 77"_s})},
         {},
         {},
         u"Zeile eins\nZeile zwei mit \\ Rückstrich"_s},
    };
    testing::TestHome home;
    testing::makeExchangeStore(home.dir());
    QTemporaryDir work;
    for (const Version version : {Version::V3, Version::V4}) {
        SCOPED_TRACE(version == Version::V3 ? "3.0" : "4.0");
        const QString file = work.filePath(u"karten.vcf"_s);
        ASSERT_EQ(exportToFile(home.storeFile(), file, {version, {}}).status,
                  exporting::ExportStatus::Written);
        const QJsonArray cards = readWithVobject(file);
        ASSERT_EQ(cards.size(), std::ssize(expected));
        for (qsizetype i = 0; i < cards.size(); ++i) {
            const auto card = cards[i].toObject();
            const Expected& e = expected[i];
            SCOPED_TRACE(e.fn.toStdString());
            EXPECT_EQ(card[u"n"_s].toArray(), strings(e.n));
            EXPECT_EQ(card[u"fn"_s].toString(), e.fn);
            EXPECT_EQ(card[u"tel"_s].toArray(), e.tel);
            EXPECT_EQ(card[u"email"_s].toArray(), strings(e.email));
            EXPECT_EQ(card[u"adr"_s].toArray(), e.adr);
            EXPECT_EQ(card[u"note"_s].toString(), e.note);
        }
        const auto hans = cards[0].toObject();
        const bool v3 = version == Version::V3;
        EXPECT_EQ(hans[u"dates"_s].toArray(), v3 ? strings({u"--02-29"_s, u"2001-12-31"_s})
                                                 : strings({u"--0229"_s, u"20011231"_s}));
        EXPECT_EQ(hans[u"names"_s].toArray(),
                  strings({u"Hansi"_s, u"Prokurist; Einkauf, Lager"_s, u"Kunde"_s}));
        if (v3) {  // vobject cuts a 4.0 data URI at its comma; our reader checks that one
            EXPECT_EQ(hans[u"photo"_s].toArray(), (QJsonArray{u"png"_s, 16}));
        }
    }
}

}  // namespace
}  // namespace veltro::vcard
