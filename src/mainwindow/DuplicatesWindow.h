#pragma once

#include "duplicates/CardMerge.h"
#include "duplicates/DuplicateFinder.h"
#include "store/CardStore.h"

#include <QDialog>

#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace veltro::mainwindow {

// "Doppelte Karten suchen…": the groups of cards that look like one, each shown side by
// side field by field with the differing fields marked. A tick per field says which card
// gives it; "Zusammenführen" makes one card of the group, "Keine Dubletten" remembers
// that the group's cards are different people.
class DuplicatesWindow : public QDialog {
    Q_OBJECT
public:
    // What the window asks of the card file; false when it did not happen (the user has
    // been told why). A merge runs on: `ended` hears whether it merged.
    struct Actions {
        std::function<bool(const std::vector<duplicates::MergePlan>&,
                           std::function<void(bool merged)> ended)>
            merge;
        std::function<bool(const duplicates::Group&)> notDuplicates;
    };

    DuplicatesWindow(store::CardStore& store, std::vector<duplicates::Group> groups,
                     Actions actions, QWidget* parent);

    void lstGruppen_Click();
    void cmdZusammenfuehren_Click();
    void cmdKeineDubletten_Click();
    void cmbBehalten_Click();

private:
    void buildWidgets();
    void fillGroups();
    void showGroup(int row);
    void fillTable();
    void tickChanged(QTableWidgetItem* item);
    void dropShownGroup();
    [[nodiscard]] std::vector<duplicates::MergePlan> plans() const;
    [[nodiscard]] int keptColumn() const;

    store::CardStore& store_;
    std::vector<duplicates::Group> groups_;
    Actions actions_;
    std::vector<store::Card> shown_;  // the cards of the shown group
    int shownGroup_ = -1;
    bool filling_ = false;

    QListWidget* lstGruppen_ = nullptr;
    QLabel* lblGruende_ = nullptr;
    QComboBox* cmbBehalten_ = nullptr;
    QTableWidget* tblFelder_ = nullptr;
    QPushButton* cmdZusammenfuehren_ = nullptr;
    QPushButton* cmdKeineDubletten_ = nullptr;
};

}  // namespace veltro::mainwindow
