#include "MainWindowFixture.h"
#include "OptionsTestSupport.h"
#include "TestTools.h"

#include "mainwindow/MainMenus.h"
#include "options/BackgroundPicture.h"
#include "options/OptionsDialog.h"
#include "richtext/RichTextBlock.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"

#include <QAction>
#include <QCheckBox>
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

TEST_F(MainWindowOptions, CaptionsStandOutFromThePictureOrColourBehindThem) {
    const QColor white(Qt::white);
    const QColor black(Qt::black);
    const struct {
        const char* name;
        const char* scheme;
        bool picture;
        QColor ink;
    } cases[] = {
        {"Standard with picture", "Option1", true, white},
        {"Standard", "Option1", false, black},
        {"Wolken", "Option2", false, black},
        {"Nacht with picture", "Option4", true, white},
        {"Wald with picture", "Option5", true, white},
        {"Wald", "Option5", false, white},
    };
    start();
    EXPECT_EQ(ink(8), QColor(255, 0, 0)) << "the clear-search cross";
    auto& dialog = openOptions();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.showOptions();
        childNamed<QRadioButton>(dialog, c.scheme)->click();
        if (childNamed<QCheckBox>(dialog, "Check1")->isChecked() != c.picture) {
            childNamed<QCheckBox>(dialog, "Check1")->click();
        }
        dialog.Command1_Click();
        QApplication::processEvents();
        EXPECT_EQ(ink(5), c.ink);  // "Anschrift"
        EXPECT_EQ(ink(6), c.ink);  // "Notizen zu: …"
    }
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
