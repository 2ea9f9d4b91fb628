#pragma once

#include "mainwindow/CommandContext.h"

namespace veltro::mainwindow {

// The card commands: new card, rename, delete, category of a card, copy as vCard. Each
// writes the store first and then the card list and the full-text index.
class CardCommands {
public:
    explicit CardCommands(CommandContext context) : c_(context) {}

    // From the menu: checks that a category is chosen first. True when a card was asked for.
    bool newCardFromMenu();
    void newCard();
    void rename();
    void remove();
    void assignCategory();
    void copyAsVcard();

private:
    void tellNoneSelected();
    // Asks before a card whose heading folds like an existing one's; true to go on.
    bool confirmSimilarHeading(const QString& heading);

    CommandContext c_;
};

}  // namespace veltro::mainwindow
