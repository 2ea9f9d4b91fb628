#pragma once

#include "store/CardStore.h"

#include <QDialog>

#include <filesystem>
#include <optional>

class QLabel;
class QStatusBar;
class QTreeWidget;

namespace veltro::maintenance {

// Form2 "Karte ändern": chooses another category for the card with the given heading;
// the caller moves it. Reads through a connection of its own to the store file.
class AssignCategoryDialog : public QDialog {
    Q_OBJECT
public:
    AssignCategoryDialog(const std::filesystem::path& storeFile, const QString& heading,
                         QWidget* parent = nullptr);

    void Command5_Click();  // "&Zuweisen"
    void Command1_Click();  // "&Abbrechen"

    // The category chosen with "&Zuweisen"; empty before.
    [[nodiscard]] const QString& chosenCategory() const { return chosen_; }

private:
    void buildUi();
    void loadCategories();
    void findCard();
    void showMove();

    std::optional<store::CardStore> store_;
    QString heading_;
    QString oldCategory_;
    QString chosen_;
    QTreeWidget* ListView1_;
    QLabel* Label3_;
    QLabel* Label4_;
    QLabel* Label5_;
    QStatusBar* StatusBar1_;
};

}  // namespace veltro::maintenance
