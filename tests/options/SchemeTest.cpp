#include "OptionsTestSupport.h"

#include "options/BackgroundPicture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace veltro;
using namespace veltro::testing;

namespace {

struct Expected {
    QColor field1, field2, label1, label2;
};

Expected setA() {
    const QColor text = systemColour(QPalette::ButtonText);
    return {kWhite, kWhite, text, text};
}
Expected setB() {
    return {kPaleGreen, kWhite, kYellow, kWhite};
}
Expected setC() {
    const QColor text = systemColour(QPalette::ButtonText);
    return {kPaleGreen, kWhite, text, text};
}
Expected setD() {
    return {systemColour(QPalette::ToolTipBase), kWhite, kYellow, kWhite};
}

Expected setE() {
    const QColor base = systemColour(QPalette::Base);
    const QColor text = systemColour(QPalette::WindowText);
    return {base, base, text, text};
}

struct SchemeRow {
    int scheme;
    const char* name;
    Expected (*withPicture)();
    QColor (*background)();
    Expected (*withoutPicture)();
};

const SchemeRow kSchemes[] = {
    {1, "Standard", setD, [] { return systemColour(QPalette::Button); }, setA},
    {2, "Wolken", setB, [] { return kSky; }, setC},
    {3, "Natur", setD, [] { return kTeal; }, setD},
    {4, "Nacht", setD, [] { return kGreyTeal; }, setB},
    {5, "Wald", setB, [] { return kDarkGreen; }, setD},
    {6, "Rugby", setD, [] { return systemColour(QPalette::Dark); }, setD},
    {7, "Systemfarben", setE, [] { return systemColour(QPalette::Window); }, setE},
};

class ColourSchemes : public OptionsDialogFixture {
protected:
    void expectColours(const Expected& want, const char* context);
};

void ColourSchemes::expectColours(const Expected& want, const char* context) {
    SCOPED_TRACE(context);
    const auto colour = [this](const char* name, QPalette::ColorRole role) {
        return child<QWidget>(QLatin1String(name))->palette().color(role);
    };
    EXPECT_EQ(colour("Text1", QPalette::Base), want.field1);
    EXPECT_EQ(colour("Text2", QPalette::Base), want.field2);
    EXPECT_EQ(colour("Label2", QPalette::WindowText), want.label1);
    EXPECT_EQ(colour("Label3", QPalette::WindowText), want.label2);
    // The getters the main window reads report the same.
    const auto held = dialog_->colours();
    EXPECT_EQ(held.field1, want.field1);
    EXPECT_EQ(held.label2, want.label2);
}

TEST_F(ColourSchemes, EachButtonShowsItsPictureOrColourAndItsColourSet) {
    auto& dialog = load();
    dialog.showOptions();
    for (const SchemeRow& row : kSchemes) {
        SCOPED_TRACE(row.name);
        auto* button = child<QRadioButton>(QStringLiteral("Option%1").arg(row.scheme));
        EXPECT_EQ(button->text().remove(u'&'), QString::fromUtf8(row.name));
        button->click();
        ASSERT_EQ(dialog.scheme(), row.scheme);

        child<QCheckBox>("Check1")->setChecked(false);
        EXPECT_TRUE(child<QLabel>("Image1")->isHidden());
        EXPECT_FALSE(child<QLabel>("Label1")->isHidden());
        EXPECT_EQ(dialog.backgroundColour(), row.background());
        expectColours(row.withoutPicture(), "without picture");

        child<QCheckBox>("Check1")->click();
        ASSERT_TRUE(dialog.backgroundPicture());
        EXPECT_FALSE(child<QLabel>("Image1")->isHidden());
        EXPECT_TRUE(child<QLabel>("Label1")->isHidden());
        EXPECT_EQ(dialog.picture().toImage(), options::BackgroundPicture::of(row.scheme).toImage());
        expectColours(row.withPicture(), "with picture");
        child<QCheckBox>("Check1")->click();
    }
}

TEST_F(ColourSchemes, WithThePictureTheColourAreaKeepsTheColourItHad) {
    auto& dialog = load();
    child<QRadioButton>("Option4")->click();  // Nacht: grey teal
    child<QCheckBox>("Check1")->click();
    child<QRadioButton>("Option5")->click();  // Wald, picture 5
    EXPECT_EQ(dialog.backgroundColour(), kGreyTeal);
    child<QCheckBox>("Check1")->click();  // cleared: Wald's own colour at once
    EXPECT_EQ(dialog.backgroundColour(), kDarkGreen);
    EXPECT_TRUE(child<QLabel>("Image1")->isHidden());
}

}  // namespace
