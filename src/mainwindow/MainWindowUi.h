#pragma once

#include "mainwindow/CardListView.h"

#include <array>

class QBoxLayout;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QStatusBar;
class QWidget;

namespace veltro::richtext {
class RichTextBlock;
}

namespace veltro::mainwindow {

class ClickLabel;
class ExtrasPanel;
class PhotoBox;

// The list row's design, twips: the card list's width and the splitter gap after it.
inline constexpr double kListWidthTwips = 4800;
inline constexpr double kListGapTwips = 90;
inline constexpr double kFieldBoxTwips = 1300;  // preferred width of a one-column field box
inline constexpr double kExtrasTwips = 3600;    // preferred width of the further details

// The main window's widgets, named as the rest of the program knows them.
struct MainWindowUi {
    QWidget* Picture1 = nullptr;    // the card area
    QLabel* Image2 = nullptr;       // background picture
    QComboBox* Combo1 = nullptr;    // category selector
    CardListView* List1 = nullptr;  // card list
    QLineEdit* Text1 = nullptr;     // search field
    QLineEdit* Text16 = nullptr;    // full-text field
    // Text2 … Text19 at their numbers; Text1, Text6 and Text16 are not field boxes.
    std::array<QLineEdit*, 20> text{};
    QFrame* Text6 = nullptr;                          // drag bar of the list splitter
    richtext::RichTextBlock* RichTextBox1 = nullptr;  // address block
    richtext::RichTextBlock* RichTextBox2 = nullptr;  // notes block
    // Label1 … Label23 at their numbers.
    std::array<QLabel*, 24> label{};
    ClickLabel* Label8 = nullptr;         // clear-search label
    QPushButton* Command1 = nullptr;      // new card
    QPushButton* Command2 = nullptr;      // save
    QPushButton* Command3 = nullptr;      // delete card
    QPushButton* Command4 = nullptr;      // compose address
    QPushButton* Command5 = nullptr;      // copy address
    QPushButton* Command6 = nullptr;      // copy notes
    QPushButton* Command7 = nullptr;      // mail or web launch
    QBoxLayout* addressHeader = nullptr;  // caption and buttons over the address block
    PhotoBox* Foto = nullptr;             // the card's photo beside the number box
    QWidget* WeitereAngaben = nullptr;    // the column of further details beside the notes
    ExtrasPanel* extras = nullptr;        // inside it
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 5> panel{};  // status bar panels 1 … 4

    [[nodiscard]] QLineEdit* box(int number) const { return text.at(number); }
};

// Builds the widgets into the window and lays them out.
void buildMainWindowUi(QMainWindow& window, MainWindowUi& ui);

}  // namespace veltro::mainwindow
