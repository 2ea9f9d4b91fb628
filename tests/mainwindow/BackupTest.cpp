// The program's backups before changes, and a backup put back in place from the menu.
#include "MainWindowFixture.h"
#include "StoreState.h"

#include "backup/BackupFiles.h"
#include "backup/BackupWriter.h"
#include "maintenance/RestoreDialog.h"
#include "mainwindow/MainMenus.h"
#include "session/Backups.h"
#include "store/BusyTimeouts.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

#include <fstream>

using namespace veltro;
using platform::Answer;
using veltro::testing::MainWindowFixture;
namespace fs = std::filesystem;

namespace {

class Backups : public MainWindowFixture {
protected:
    void openSample() {
        open({QStringLiteral("Privat"), QStringLiteral("Firma")},
             {{QStringLiteral("Meier"), QStringLiteral("Privat")},
              {QStringLiteral("Bau AG"), QStringLiteral("Firma")}});
        window().backups().setClock([this] { return now_; });
    }
    std::vector<backup::BackupFile> made() {
        window().backups().wait();
        QApplication::processEvents();
        return backup::listBackups(backup::backupFolder(home_.storeFile()));
    }
    void newCard(const char* heading) {
        chooseCategory(QStringLiteral("Privat"));
        platform_->inputs.push_back(QString::fromUtf8(heading));
        run("mnuNeuekarte");
    }
    QString statusLine() const { return window_->ui().StatusBar1->currentMessage(); }

    QDateTime now_{QDate(2026, 12, 7), QTime(9, 30)};
};

TEST_F(Backups, TheFirstChangeOfTheRunIsBackedUpThenOnceADayAndBeforeCategoryChanges) {
    openSample();
    QStringList before;
    {
        auto db = store::Database::open(home_.storeFile());
        before = veltro::testing::exactTables(db);
    }
    EXPECT_TRUE(made().empty());  // starting is no change
    newCard("Erste");
    auto backups = made();
    ASSERT_EQ(backups.size(), 1U);
    EXPECT_EQ(backups[0].path.filename(), "Kartix-2026-12-07-0930.mdb");
    {
        auto copy = store::Database::open(backups[0].path);
        EXPECT_EQ(veltro::testing::exactTables(copy), before);
    }
    EXPECT_EQ(statusLine(), QStringLiteral("Sicherung angelegt: Kartix-2026-12-07-0930.mdb"));

    now_ = now_.addSecs(3600);
    newCard("Zweite");
    EXPECT_EQ(made().size(), 1U);

    chooseCategory(QStringLiteral("Firma"));
    platform_->answers.push_back(Answer::Yes);
    run("mnuKategorieLoschen");
    EXPECT_EQ(made().size(), 2U);

    now_ = now_.addDays(1);
    newCard("Dritte");
    EXPECT_EQ(made().size(), 3U);
}

TEST_F(Backups, ABackupThatFailsIsSaidAndTheCommandStillRuns) {
    openSample();
    std::ofstream(backup::backupFolder(home_.storeFile())) << "kein Ordner";
    newCard("Trotzdem");
    EXPECT_TRUE(made().empty());
    EXPECT_TRUE(
        statusLine().startsWith(u"Die Sicherung der Kartei ist misslungen; Ihre Arbeit "
                                u"geht weiter."))
        << statusLine().toStdString();
    EXPECT_TRUE(window().cardStore()->findByHeading(u"Trotzdem").has_value());
    EXPECT_TRUE(platform_->messages.empty());
}

TEST_F(Backups, ABackupIsShownReadOnlyAndPutInPlaceAfterAQuestion) {
    openSample();
    newCard("Später");  // backs up the store with Meier and Bau AG only
    ASSERT_EQ(made().size(), 1U);
    now_ = now_.addSecs(60);

    QTimer::singleShot(0, [this] {
        auto* dialog = qobject_cast<maintenance::RestoreDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("Sicherungen"));
        ASSERT_EQ(list->topLevelItemCount(), 1);
        EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("07.12.2026"));
        EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("09:30"));
        EXPECT_EQ(list->topLevelItem(0)->text(2), QStringLiteral("2"));
        auto* cards = dialog->findChild<QListWidget*>(QStringLiteral("SicherungKarten"));
        ASSERT_EQ(cards->count(), 2);
        EXPECT_EQ(cards->item(0)->text(), QStringLiteral("Bau AG"));
        cards->setCurrentRow(1);
        auto* heading = dialog->findChild<QLineEdit*>(QStringLiteral("SicherungSchlagworte"));
        EXPECT_EQ(heading->text(), QStringLiteral("Meier"));
        EXPECT_TRUE(heading->isReadOnly());
        platform_->answers.push_back(Answer::No);
        dialog->Wiederherstellen_Click();
        EXPECT_TRUE(dialog->isVisible());
        platform_->answers.push_back(Answer::Yes);
        dialog->Wiederherstellen_Click();
    });
    run("mnuSicherungWiederherstellen");
    window().session().finishWork();

    EXPECT_EQ(listLines(), (QStringList{"Bau AG", "Meier"}));
    EXPECT_FALSE(window().cardStore()->findByHeading(u"Später").has_value());
    EXPECT_FALSE(window().menus().action(QStringLiteral("mnuRueckgaengig"))->isEnabled());
    const auto backups = made();
    ASSERT_EQ(backups.size(), 2U);
    EXPECT_TRUE(
        statusLine().endsWith(QString::fromStdString(backups[0].path.filename().string()) + u'.'))
        << statusLine().toStdString();
    EXPECT_TRUE(store::CardStore::openForReading(backups[0].path).findByHeading(u"Später"));

    // "Nein" at exit cannot undo the restore, and the question says so.
    platform_->messages.clear();
    platform_->answers = {Answer::No};
    EXPECT_TRUE(window().close());
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_TRUE(platform_->messages[0].text.contains(
        QStringLiteral("Die wiederhergestellte Sicherung bleibt; „Nein“ verwirft nur, was seither "
                       "geändert wurde. Die Kartei von vorher liegt als %1")
            .arg(QString::fromStdString(backups[0].path.filename().string()))))
        << platform_->messages[0].text.toStdString();
    auto after = store::CardStore::open(home_.storeFile());
    EXPECT_FALSE(after.findByHeading(u"Später").has_value());
    EXPECT_TRUE(after.findByHeading(u"Meier").has_value());
}

}  // namespace
