// A vCard file dropped onto the main window lands in the shown category, after a question.
#include "MainWindowFixture.h"
#include "store/CardStore.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

using namespace veltro;
using platform::Answer;
using veltro::testing::MainWindowFixture;

namespace {

class VcardDrop : public MainWindowFixture {
protected:
    // What a drop of the file runs.
    void drop(const QString& path) {
        window().importVcard(path);
        window().session().finishWork();
        QApplication::processEvents();
    }
    QString writeVcf() {
        const QString path = files_.filePath(QStringLiteral("kontakte.vcf"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:G\xC3\xBCnther;Eva;;;\r\nFN:Eva G\xC3\xBCnther\r\n"
            "TEL;TYPE=cell:0171 2233445\r\nEND:VCARD\r\n");
        return path;
    }
    QTemporaryDir files_;
};

TEST_F(VcardDrop, ImportsIntoTheShownCategoryAfterAQuestion) {
    open({QStringLiteral("Privat")}, {{QStringLiteral("Anna"), QStringLiteral("Privat")}});
    chooseCategory(QStringLiteral("Privat"));
    const QString path = writeVcf();
    platform_->answers = {Answer::No};
    drop(path);
    EXPECT_EQ(listLines(), QStringList{"Anna"});
    platform_->answers = {Answer::Yes};
    drop(path);
    EXPECT_EQ(listLines(), (QStringList{"Anna", "Günther Eva"}));
    EXPECT_TRUE(platform_->messages.back().text.startsWith(u"1 Karte importiert"));
    EXPECT_TRUE(window().changeFlag());
}

TEST_F(VcardDrop, AllCategoriesIsNoPlaceToImportInto) {
    open({QStringLiteral("Privat")}, {{QStringLiteral("Anna"), QStringLiteral("Privat")}});
    drop(writeVcf());
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_TRUE(platform_->messages[0].text.startsWith(u"Wählen Sie bitte zuerst"));
    EXPECT_EQ(listLines(), QStringList{"Anna"});
}

// "Öffnen mit" of a file manager: the file the program was started with.
TEST_F(VcardDrop, AnOpenedFileGoesIntoTheShownCategoryOrTheOneChosenNext) {
    open({QStringLiteral("Privat")}, {{QStringLiteral("Anna"), QStringLiteral("Privat")}});
    const QString path = writeVcf();
    window().openVcardFile(path);
    window().session().finishWork();
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_TRUE(platform_->messages[0].text.startsWith(u"Wählen Sie bitte eine Kategorie aus"));
    EXPECT_EQ(listLines(), QStringList{"Anna"});

    platform_->answers = {Answer::Yes};
    QComboBox* selector = window().ui().Combo1;
    selector->setCurrentIndex(selector->findText(QStringLiteral("Privat")));
    Q_EMIT selector->activated(selector->currentIndex());
    window().session().finishWork();
    QApplication::processEvents();
    EXPECT_EQ(listLines(), (QStringList{"Anna", "Günther Eva"}));

    // Done once: choosing a category again imports nothing more.
    Q_EMIT selector->activated(selector->currentIndex());
    QApplication::processEvents();
    EXPECT_EQ(listLines(), (QStringList{"Anna", "Günther Eva"}));

    // The import shows "-Alle-" afterwards; with a category shown it goes straight in.
    chooseCategory(QStringLiteral("Privat"));
    platform_->answers = {Answer::Yes};
    window().openVcardFile(path);
    window().session().finishWork();
    QApplication::processEvents();
    EXPECT_EQ(listLines(), (QStringList{"Anna", "Günther Eva", "Günther Eva_1"}));
}

// A file that is no vCard, or none at all, is refused at once: no question, no backup, no
// change to the run.
TEST_F(VcardDrop, AnOpenedFileThatIsNoVcardIsRefusedWithNothingDone) {
    open({QStringLiteral("Privat")}, {{QStringLiteral("Anna"), QStringLiteral("Privat")}});
    chooseCategory(QStringLiteral("Privat"));
    const QString text = files_.filePath(QStringLiteral("brief.vcf"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Sehr geehrte Damen und Herren,\n");
    file.close();
    for (const QString& path : {text, files_.filePath(QStringLiteral("fehlt.vcf"))}) {
        platform_->messages.clear();
        platform_->answers = {Answer::Yes};
        window().openVcardFile(path);
        window().session().finishWork();
        QApplication::processEvents();
        ASSERT_EQ(platform_->messages.size(), 1U);
        EXPECT_TRUE(platform_->messages[0].text.endsWith(u"es wird nichts importiert."))
            << platform_->messages[0].text.toStdString();
    }
    EXPECT_TRUE(platform_->messages[0].text.contains(u"gibt es nicht"));
    EXPECT_EQ(listLines(), QStringList{"Anna"});
    EXPECT_FALSE(window().changeFlag());
    EXPECT_FALSE(std::filesystem::exists(home_.dir() / "Sicherungen"));
}

}  // namespace

namespace {

// The name typed into the shown card and not yet saved when a vCard comes in.
constexpr int kFirstNameBox = 2;

store::Card storedAnna(const std::filesystem::path& storeFile) {
    auto cards = store::CardStore::open(storeFile);
    return cards.loadCard(*cards.findByHeading(u"Anna")).value_or(store::Card{});
}

// A store that refuses the new cards: the user is told in German, no card of the file is
// left behind, and the edit made before stays.
TEST_F(VcardDrop, AStoreThatRefusesTheCardsIsToldAndKeepsWhatWasThere) {
    open({QStringLiteral("Privat")}, {{QStringLiteral("Anna"), QStringLiteral("Privat")}});
    chooseCategory(QStringLiteral("Privat"));
    clickLine(0);
    {
        auto other = store::CardStore::open(home_.storeFile());
        other.db().exec(
            "CREATE TRIGGER Voll BEFORE INSERT ON Kontakte BEGIN "
            "SELECT RAISE(ABORT, 'kein Platz'); END");
    }
    type(box(kFirstNameBox), QStringLiteral("Annegret"));
    platform_->answers = {Answer::Yes};
    window().openVcardFile(writeVcf());
    window().session().finishWork();
    QApplication::processEvents();
    ASSERT_FALSE(platform_->messages.empty());
    EXPECT_TRUE(platform_->messages.back().text.contains(u"konnte nicht ausgeführt werden"))
        << platform_->messages.back().text.toStdString();
    auto cards = store::CardStore::open(home_.storeFile());
    EXPECT_EQ(cards.cardCount(), 1);
    EXPECT_EQ(storedAnna(home_.storeFile()).text(store::Field::Vorname), u"Annegret");
    EXPECT_EQ(listLines(), QStringList{"Anna"});
    // The import's own triggers are back: a card made now still gets its identity.
    auto identities = cards.db().prepare("SELECT count(*) FROM KartenInfo");
    ASSERT_TRUE(identities.step());
    EXPECT_EQ(identities.integer(0), 1);
    EXPECT_TRUE(
        cards.db().prepare("SELECT 1 FROM sqlite_master WHERE name = 'KartenInfoNeu'").step());
}

}  // namespace
