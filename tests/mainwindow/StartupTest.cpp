#include "MainWindowFixture.h"
#include "StoreState.h"

#include "mainwindow/Program.h"
#include "mainwindow/SplashWindow.h"
#include "richtext/RichTextBlock.h"
#include "store/SampleCards.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"
#include "store/Sqlite.h"

#include <QApplication>
#include <QComboBox>
#include <QScreen>
#include <QTest>

using namespace veltro;
using veltro::testing::MainWindowFixture;
namespace key = veltro::settings::key;

namespace {

using Startup = MainWindowFixture;

TEST_F(Startup, AnEmptyStoreShowsNoCardsAndOnlyAll) {
    auto& w = open({}, {});
    EXPECT_EQ(panel(2), QStringLiteral("Karten: 0/0"));
    ASSERT_EQ(w.ui().Combo1->count(), 1);
    EXPECT_EQ(w.ui().Combo1->itemText(0), QStringLiteral("-Alle-"));
    EXPECT_TRUE(listLines().isEmpty());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Veltro Adressbuch   V1.0.0"));
}

TEST_F(Startup, TheDemoStoreFillsTheListSortedAndShowsTheFirstCard) {
    store::writeSampleStore(home_.dir(), store::demoCards());
    auto& w = openExisting();
    const QStringList lines = listLines();
    ASSERT_EQ(lines.size(), 40);
    EXPECT_EQ(lines.front(), QStringLiteral("Autohaus Wagner"));
    EXPECT_EQ(lines[1], QStringLiteral("Bäckerei Schmitt"));  // German order: ä with a
    EXPECT_EQ(panel(2), QStringLiteral("Karten: 40/40"));
    EXPECT_EQ(panel(3), QStringLiteral("Kategorie: Geschäftlich"));
    EXPECT_EQ(w.ui().Combo1->count(), 5);
    EXPECT_EQ(box(8)->text(), QStringLiteral("Autohaus Wagner GmbH"));
    EXPECT_TRUE(w.ui().RichTextBox1->toPlainText().contains(u"Memmelsdorfer"));
}

// The engine's English stays out; the German reason tells what is wrong.
TEST_F(Startup, AMissingStoreEndsWithItsReasonInGerman) {
    window_ = std::make_unique<mainwindow::MainWindow>();
    EXPECT_FALSE(window_->Form_Load());
    ASSERT_EQ(platform_->messages.size(), 1U);
    const QString& text = platform_->messages[0].text;
    EXPECT_TRUE(text.contains(u"Die Kartei oder ihr Verzeichnis fehlt.")) << text.toStdString();
    EXPECT_FALSE(text.contains(u"unable to open")) << text.toStdString();
}

TEST_F(Startup, ASecondCopyOnTheSameDataIsRefusedAndTheFirstGoesOn) {
    veltro::testing::makeStore(home_.dir(), {}, {});
    mainwindow::Program first;
    ASSERT_TRUE(first.start());
    mainwindow::Program second;
    EXPECT_FALSE(second.start());
    EXPECT_NE(second.exitStatus(), 0);
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_EQ(platform_->messages[0].text,
              QStringLiteral("Die Anwendung wird bereits ausgeführt."));
    EXPECT_EQ(platform_->messages[0].icon, platform::Icon::None);
    EXPECT_TRUE(first.splash()->timer().isActive());
}

// Another program writing the store is told at once, before the splash: not after every
// step of the start has waited for it in turn.
TEST_F(Startup, AStoreAnotherProgramWritesIsToldBeforeTheSplash) {
    veltro::testing::makeStore(home_.dir(), {}, {});
    auto other = store::Database::open(home_.storeFile());
    other.exec("BEGIN IMMEDIATE");
    const veltro::testing::BriefBusyWait brief;
    mainwindow::Program program;
    EXPECT_FALSE(program.start());
    EXPECT_EQ(program.exitStatus(), 1);
    EXPECT_EQ(program.splash(), nullptr);
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_TRUE(platform_->messages[0].text.contains(QStringLiteral("belegt")))
        << platform_->messages[0].text.toStdString();
}

TEST_F(Startup, ADataFolderWithoutRoomForTheLockFileIsRefused) {
    const QString missing = QString::fromStdString((home_.dir() / "fehlt").string());
    qputenv("VELTRO_HOME", missing.toLocal8Bit());
    mainwindow::Program program;
    EXPECT_FALSE(program.start());
    EXPECT_EQ(program.exitStatus(), 1);
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_EQ(platform_->messages[0].text,
              QStringLiteral("Die Kartei in %1 lässt sich nicht sperren: Das Verzeichnis gibt es "
                             "nicht.\nVeltro Adressbuch braucht Schreibrechte im Verzeichnis der "
                             "Kartei.")
                  .arg(missing));
}

TEST_F(Startup, TheSplashOpensTheMainWindowOnItsTimer) {
    veltro::testing::makeStore(home_.dir(), {QStringLiteral("Privat")}, {});
    settings::write(key::OPChk6, QStringLiteral("0"));
    mainwindow::Program program;
    ASSERT_TRUE(program.start());
    EXPECT_EQ(program.splash()->timer().interval(), 100);
    EXPECT_FALSE(program.splash()->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return program.mainWindow() != nullptr; }, 2000));
    EXPECT_EQ(program.mainWindow()->ui().Combo1->count(), 2);
}

TEST_F(Startup, UnloadWritesSizeStateAndCategory) {
    auto& w =
        open({QStringLiteral("Privat")}, {{QStringLiteral("Anna"), QStringLiteral("Privat")}});
    w.ui().Combo1->setCurrentIndex(1);
    w.Combo1_Click();
    w.close();
    EXPECT_FALSE(settings::read(key::PFensterWidth).isEmpty());
    EXPECT_GT(settings::readNumber(key::PFensterHeight).value_or(0), 1000);
    EXPECT_EQ(settings::read(key::PFensterMax), QStringLiteral("0"));
    EXPECT_EQ(settings::read(key::LetzteKategorie), QStringLiteral("Privat"));
}

TEST_F(Startup, RestoresSizeAndLastCategoryWhenAsked) {
    settings::write(key::OPChk3, QStringLiteral("1"));
    settings::write(key::OPChk5, QStringLiteral("1"));
    settings::write(key::PFensterWidth, QStringLiteral("11700"));
    settings::write(key::PFensterHeight, QStringLiteral("15000"));
    settings::write(key::LetzteKategorie, QStringLiteral("Gelöscht"));
    auto& w = open({QStringLiteral("A"), QStringLiteral("B")}, {});
    EXPECT_EQ(w.width(), 780);  // 11700 twips at 96 dpi
    // 1000 pixels, but no more than the screen leaves beside a frame.
    EXPECT_EQ(w.height(), w.screen()->availableGeometry().height() - 48);
    // A category that no longer exists leaves the last entry selected.
    EXPECT_EQ(w.ui().Combo1->currentText(), QStringLiteral("B"));
}

}  // namespace
