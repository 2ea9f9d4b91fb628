#pragma once

#include "options/ColourScheme.h"

#include <QDialog>
#include <QFont>
#include <QPixmap>
#include <QPointer>

#include <array>
#include <optional>
#include <variant>
#include <vector>

class QCheckBox;
class QLabel;
class QLayout;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace veltro::options {

class MarginFrame;
class SchemePreview;

// One value "&OK" writes to the settings store.
struct StoredSetting {
    const char* key;
    std::variant<QString, double, bool> value;  // text, number or truth value
};

// Form3 "Optionen". Besides being the dialog, it holds the current settings while the
// program runs: it stays loaded and hidden, and the main window, the printout and the
// search window read their options from it.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    // cardList is the main window's card list: the dialog shows its font and colour and
    // gives it the stored face and size when it loads. It may be null.
    explicit OptionsDialog(QWidget* cardList, QWidget* parent = nullptr);

    // Fills every control from the settings store.
    void Einstellungen();
    // Shows the loaded dialog, not modal, on its first tab.
    void showOptions();

    void Command1_Click();  // "&OK": store, let the main window apply, hide
    void Command2_Click();  // "&Abbrechen": hide and read the stored settings again
    void Command3_Click();  // "Schriftart" of the address block
    void Command4_Click();  // "Schriftart" of the notes block
    void Command6_Click();  // "Schriftart" of the card list
    void Option_Click(int scheme);
    void Check1_Click();
    void TabStrip1_Click();

    // The settings as the controls hold them.
    [[nodiscard]] bool showSplash() const;             // Check6 "Eingangsbild zeigen"
    [[nodiscard]] bool startWithLastCategory() const;  // Check5
    [[nodiscard]] bool startWithSearchWindow() const;  // Check2
    [[nodiscard]] bool restoreWindowSize() const;      // Check3
    [[nodiscard]] bool reactivateMainWindow() const;   // Check4
    [[nodiscard]] bool backgroundPicture() const;      // Check1 "Hintergrundbild"
    // Within how many days a birthday opens the list of them at start; none when it never does.
    [[nodiscard]] std::optional<int> birthdaysAtStart() const;
    [[nodiscard]] int scheme() const;               // 1 "Standard" … 6 "Rugby"
    [[nodiscard]] QPixmap picture() const;          // of the scheme, when shown
    [[nodiscard]] QColor backgroundColour() const;  // the plain colour area
    [[nodiscard]] PreviewColours colours() const;   // fields and labels
    [[nodiscard]] QFont cardListFont() const;
    [[nodiscard]] QFont addressFont() const;  // for the address block of a new card
    [[nodiscard]] QFont notesFont() const;    // for the notes block of a new card
    [[nodiscard]] QColor addressColour() const;
    [[nodiscard]] QColor notesColour() const;
    [[nodiscard]] int topMargin() const;   // of the address printout, mm
    [[nodiscard]] int leftMargin() const;  // mm
    // The return line printed above the address on envelopes; empty for none.
    [[nodiscard]] QString senderLine() const;

    // What "&OK" writes, in the order it writes it.
    [[nodiscard]] std::vector<StoredSetting> settingsToStore() const;

Q_SIGNALS:
    // "&OK" has stored the settings; the main window applies them now.
    void settingsStored();

protected:
    // Escape and the window's close button cancel.
    void reject() override;

private:
    void buildUi();
    QWidget* buildGeneralTab();
    QWidget* buildBackupGroup(QWidget* parent);
    QLayout* buildBirthdayRow(QWidget* parent);
    QWidget* buildColourTab();
    QWidget* buildFontTab();
    QWidget* fontGroup(const QString& title, const QString& buttonText, const char* button,
                       QLabel* sample, void (OptionsDialog::*handler)());
    void loadFonts();
    void runSchemeRule();
    void chooseFont(QLabel* sample);
    void takeCardListColour();
    void takeFieldColours();
    void describeFonts();

    QPointer<QWidget> cardList_;
    QFont sampleDesignFont_;
    // The card list sample as last confirmed: its bold and italic are not stored.
    QFont cardListBase_;
    QTabWidget* TabStrip1_ = nullptr;
    std::array<QCheckBox*, 7> check_{};      // Check1 … Check6
    std::array<QRadioButton*, 8> option_{};  // Option1 … Option7
    SchemePreview* preview_ = nullptr;
    QLabel* Label4_ = nullptr;   // address font sample
    QLabel* Label5_ = nullptr;   // notes font sample
    QLabel* Label13_ = nullptr;  // card list font sample
    MarginFrame* margins_ = nullptr;
    QCheckBox* birthdaysAtStart_ = nullptr;
    QSpinBox* birthdayDays_ = nullptr;
    QSpinBox* keepLast_ = nullptr;    // backups kept: the newest
    QSpinBox* keepMonths_ = nullptr;  // and one of each month, for this many months
    QLineEdit* senderLine_ = nullptr;
};

}  // namespace veltro::options
