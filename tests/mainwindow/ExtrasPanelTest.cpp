// "Weitere Angaben", the photo and the map links of the shown card: saved through the same gate
// as its fields, nothing typed lost, and refused input told in German.
#include "MainWindowFixture.h"
#include "StoreState.h"

#include "mainwindow/CardEditor.h"
#include "mainwindow/EntryList.h"
#include "mainwindow/ExtrasPanel.h"
#include "mainwindow/PhotoBox.h"
#include "search/SearchWindow.h"
#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/PendingEdit.h"
#include "store/Sqlite.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace veltro;
using platform::Answer;
using store::EntryKind;

namespace {

class ExtrasPanelTest : public veltro::testing::MainWindowFixture {
protected:
    void SetUp() override {
        open({QStringLiteral("Privat")}, {{QStringLiteral("Albers"), QStringLiteral("Privat")},
                                          {QStringLiteral("Bauer"), QStringLiteral("Privat")}});
        window().editor().setClock([this] { return now_; });
        clickLine(0);
        run("mnuWeitereAngaben");
    }
    [[nodiscard]] QLineEdit* line(const char* name) {
        return window().ui().extras->findChild<QLineEdit*>(QLatin1String(name));
    }
    [[nodiscard]] mainwindow::EntryList* list(EntryKind kind) {
        return window().ui().extras->findChild<mainwindow::EntryList*>(QStringLiteral("Eintraege") +
                                                                       store::kindName(kind));
    }
    // Adds an entry of the kind and types its text; the new entry has the focus.
    void addEntry(EntryKind kind, const QString& text) {
        for (auto* button : list(kind)->findChildren<QPushButton*>()) {
            if (button->text() == u"Hinzufügen") {
                button->click();
            }
        }
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    [[nodiscard]] store::CardExtras stored(const QString& heading) const {
        auto cards = store::CardStore::open(home_.storeFile());
        return store::loadCardExtras(cards.db(), *cards.findByHeading(heading));
    }

    std::chrono::steady_clock::time_point now_;
};

TEST_F(ExtrasPanelTest, TypedDetailsAreSavedWithTheFieldsAsOneStepToUndo) {
    ASSERT_TRUE(window().ui().WeitereAngaben->isVisible());
    type(box(8), QStringLiteral("Werft"));
    type(line("Spitzname"), QStringLiteral("Alb"));
    type(line("Geburtstag"), QStringLiteral("1.2.1980"));
    addEntry(EntryKind::Telefon, QStringLiteral("0171 5"));
    // A print shows what is typed, saved or not.
    EXPECT_EQ(window().editor().viewedExtras().entries.at(0).value, u"0171 5");
    // Tab leads from "Hinzufügen" into the entry and on through it.
    EXPECT_EQ(list(EntryKind::Telefon)->findChild<QPushButton*>()->nextInFocusChain(),
              QApplication::focusWidget()->previousInFocusChain());
    addEntry(EntryKind::Anschrift, QStringLiteral("Kai 3"));
    platform_->answers.push_back(Answer::Ok);
    for (auto* button : list(EntryKind::Anschrift)->findChildren<QPushButton*>()) {
        if (button->text() == u"Auf Karte zeigen") {
            button->click();
        }
    }
    EXPECT_EQ(
        platform_->openedUrls,
        std::vector{QUrl(QStringLiteral("https://www.openstreetmap.org/search?query=Kai%203"))});
    clickLine(1);  // the gate saves everything typed before the next card shows
    store::CardExtras saved = stored(QStringLiteral("Albers"));
    EXPECT_EQ(saved.nickname, QStringLiteral("Alb"));
    EXPECT_EQ(saved.birthday, (store::PartialDate{1980, 2, 1}));
    ASSERT_EQ(saved.entries.size(), 2U);
    EXPECT_EQ(saved.entries[0],
              store::Entry(EntryKind::Telefon, store::EntryType::Privat, QStringLiteral("0171 5")));
    EXPECT_EQ(saved.entries[1].value, QStringLiteral("Kai 3"));
    EXPECT_EQ(storedCard(QStringLiteral("Albers")).text(store::Field::Firma), u"Werft");
    EXPECT_TRUE(line("Spitzname")->text().isEmpty()) << "Bauer has none";

    clickLine(0);
    EXPECT_EQ(line("Geburtstag")->text(), QStringLiteral("01.02.1980"));
    EXPECT_EQ(list(EntryKind::Telefon)->entries(), std::vector{saved.entries[0]});
    run("mnuRueckgaengig");
    EXPECT_EQ(stored(QStringLiteral("Albers")), store::CardExtras());
    EXPECT_EQ(storedCard(QStringLiteral("Albers")).text(store::Field::Firma), QString());
    EXPECT_TRUE(line("Spitzname")->text().isEmpty());
}

// The search window finds a card by a further number that no heading holds.
TEST_F(ExtrasPanelTest, TheSearchWindowFindsACardByAFurtherNumber) {
    addEntry(EntryKind::Telefon, QStringLiteral("0171 555"));
    clickLine(1);
    window().bars().action(QStringLiteral("tbrSuchFenster"))->trigger();
    auto* search = search::SearchWindow::current();
    ASSERT_NE(search, nullptr);
    QTest::keyClicks(search->findChild<QLineEdit*>(), QStringLiteral("555"));
    QTRY_COMPARE(window().ui().List1->model()->rowCount(), 1);
    EXPECT_EQ(window().ui().List1->model()->index(0, 0).data().toString(), u"Albers");
    search->close();
}

// A day the calendar lacks is told and stays typed; the rest is saved, and the card stays
// shown until the date is mended.
TEST_F(ExtrasPanelTest, AnImpossibleDayIsToldAndKeptUntilMended) {
    type(line("Rolle"), QStringLiteral("Chefin"));
    type(line("Jahrestag"), QStringLiteral("31.04."));
    clickLine(1);
    EXPECT_TRUE(told(QStringLiteral("„31.04.“ gibt es im Kalender nicht")));
    EXPECT_EQ(line("Jahrestag")->text(), QStringLiteral("31.04."));
    EXPECT_EQ(window().ui().List1->currentIndex().row(), 0);
    EXPECT_EQ(stored(QStringLiteral("Albers")).role, QStringLiteral("Chefin"));
    EXPECT_FALSE(stored(QStringLiteral("Albers")).anniversary.has_value());
    ASSERT_TRUE(store::readPendingEdit(home_.storeFile()).has_value());

    now_ += std::chrono::seconds(1);
    line("Jahrestag")->setText(QStringLiteral("30.04."));
    clickLine(1);
    EXPECT_EQ(window().ui().List1->currentIndex().row(), 1);
    EXPECT_EQ(stored(QStringLiteral("Albers")).anniversary, (store::PartialDate{0, 4, 30}));
    EXPECT_FALSE(store::readPendingEdit(home_.storeFile()).has_value());
}

// A store that refuses the write is told in German; what was typed stays and is saved later.
TEST_F(ExtrasPanelTest, ARefusingStoreIsToldAndTheDetailsStayTyped) {
    const veltro::testing::BriefBusyWait brief;
    window().cardStore()->db().setBusyTimeout(20);
    auto other = store::Database::open(home_.storeFile());
    other.exec("BEGIN IMMEDIATE");
    type(line("Spitzname"), QStringLiteral("Alb"));
    EXPECT_FALSE(window().editor().commit());
    EXPECT_TRUE(told(QStringLiteral("„Albers“ sind nicht gespeichert")));
    EXPECT_EQ(line("Spitzname")->text(), QStringLiteral("Alb"));
    other.exec("ROLLBACK");
    now_ += std::chrono::seconds(1);
    EXPECT_TRUE(window().editor().commit());
    EXPECT_EQ(stored(QStringLiteral("Albers")).nickname, QStringLiteral("Alb"));
}

// An end that leaves no time to save: the details typed wait beside the store and come back
// at the next start; an entry removed is saved at once.
TEST_F(ExtrasPanelTest, TypedDetailsOutliveAnEndWithoutSavingAndRemovalsSaveAtOnce) {
    addEntry(EntryKind::EMail, QStringLiteral("a@b.de"));
    addEntry(EntryKind::EMail, QStringLiteral("c@d.de"));
    focus(line("Titel"));
    ASSERT_EQ(stored(QStringLiteral("Albers")).entries.size(), 2U);
    list(EntryKind::EMail)->findChildren<QToolButton*>().front()->click();
    QApplication::processEvents();
    EXPECT_EQ(stored(QStringLiteral("Albers")).entries.front().value, QStringLiteral("c@d.de"));

    QTest::keyClicks(line("Titel"), QStringLiteral("Dr."));
    window().editor().keepPendingNow();
    window_.reset();  // as a kill would leave it
    EXPECT_TRUE(stored(QStringLiteral("Albers")).title.isEmpty());
    platform_->answers.push_back(Answer::Yes);
    openExisting();
    QCoreApplication::processEvents();
    EXPECT_EQ(stored(QStringLiteral("Albers")).title, QStringLiteral("Dr."));
    EXPECT_FALSE(store::readPendingEdit(home_.storeFile()).has_value());
}

QByteArray picture(const char* format, QSize size = {300, 400}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A photo is kept byte for byte as it came and shown scaled with its shape; other formats,
// broken pictures and files above the limit are refused in German and change nothing.
TEST_F(ExtrasPanelTest, APhotoIsKeptAsItCameAndShownScaledWhileOthersAreRefused) {
    auto* photo = window().ui().Foto;
    const auto paste = [&](const QByteArray& bytes) {
        auto* data = new QMimeData();
        data->setData(QStringLiteral("image/png"), bytes);
        QApplication::clipboard()->setMimeData(data);
        focus(photo);
        QTest::keyClick(photo, Qt::Key_V, Qt::ControlModifier);
        QTRY_VERIFY(photo->settled());
    };
    const QByteArray png = picture("PNG");
    paste(png);
    EXPECT_EQ(stored(QStringLiteral("Albers")).photo,
              (store::Photo{png, QStringLiteral("image/png")}));
    EXPECT_EQ(photo->pixmap().size(), QSize(54, 72));

    QByteArray broken = png;
    broken.truncate(60);
    QByteArray huge = png;
    huge.resize(mainwindow::kLargestPhotoBytes + 1);
    for (const auto& [bytes, said] :
         {std::pair{picture("BMP"), "kein Foto im Format PNG oder JPEG"},
          std::pair{broken, "beschädigt"}, std::pair{huge, "höchstens 6 MB"}}) {
        platform_->messages.clear();
        paste(bytes);
        EXPECT_TRUE(told(QString::fromUtf8(said))) << said;
        EXPECT_EQ(stored(QStringLiteral("Albers")).photo->bytes, png) << said;
    }

    const QString file = QString::fromStdString((home_.dir() / "foto.jpg").string());
    ASSERT_TRUE(QImage(160, 80, QImage::Format_RGB32).save(file, "JPEG"));
    QMimeData dropped;  // a file dropped from a file manager
    dropped.setUrls({QUrl::fromLocalFile(file)});
    QFile jpeg(file);
    ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
    EXPECT_EQ(mainwindow::PhotoBox::offeredBytes(dropped), jpeg.readAll());
    platform_->files.emplace_back(platform::FileResult{file, 0});
    Q_EMIT photo->chooseWanted();
    QTRY_VERIFY(photo->settled());
    EXPECT_EQ(stored(QStringLiteral("Albers")).photo->mediaType, QStringLiteral("image/jpeg"));
    EXPECT_EQ(photo->pixmap().size(), QSize(72, 36));

    clickLine(1);
    EXPECT_TRUE(photo->pixmap().isNull());
    clickLine(0);
    focus(photo);
    QTest::keyClick(photo, Qt::Key_Delete);
    EXPECT_FALSE(stored(QStringLiteral("Albers")).photo.has_value());
    EXPECT_TRUE(photo->pixmap().isNull());
}

}  // namespace
