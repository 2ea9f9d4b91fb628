#include "OptionsTestSupport.h"

#include "store/Settings.h"
#include "store/SettingsKeys.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <functional>

using namespace veltro;
using namespace veltro::testing;
namespace key = veltro::settings::key;

namespace {

using OptionsDialogTest = OptionsDialogFixture;

// The stored defaults of the other keys are in OkStoresEveryKeyInOrder; how numbers out of range
// are read is the settings' test.
TEST_F(OptionsDialogTest, AnEmptySettingsStoreOpensWithTheDefaults) {
    auto& dialog = load();
    EXPECT_EQ(child<QTabWidget>("TabStrip1")->currentIndex(), 0);
    EXPECT_TRUE(child<QGroupBox>("Frame1")->isVisibleTo(&dialog));
    EXPECT_FALSE(child<QWidget>("Frame4")->isVisibleTo(&dialog));
    EXPECT_TRUE(child<QRadioButton>("Option1")->isChecked());
    EXPECT_FALSE(dialog.backgroundPicture());
    EXPECT_TRUE(child<QLabel>("Image1")->isHidden());
    EXPECT_EQ(dialog.backgroundColour(), systemColour(QPalette::Button));
    EXPECT_EQ(child<QLabel>("Label9")->text(), QStringLiteral("Rand &links:  25 mm"));
    EXPECT_EQ(dialog.cardListFont().family(), cardList_.font().family());
}

struct StoredCase {
    const char* key;
    const char* stored;
    std::function<int(const options::OptionsDialog&)> read;
    int expected;
};

TEST_F(OptionsDialogTest, StoredValuesAreReadAndOddOnesKeptInRange) {
    const auto top = [](const options::OptionsDialog& d) { return d.topMargin(); };
    const auto left = [](const options::OptionsDialog& d) { return d.leftMargin(); };
    const auto scheme = [](const options::OptionsDialog& d) { return d.scheme(); };
    const auto keptLast = [](const options::OptionsDialog& d) {
        return d.findChild<QSpinBox*>(QStringLiteral("SicherungenLetzte"))->value();
    };
    const auto keptMonths = [](const options::OptionsDialog& d) {
        return d.findChild<QSpinBox*>(QStringLiteral("SicherungenMonate"))->value();
    };
    const StoredCase cases[] = {
        {key::SLd3, "-20", top, 0},
        {key::SLd4, "7,6", left, 8},
        {key::SLd4, "1e9", left, 100},
        {key::OPOption, "4", scheme, 4},
        {key::OPChk2, "1", [](auto& d) { return int(d.startWithSearchWindow()); }, 1},
        {key::OPChk3, "1", [](auto& d) { return int(d.restoreWindowSize()); }, 1},
        {key::OPChk4, "0", [](auto& d) { return int(d.reactivateMainWindow()); }, 0},
        {key::OPChk5, "1", [](auto& d) { return int(d.startWithLastCategory()); }, 1},
        {key::OPChk6, "0", [](auto& d) { return int(d.showSplash()); }, 0},
        {key::SicherungenLetzte, "", keptLast, 10},
        {key::SicherungenLetzte, "500", keptLast, 100},
        {key::SicherungenLetzte, "0", keptLast, 1},
        {key::SicherungenMonate, "", keptMonths, 12},
        {key::SicherungenMonate, "-3", keptMonths, 0},
        {key::GeburtstageZeigen, "1", [](auto& d) { return d.birthdaysAtStart().value_or(-1); }, 7},
    };
    for (const StoredCase& c : cases) {
        settings::write(c.key, QString::fromLatin1(c.stored));
        EXPECT_EQ(c.read(load()), c.expected) << c.key << " = " << c.stored;
        settings::write(c.key, QString());
    }
}

TEST_F(OptionsDialogTest, StoredFontsFillTheSamplesKeyByKey) {
    settings::write(key::AFN, QStringLiteral("DejaVu Serif"));
    settings::write(key::AFS, QStringLiteral("14"));
    settings::write(key::AFB, QStringLiteral("True"));
    settings::write(key::NFi, QStringLiteral("True"));
    settings::write(key::List1FontName, QStringLiteral("DejaVu Sans Mono"));
    settings::write(key::List1FontSize, QStringLiteral("12,5"));
    auto& dialog = load();
    EXPECT_EQ(dialog.addressFont().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(dialog.addressFont().pointSizeF(), 14);
    EXPECT_TRUE(dialog.addressFont().bold());
    EXPECT_FALSE(dialog.addressFont().italic());
    EXPECT_EQ(dialog.notesFont().pointSizeF(), 10);
    EXPECT_TRUE(dialog.notesFont().italic());
    EXPECT_EQ(dialog.cardListFont().pointSizeF(), 12.5);
}

struct FontButton {
    const char* button;
    const char* sample;
};

TEST_F(OptionsDialogTest, FontButtonsTakeFaceSizeBoldAndItalicOnly) {
    const FontButton buttons[] = {
        {"Command6", "Label13"}, {"Command3", "Label4"}, {"Command4", "Label5"}};
    auto& dialog = load();
    dialog.showOptions();
    child<QTabWidget>("TabStrip1")->setCurrentIndex(2);
    for (const FontButton& b : buttons) {
        SCOPED_TRACE(b.button);
        auto* sample = child<QLabel>(b.sample);
        QFont chosen(QStringLiteral("DejaVu Serif"), 16);
        chosen.setBold(true);
        chosen.setItalic(true);
        chosen.setUnderline(true);
        platform_->fonts.push_back(chosen);
        platform_->fontRequests.clear();
        QTest::mouseClick(child<QPushButton>(b.button), Qt::LeftButton);
        ASSERT_EQ(platform_->fontRequests.size(), 1U);
        EXPECT_EQ(platform_->fontRequests[0].pointSizeF(), 10);
        const QFont font = sample->font();
        EXPECT_EQ(font.family(), QStringLiteral("DejaVu Serif"));
        EXPECT_EQ(font.pointSizeF(), 16);
        EXPECT_TRUE(font.bold());
        EXPECT_TRUE(font.italic());
        EXPECT_FALSE(font.underline());

        // The next opening presets the sample's face, still at 10 points; Cancel keeps all.
        QTest::mouseClick(child<QPushButton>(b.button), Qt::LeftButton);
        ASSERT_EQ(platform_->fontRequests.size(), 2U);
        EXPECT_EQ(platform_->fontRequests[1].family(), QStringLiteral("DejaVu Serif"));
        EXPECT_EQ(platform_->fontRequests[1].pointSizeF(), 10);
        EXPECT_EQ(sample->font(), font);
    }
    EXPECT_TRUE(platform_->messages.empty());
}

TEST_F(OptionsDialogTest, OkStoresEveryKeyInOrder) {
    auto& dialog = load();
    dialog.showOptions();
    QSignalSpy stored(&dialog, &options::OptionsDialog::settingsStored);
    child<QCheckBox>("Check5")->click();
    child<QRadioButton>("Option2")->click();
    child<QCheckBox>("Check1")->click();
    child<QSlider>("Slider3")->setValue(60);
    child<QLineEdit>("txtRuecksendeangabe")->setText(QStringLiteral(" Max  Muster · Bamberg "));
    QFont bold(QStringLiteral("DejaVu Serif"), 12);
    bold.setBold(true);
    platform_->fonts.push_back(bold);
    dialog.Command6_Click();
    child<QSpinBox>("SicherungenLetzte")->setValue(7);
    child<QCheckBox>("GeburtstageZeigen")->click();
    child<QSpinBox>("GeburtstageTage")->setValue(3);
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);

    EXPECT_EQ(stored.count(), 1);
    EXPECT_FALSE(dialog.isVisible());
    // key=value as stored; the face of the address and notes samples is the design face.
    const QString face = dialog.addressFont().family();
    const QString expected =
        QStringLiteral(
            "OPChk1=1|OPChk2=0|OPChk3=0|OPChk4=1|OPChk5=1|OPChk6=1|OPOption=2|SLd3=60|SLd4=25|"
            "GeburtstageZeigen=1|GeburtstageTage=3|SicherungenLetzte=7|SicherungenMonate=12|"
            "Ruecksendeangabe=Max Muster · Bamberg|"
            "List1FontName=DejaVu Serif|List1FontSize=12|List1FontBold=True|List1FontItalic=False|"
            "AFN=%1|AFS=10|AFB=False|AFi=False|AFC=0|NFN=%1|NFS=10|NFB=False|NFi=False|NFC=0")
            .arg(face);
    QStringList written;
    for (const auto& setting : dialog.settingsToStore()) {
        written << QString::fromLatin1(setting.key) + u'=' + settings::read(setting.key);
    }
    EXPECT_EQ(written.join(u'|'), expected);
    EXPECT_EQ(dialog.senderLine(), QStringLiteral("Max Muster · Bamberg"));
}

struct CancelWay {
    const char* name;
    std::function<void(options::OptionsDialog&)> cancel;
};

TEST_F(OptionsDialogTest, CancelForgetsTheChangesAndReadsTheStoreAgain) {
    const CancelWay ways[] = {
        {"button",
         [](options::OptionsDialog& d) { childNamed<QPushButton>(d, "Command2")->click(); }},
        {"Escape", [](auto& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"window close", [](auto& d) { d.close(); }},
    };
    for (const CancelWay& way : ways) {
        SCOPED_TRACE(way.name);
        auto& dialog = load();
        dialog.showOptions();
        QSignalSpy stored(&dialog, &options::OptionsDialog::settingsStored);
        child<QTabWidget>("TabStrip1")->setCurrentIndex(1);
        child<QRadioButton>("Option5")->click();
        child<QCheckBox>("Check1")->click();
        child<QSlider>("Slider4")->setValue(80);
        way.cancel(dialog);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(stored.count(), 0);
        EXPECT_EQ(settings::read(key::OPOption), QString());
        EXPECT_EQ(dialog.scheme(), 1);
        EXPECT_FALSE(dialog.backgroundPicture());
        EXPECT_EQ(dialog.leftMargin(), 25);
        EXPECT_EQ(child<QTabWidget>("TabStrip1")->currentIndex(), 0);
    }
}

TEST_F(OptionsDialogTest, TheCardListFontChosenInThisRunSurvivesACancel) {
    auto& dialog = load();
    QFont bold(QStringLiteral("DejaVu Serif"), 13);
    bold.setBold(true);
    bold.setItalic(true);
    platform_->fonts.push_back(bold);
    dialog.Command6_Click();
    dialog.Command1_Click();
    dialog.showOptions();
    dialog.Command2_Click();
    EXPECT_TRUE(dialog.cardListFont().bold());
    EXPECT_TRUE(dialog.cardListFont().italic());
    EXPECT_EQ(dialog.cardListFont().pointSizeF(), 13);
}

TEST_F(OptionsDialogTest, TheSlidersMoveTheAddressOnThePageSketch) {
    auto& dialog = load();
    dialog.showOptions();
    child<QTabWidget>("TabStrip1")->setCurrentIndex(3);
    auto* top = child<QSlider>("Slider3");
    auto* left = child<QSlider>("Slider4");
    auto* frame = child<QWidget>("Frame4");
    auto* address = child<QLabel>("Label7");
    const auto expectAt = [&](int topMm, int leftMm) {
        const QPoint want((3400 + 6 * leftMm) * frame->logicalDpiX() / 1440,
                          (850 + 8 * topMm) * frame->logicalDpiY() / 1440);
        EXPECT_EQ(address->mapTo(frame, QPoint(0, 0)), want) << topMm << "/" << leftMm;
    };
    expectAt(50, 25);

    // Down on the upright slider lowers the address; page keys move by 5 mm.
    top->setFocus();
    QTest::keyClick(top, Qt::Key_Down);
    QTest::keyClick(top, Qt::Key_PageDown);
    EXPECT_EQ(dialog.topMargin(), 56);
    left->setFocus();
    QTest::keyClick(left, Qt::Key_End);
    EXPECT_EQ(dialog.leftMargin(), 100);
    EXPECT_EQ(child<QLabel>("Label8")->text(), QStringLiteral("Rand o&ben: 56 mm"));
    EXPECT_EQ(child<QLabel>("Label9")->text(), QStringLiteral("Rand &links:  100 mm"));
    expectAt(56, 100);

    QTest::mouseClick(child<QPushButton>("Command5"), Qt::LeftButton);
    EXPECT_EQ(dialog.topMargin(), 50);
    EXPECT_EQ(dialog.leftMargin(), 25);
    expectAt(50, 25);
}

}  // namespace
