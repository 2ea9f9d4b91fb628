#include "mainwindow/EinstellungenAnwenden.h"

#include "platform/Contrast.h"
#include "platform/WidgetTools.h"

#include "mainwindow/FieldTable.h"
#include "mainwindow/MainWindowUi.h"
#include "options/BackgroundFitter.h"
#include "options/OptionsDialog.h"
#include "richtext/RichTextBlock.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <initializer_list>

namespace veltro::mainwindow {

using options::BackgroundFitter;
using options::OptionsDialog;
using options::PreviewColours;

using platform::setRole;

namespace {

void setFieldColour(QWidget* field, const QColor& colour) {
    setRole(field, QPalette::Base, colour);
    // The desktop's text colour where it reads on the box, else black or white.
    const QColor text = QApplication::palette().color(QPalette::Active, QPalette::Text);
    setRole(field, QPalette::Text, platform::readableTextOn(text, colour));
    // A drop-down list without an edit line paints its face with the button colour.
    if (qobject_cast<QComboBox*>(field) != nullptr) {
        setRole(field, QPalette::Button, colour);
        setRole(field, QPalette::ButtonText, platform::readableTextOn(text, colour));
    }
}

}  // namespace

void EinstellungenAnwenden(const MainWindowUi& ui, const OptionsDialog& options) {
    if (options.backgroundPicture()) {
        BackgroundFitter::fit(*ui.Image2, options.picture());
        ui.Image2->setVisible(true);
        ui.Image2->lower();
    } else {
        ui.Image2->setVisible(false);
    }
    setRole(ui.Picture1, QPalette::Window, options.backgroundColour());

    const PreviewColours colours = options.colours();
    for (QWidget* field :
         std::initializer_list<QWidget*>{ui.Combo1, ui.Text16, ui.List1, ui.RichTextBox1}) {
        setFieldColour(field, colours.field1);
    }
    for (const auto& field : fieldTable()) {
        if (field.colour != ColourGroup::None) {
            setFieldColour(ui.box(field.number),
                           field.colour == ColourGroup::First ? colours.field1 : colours.field2);
        }
    }
    for (const int number : {18, 20}) {
        setRole(ui.label.at(number), QPalette::WindowText, colours.label1);
    }
    for (const int number : {11, 10, 15, 21, 1, 9, 13, 14, 12, 19, 17, 16, 2, 3, 4}) {
        setRole(ui.label.at(number), QPalette::WindowText, colours.label2);
    }

    const QFont sample = options.cardListFont();
    QFont font = ui.List1->font();
    font.setPointSizeF(sample.pointSizeF() > 0 ? sample.pointSizeF()
                                               : QFontInfo(sample).pointSizeF());
    font.setFamily(sample.family());
    font.setBold(sample.bold());
    font.setItalic(sample.italic());
    ui.List1->setFont(font);
}

}  // namespace veltro::mainwindow
