#include "MainWindowFixture.h"
#include "RadicaleServer.h"

#include "store/CardStore.h"
#include "sync/SyncDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

namespace {

using namespace Qt::Literals::StringLiterals;
using veltro::platform::Answer;
using veltro::store::Field;
using veltro::testing::RadicaleServer;

class SyncWindow : public veltro::testing::MainWindowFixture {
protected:
    void SetUp() override {
        if (!RadicaleServer::installed()) {
            GTEST_SKIP() << "Radicale ist nicht installiert (scripts/install-deps installiert es).";
        }
        server_ = std::make_unique<RadicaleServer>();
        ASSERT_TRUE(server_->running());
        book_ = server_->addBook(u"kontakte"_s, u"Kontakte"_s);
        server_->put(book_, book_.path() + u"zorn.vcf"_s,
                     "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:zorn\r\nN:Zorn;Eva;;;\r\nFN:Eva Zorn\r\n"
                     "END:VCARD\r\n");
    }
    template <typename W>
    W* child(const char* name) {
        auto* found = window().findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    std::unique_ptr<RadicaleServer> server_;
    QUrl book_;
};

TEST_F(SyncWindow, SavesTheShownCardFirstPairsABookAndSaysSoAtExit) {
    open({u"Privat"_s}, {{u"Bauer Anna"_s,
                          u"Privat"_s,
                          {{Field::Nachname, u"Bauer"_s}, {Field::Vorname, u"Anna"_s}}}});
    chooseCategory(u"Privat"_s);
    clickLine(0);
    focus(box(8));
    QTest::keyClicks(box(8), u"Tischlerei"_s);

    window().syncDialog().showDialog();
    child<QLineEdit>("txtServer")->setText(server_->root().toString());
    child<QLineEdit>("txtBenutzer")->setText(QLatin1String(RadicaleServer::kUser));
    child<QLineEdit>("txtPasswort")->setText(QLatin1String(RadicaleServer::kPassword));
    window().syncDialog().findBooks();
    auto* books = child<QTreeWidget>("lstAdressbuecher");
    ASSERT_EQ(books->topLevelItemCount(), 1);
    QTreeWidgetItem* row = books->topLevelItem(0);
    EXPECT_EQ(row->text(0), u"Kontakte"_s);
    row->setCheckState(0, Qt::Checked);
    qobject_cast<QComboBox*>(books->itemWidget(row, 1))->setCurrentText(u"Privat"_s);
    window().syncDialog().syncNow();

    const QString report = child<QPlainTextEdit>("txtBericht")->toPlainText();
    EXPECT_TRUE(report.contains(u"1 Karten vom Server übernommen, 1 zum Server gesendet"_s))
        << report.toStdString();
    EXPECT_TRUE(platform_->messages.empty());
    EXPECT_EQ(listLines(), (QStringList{u"Bauer Anna"_s, u"Zorn Eva"_s}));
    bool typedReachedServer = false;
    const QJsonObject cards = server_->cards(book_);
    for (auto it = cards.begin(); it != cards.end(); ++it) {
        typedReachedServer =
            typedReachedServer ||
            it.value().toObject().value(u"text"_s).toString().contains(u"Tischlerei"_s);
    }
    EXPECT_TRUE(typedReachedServer);

    platform_->answers.push_back(Answer::No);
    EXPECT_TRUE(window().close());
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_TRUE(platform_->messages[0].text.endsWith(
        u"\n\nBereits synchronisierte Änderungen bleiben auf dem Server."_s));
}

}  // namespace
