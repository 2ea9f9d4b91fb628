#include "MainWindowFixture.h"
#include "OptionsTestSupport.h"
#include "TestTools.h"

#include "mainwindow/MainMenus.h"
#include "options/BackgroundPicture.h"
#include "options/ColourScheme.h"
#include "options/OptionsDialog.h"
#include "platform/Contrast.h"
#include "richtext/RichTextBlock.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace veltro;
using namespace veltro::testing;
namespace key = veltro::settings::key;

namespace {

class MainWindowOptions : public MainWindowFixture {
protected:
    mainwindow::MainWindow& start() {
        return open({QStringLiteral("Privat")},
                    {{QStringLiteral("Anna"), QStringLiteral("Privat")}});
    }
    options::OptionsDialog& openOptions() {
        window().menus().action(QStringLiteral("mnuOptionen"))->trigger();
        return window().optionsDialog();
    }
    [[nodiscard]] QColor base(QWidget* widget) const {
        return widget->palette().color(QPalette::Base);
    }
    [[nodiscard]] QColor ink(int label) const {
        return window_->ui().label.at(label)->palette().color(QPalette::WindowText);
    }
    [[nodiscard]] std::vector<QWidget*> group1() const {
        const auto& ui = window_->ui();
        return {ui.Combo1, ui.Text16, ui.List1,   ui.RichTextBox1, ui.box(18),
                ui.box(2), ui.box(7), ui.box(11), ui.box(12),      ui.box(10)};
    }
    [[nodiscard]] std::vector<QWidget*> group2() const {
        std::vector<QWidget*> boxes;
        for (int number : {9, 8, 13, 17, 15, 14, 3, 4, 5}) {
            boxes.push_back(window_->ui().box(number));
        }
        return boxes;
    }
    static constexpr int kLabels1[] = {18, 20};
    static constexpr int kLabels2[] = {11, 10, 15, 21, 1, 9, 13, 14, 12, 19, 17, 16, 2, 3, 4};
};

TEST_F(MainWindowOptions, OkGivesTheFieldGroupsTheSchemeColours) {
    auto& w = start();
    const QColor notes = base(w.ui().RichTextBox2);
    for (QWidget* field : group1()) {
        EXPECT_EQ(base(field), kWhite) << field->objectName().toStdString();
    }
    auto& dialog = openOptions();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    childNamed<QRadioButton>(dialog, "Option2")->click();  // Wolken, no picture
    QTest::mouseClick(childNamed<QPushButton>(dialog, "Command1"), Qt::LeftButton);

    EXPECT_EQ(settings::read(key::OPOption), QStringLiteral("2"));
    for (QWidget* field : group1()) {
        EXPECT_EQ(base(field), kPaleGreen) << field->objectName().toStdString();
    }
    for (QWidget* field : group2()) {
        EXPECT_EQ(base(field), kWhite) << field->objectName().toStdString();
    }
    for (int label : kLabels1) {
        EXPECT_EQ(ink(label), systemColour(QPalette::ButtonText)) << label;
    }
    EXPECT_EQ(base(w.ui().RichTextBox2), notes);
    EXPECT_EQ(w.ui().Picture1->palette().color(QPalette::Window), kSky);
    EXPECT_TRUE(w.ui().Image2->isHidden());
}

TEST_F(MainWindowOptions, ThePictureCoversTheCardAreaAndFollowsItsSize) {
    auto& w = start();
    auto& dialog = openOptions();
    childNamed<QRadioButton>(dialog, "Option5")->click();  // Wald
    childNamed<QCheckBox>(dialog, "Check1")->click();
    dialog.Command1_Click();
    ASSERT_FALSE(w.ui().Image2->isHidden());
    EXPECT_EQ(w.ui().Image2->geometry(), w.ui().Picture1->rect());
    EXPECT_FALSE(w.ui().Image2->pixmap().isNull());
    for (int label : kLabels1) {
        EXPECT_EQ(ink(label), kYellow) << label;
    }
    for (int label : kLabels2) {
        EXPECT_EQ(ink(label), kWhite) << label;
    }
    w.resize(w.size() + QSize(120, 80));
    QApplication::processEvents();
    EXPECT_EQ(w.ui().Image2->geometry(), w.ui().Picture1->rect());
    EXPECT_EQ(w.ui().Image2->pixmap().size(), w.ui().Picture1->size());

    // Clearing the picture shows the scheme's plain colour.
    dialog.showOptions();
    childNamed<QCheckBox>(dialog, "Check1")->click();
    dialog.Command1_Click();
    EXPECT_TRUE(w.ui().Image2->isHidden());
    EXPECT_EQ(w.ui().Picture1->palette().color(QPalette::Window), kDarkGreen);
    EXPECT_EQ(base(w.ui().box(2)), systemColour(QPalette::ToolTipBase));
}

TEST_F(MainWindowOptions, StartUpAppliesTheStoredSchemeThroughTheDialog) {
    settings::write(key::OPOption, QStringLiteral("4"));  // Nacht
    settings::write(key::OPChk1, QStringLiteral("1"));
    auto& w = start();
    EXPECT_FALSE(w.ui().Image2->isHidden());
    EXPECT_EQ(w.ui().Image2->pixmap().toImage(),
              options::BackgroundPicture::filling(options::BackgroundPicture::of(4),
                                                  w.ui().Picture1->size())
                  .toImage());
    EXPECT_EQ(base(w.ui().List1), systemColour(QPalette::ToolTipBase));
    EXPECT_EQ(ink(18), kYellow);
}

// A dark desktop: light text on dark boxes and windows.
QPalette darkPalette() {
    QPalette dark;
    const auto set = [&dark](QPalette::ColorRole role, const char* colour) {
        dark.setColor(role, QColor(QLatin1String(colour)));
    };
    for (const auto role : {QPalette::Window, QPalette::Button, QPalette::ToolTipBase}) {
        set(role, "#31363b");
    }
    for (const auto role :
         {QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::ToolTipText}) {
        set(role, "#eff0f1");
    }
    set(QPalette::Base, "#232629");
    set(QPalette::Dark, "#141618");
    return dark;
}

// What a caption stands on: its backing, the picture under it or the card area's colour.
QColor groundOf(const QLabel& caption, const mainwindow::MainWindowUi& ui) {
    if (caption.autoFillBackground()) {
        return caption.palette().color(QPalette::Window);
    }
    if (ui.Image2->isVisible()) {
        const QRect area(caption.mapTo(ui.Picture1, QPoint()), caption.size());
        return platform::meanColour(ui.Image2->pixmap().toImage(), area);
    }
    return ui.Picture1->palette().color(QPalette::Window);
}

// Every caption and box of the card area reads at 4.5:1 in every scheme, with and without
// its picture, on a light and a dark desktop; captions keep their scheme's colour.
TEST_F(MainWindowOptions, EveryCaptionAndBoxReadsInEverySchemeOnLightAndDarkDesktops) {
    const QPalette light = QApplication::palette();
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark desktop" : "light desktop");
        QApplication::setPalette(dark ? darkPalette() : light);
        const auto& ui = (dark ? openExisting() : start()).ui();
        auto& dialog = openOptions();
        for (int scheme = 1; scheme <= options::kSchemeCount; ++scheme) {
            for (const bool picture : {false, true}) {
                SCOPED_TRACE(::testing::Message() << "scheme " << scheme << " picture " << picture);
                dialog.showOptions();
                childNamed<QRadioButton>(dialog, QStringLiteral("Option%1").arg(scheme))->click();
                if (childNamed<QCheckBox>(dialog, "Check1")->isChecked() != picture) {
                    childNamed<QCheckBox>(dialog, "Check1")->click();
                }
                dialog.Command1_Click();
                QApplication::processEvents();
                const auto colours = dialog.colours();
                EXPECT_EQ(ink(18), colours.label1);
                EXPECT_EQ(ink(12), colours.label2);
                EXPECT_EQ(ink(8), QColor(255, 0, 0)) << "the clear-search cross";
                for (int number = 1; number <= 21; ++number) {
                    const QLabel& caption = *ui.label.at(number);
                    if (number != 7 && !caption.isHidden()) {
                        EXPECT_GE(platform::contrastRatio(ink(number), groundOf(caption, ui)),
                                  platform::kReadableContrast)
                            << caption.text().toStdString();
                    }
                }
                auto boxes = group1();
                const auto more = group2();
                boxes.insert(boxes.end(), more.begin(), more.end());
                for (QWidget* box : boxes) {
                    EXPECT_GE(
                        platform::contrastRatio(box->palette().color(QPalette::Text), base(box)),
                        platform::kReadableContrast)
                        << box->objectName().toStdString();
                }
            }
        }
        if (dark) {
            childNamed<QRadioButton>(dialog, "Option1")->click();  // Standard, no picture
            childNamed<QCheckBox>(dialog, "Check1")->click();
            dialog.Command1_Click();
            EXPECT_EQ(base(ui.box(2)), darkPalette().color(QPalette::Base));
        }
        window_.reset();
    }
    QApplication::setPalette(light);
}

TEST_F(MainWindowOptions, TheCardListKeepsFaceAndSizeAcrossARestartButNotBoldOrItalic) {
    auto& first = start();
    const QFont design = first.ui().List1->font();
    auto& dialog = openOptions();
    QFont chosen(QStringLiteral("DejaVu Serif"), 15);
    chosen.setBold(true);
    chosen.setItalic(true);
    platform_->fonts.push_back(chosen);
    dialog.Command6_Click();
    dialog.Command1_Click();
    EXPECT_TRUE(first.ui().List1->font().bold());
    EXPECT_TRUE(first.ui().List1->font().italic());
    EXPECT_EQ(first.ui().List1->font().family(), QStringLiteral("DejaVu Serif"));

    window_.reset();
    auto& second = openExisting();
    const QFont font = second.ui().List1->font();
    EXPECT_EQ(font.family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(font.pointSizeF(), 15);
    EXPECT_EQ(font.bold(), design.bold());
    EXPECT_EQ(font.italic(), design.italic());
}

}  // namespace
