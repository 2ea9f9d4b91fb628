#pragma once

#include <QString>

#include <array>

class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTreeView;

namespace veltro::import {

class SourceColumnList;
class TargetFieldList;

// The widgets of the import dialog, built into it and owned by it. Object names are the
// ones the dialog's handlers and tests use.
struct ImportDialogWidgets {
    explicit ImportDialogWidgets(QDialog& dialog);

    QLabel* Label2 = nullptr;  // heading
    QLabel* Image1 = nullptr;
    // Hints, one per page: Label8, Label6, Label9, Label10.
    std::array<QLabel*, 4> hints{};
    // Pages: Frame5 (file), Frame3 (mapping), Frame6 (preview), Frame4 (finish).
    std::array<QGroupBox*, 4> pages{};

    // Page 1
    QLabel* Label3 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QGroupBox* Frame7 = nullptr;
    QRadioButton* Option1 = nullptr;
    QLineEdit* Text3 = nullptr;
    QRadioButton* Option2 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QGroupBox* Frame8 = nullptr;
    QComboBox* Combo1 = nullptr;

    // Page 2
    TargetFieldList* ListView2 = nullptr;
    SourceColumnList* ListView3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command6 = nullptr;
    // What another program's layout brings beyond the fields; hidden for other files.
    QLabel* Label14 = nullptr;

    // Page 3
    QTreeView* ListView1 = nullptr;

    // Page 4
    QPushButton* Command1 = nullptr;
    // After the run, when it brought cards that look like cards there before.
    QLabel* Label13 = nullptr;
    QPushButton* Command9 = nullptr;

    QPushButton* Command7 = nullptr;  // back
    QPushButton* Command8 = nullptr;  // next
    QPushButton* Command2 = nullptr;  // cancel
    QProgressBar* ProgressBar1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* panel1 = nullptr;  // first panel of the status bar

private:
    QGroupBox* buildFilePage();
    QGroupBox* buildMappingPage();
    QGroupBox* buildPreviewPage();
    QGroupBox* buildFinishPage();
    void buildHeader(QDialog& dialog);
};

}  // namespace veltro::import
