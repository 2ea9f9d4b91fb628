#include "CliRun.h"
#include "SyncFixture.h"

#include "backup/BackupFiles.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::Literals::StringLiterals;
using veltro::store::Field;

class SyncCli : public veltro::testing::SyncFixture {
protected:
    int cli(const QStringList& args, const QString& password = u"geheim"_s) {
        const auto run = veltro::testing::runCli(
            QStringList{u"sync"_s, QString::fromStdString(home_.dir().string())} + args,
            {{u"VELTRO_CARDDAV_PASSWORD"_s, password}});
        errors_ = run.err;
        return run.status;
    }
    QString errors_;
};

TEST_F(SyncCli, ChoosesTheBookAndEndsWithTheStatusOfEveryOtherCommand) {
    addCards({{u"Bauer Anna"_s, u"Arbeit"_s, {{Field::Nachname, u"Bauer"_s}}}});
    server_->addBook(u"zweites%1"_s.arg(book_.path().section(u'/', -2, -2)), u"Zweites"_s);
    const QStringList server = {u"--url"_s,      server_->root().toString(),
                                u"--user"_s,     u"anna"_s,
                                u"--category"_s, u"Arbeit"_s};
    EXPECT_EQ(cli(server), 2) << "several books and no --book";
    EXPECT_TRUE(errors_.contains(u"--book"_s)) << errors_.toStdString();
    EXPECT_EQ(cli(server + QStringList{u"--book"_s, u"Gibtsnicht"_s}), 2);
    EXPECT_EQ(cli(server + QStringList{u"--book"_s, u"Zweites"_s}, u"falsch"_s), 1);
    EXPECT_TRUE(errors_.contains(u"401"_s)) << errors_.toStdString();
    EXPECT_EQ(cli(server + QStringList{u"--book"_s, u"Zweites"_s}), 0) << errors_.toStdString();
    EXPECT_EQ(cli({u"--url"_s, server_->root().toString()}), 2) << "user and category missing";
    // The book's own address is used as it is, however it is spelled.
    const QStringList privat = {u"--user"_s, u"anna"_s, u"--category"_s, u"Privat"_s};
    EXPECT_EQ(cli(QStringList{u"--url"_s, book_.toString()} + privat), 0) << errors_.toStdString();
    EXPECT_EQ(cli(QStringList{u"--url"_s, book_.toString().chopped(1)} + privat), 0)
        << errors_.toStdString();
    EXPECT_EQ(veltro::sync::pairings(openStore().db()).size(), 2U) << "one pairing per book";
}

TEST_F(SyncCli, BacksUpBeforeChangingCardsAndDeletesManyOnlyWhenAllowed) {
    std::vector<veltro::testing::GivenCard> many;
    for (int i = 0; i < 12; ++i) {
        many.push_back({u"Karte %1"_s.arg(i), u"Privat"_s, {{Field::Nachname, u"Karte"_s}}});
    }
    addCards(many);
    server_->put(book_, book_.path() + u"zorn.vcf"_s,
                 veltro::testing::serverCard(u"Zorn"_s, u"Eva"_s));
    const QStringList args = {u"--url"_s, book_.toString(), u"--user"_s,
                              u"anna"_s,  u"--category"_s,  u"Privat"_s};
    ASSERT_EQ(cli(args), 0) << errors_.toStdString();
    EXPECT_EQ(veltro::backup::listBackups(veltro::backup::backupFolder(home_.storeFile())).size(),
              1U);
    {
        auto cards = openStore();
        for (int i = 0; i < 12; ++i) {
            cards.deleteCard(*cards.findByHeading(u"Karte %1"_s.arg(i)));
        }
    }
    EXPECT_EQ(cli(args), 1);
    EXPECT_TRUE(errors_.contains(u"--allow-deletes"_s)) << errors_.toStdString();
    EXPECT_EQ(server_->count(book_), 13);
    EXPECT_EQ(cli(args + QStringList{u"--allow-deletes"_s}), 0) << errors_.toStdString();
    EXPECT_EQ(server_->count(book_), 1);
}

}  // namespace
