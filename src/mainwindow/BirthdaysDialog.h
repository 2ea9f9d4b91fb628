#pragma once

#include "store/ComingDates.h"

#include <QDate>
#include <QDialog>

#include <cstdint>
#include <functional>
#include <vector>

class QLabel;
class QSpinBox;
class QTableWidget;

namespace veltro::mainwindow {

// "Geburtstage": the birthdays and anniversaries that come round within the days chosen,
// soonest first. A line opened (double-click or Enter) shows its card in the main window;
// "Drucken…" prints the list. Not modal: the user goes from card to card.
class BirthdaysDialog : public QDialog {
    Q_OBJECT
public:
    struct Actions {
        std::function<void(std::int64_t card)> showCard;
        std::function<void(const QString& heading, const std::vector<store::ComingDate>&)> print;
    };

    BirthdaysDialog(std::vector<store::CardDate> dates, QDate today, int days, Actions actions,
                    QWidget* parent);

    void spnTage_Change();
    void lstTermine_Activate();
    void cmdDrucken_Click();

    [[nodiscard]] const std::vector<store::ComingDate>& shown() const { return coming_; }

private:
    void buildWidgets(int days);
    [[nodiscard]] QString heading() const;

    std::vector<store::CardDate> dates_;
    QDate today_;
    Actions actions_;
    std::vector<store::ComingDate> coming_;
    QSpinBox* spnTage_ = nullptr;
    QLabel* lblAnzahl_ = nullptr;
    QTableWidget* lstTermine_ = nullptr;
};

}  // namespace veltro::mainwindow
