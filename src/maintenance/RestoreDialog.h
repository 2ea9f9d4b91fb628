#pragma once

#include "store/CardStore.h"

#include <QDialog>

#include <array>
#include <filesystem>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QTreeWidget;

namespace veltro::richtext {
class RichTextBlock;
}

namespace veltro::maintenance {

// "Sicherung wiederherstellen": the backups beside the store with their date, time and
// number of cards; the cards of the chosen one in a list and a card view that only show.
// "&Wiederherstellen" asks first; the caller then puts the chosen backup in place.
class RestoreDialog : public QDialog {
    Q_OBJECT
public:
    explicit RestoreDialog(const std::filesystem::path& storeFile, QWidget* parent = nullptr);

    // The backup to put in place, once the user has confirmed it.
    [[nodiscard]] const std::optional<std::filesystem::path>& chosenBackup() const {
        return chosen_;
    }

    void Wiederherstellen_Click();

private:
    void buildUi();
    QWidget* buildCardView();
    void fillBackups();
    void showBackup();
    void showCard();
    [[nodiscard]] std::optional<std::filesystem::path> selectedBackup() const;

    std::filesystem::path storeFile_;
    std::optional<std::filesystem::path> chosen_;
    std::optional<store::CardStore> shown_;
    std::vector<std::int64_t> ids_;
    QTreeWidget* backups_ = nullptr;
    QListWidget* cards_ = nullptr;
    std::array<QLineEdit*, store::kFieldCount> fields_{};
    richtext::RichTextBlock* address_ = nullptr;
    richtext::RichTextBlock* notes_ = nullptr;
    QLabel* state_ = nullptr;
};

}  // namespace veltro::maintenance
