#include "RecordingPlatform.h"
#include "maintenance/FirstStepsDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace veltro::maintenance {
namespace {

using namespace Qt::Literals::StringLiterals;

class FirstStepsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        mainWindow_.setGeometry(300, 120, 640, 480);
        mainWindow_.show();
        dialog_ = FirstStepsDialog::open(&mainWindow_);
    }
    void TearDown() override {
        if (dialog_ != nullptr) {
            dialog_->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    testing::ScopedRecordingPlatform platform_;
    QWidget mainWindow_;
    QPointer<FirstStepsDialog> dialog_;
};

TEST_F(FirstStepsDialogTest, ShowsEveryTextWithItsBlanks) {
    EXPECT_EQ(dialog_->objectName(), u"Form7"_s);
    EXPECT_EQ(dialog_->windowTitle(), u"Hilfe Assistent  -   Veltro Adressbuch"_s);
    const QStringList expected = {
        u"Dieser Assistent erklärt, wie Sie eine Kategorie mit darin enthaltenen Karten/Adressen "
        u"anlegen können. "_s,
        u"Erstellen einer Kategorie"_s,
        u"Wählen Sie hierfür   [Kategorie, Neu]."_s,
        u"Geben Sie im blauen Eingabefeld den Namen der Kategorie ein und bestätigen Sie mit der "
        u"Eingabetaste."_s,
        u"Neue Adresse eingeben:"_s,
        u"Nun können Sie eine neue Karte/Adresse in dieser Kategorie anlegen."_s,
        u"Klicken Sie oben in der Menüzeile auf  [Karte,  Neue Karte/Adresse]."_s,
        u"Geben Sie im erscheinenden Dialog den Kartenkopf (Kartenüberschrift) ein. Dies sollte "
        u"ein aussagefähiger Name sein, der den Inhalt der Karte treffend wiedergibt. Sie können "
        u"hier auch mehrere Schlagworte angeben. Bestätigen Sie ihre Angaben mit der "
        u"Eingabetaste."_s,
        u"Fertigstellung"_s,
        u"Nun können Sie in der neu angelegten Karte ihre Adressdaten eintragen. "_s,
        u"Hinweis: Eine Adresse kann nur in einer  KATEGORIE  gespeichert werden. Erstellen Sie "
        u"deshalb zuerst eine Kategorie  (z.B.  mit dem Namen  'Privatadressen' oder "
        u"'Firmenadressen')."_s,
        u"Für weitere Informationen drücken Sie  'F1'."_s,
        u"Diesen Dialog erreichen Sie unter [?,   Erste Schritte]."_s,
    };
    QStringList shown;
    for (const QLabel* label : dialog_->findChildren<QLabel*>()) {
        shown.append(label->text());
    }
    EXPECT_EQ(shown, expected);
}

TEST_F(FirstStepsDialogTest, SitsRightOnTopWithTheMainWindowLeft) {
    const QRect screen = dialog_->screen()->geometry();
    EXPECT_EQ(dialog_->frameGeometry().right(), screen.right());
    EXPECT_EQ(mainWindow_.x(), screen.x());
    EXPECT_EQ(mainWindow_.geometry().y(), 120);
    EXPECT_TRUE(dialog_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(dialog_->isModal());
}

TEST_F(FirstStepsDialogTest, NoTextIsCutOff) {
    for (const QLabel* label : dialog_->findChildren<QLabel*>()) {
        EXPECT_GE(label->height(), label->heightForWidth(label->width()))
            << label->text().toStdString();
    }
}

TEST_F(FirstStepsDialogTest, OpensOnceClosesOnSchliessen) {
    EXPECT_EQ(FirstStepsDialog::open(&mainWindow_), dialog_.data());
    auto* close = dialog_->findChild<QPushButton*>(u"Command1"_s);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), u"&Schließen"_s);
    QTest::mouseClick(close, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog_.isNull());
}

TEST_F(FirstStepsDialogTest, F1OpensItsHelpPage) {
    dialog_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_));
    QTest::keyClick(dialog_, Qt::Key_F1);
    EXPECT_EQ(platform_->helpPages, std::vector<QString>{u"erste-schritte.html"_s});
}

}  // namespace
}  // namespace veltro::maintenance
