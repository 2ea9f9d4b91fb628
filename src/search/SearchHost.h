#pragma once

#include <QString>

namespace veltro::search {

// The card shown in the main window, as far as the search window reports on it.
struct ShownCard {
    QString lastName;
    QString postcode;
    QString town;
    bool addressEmpty = true;
    bool notesEmpty = true;
};

// What the search window does to the main window: it types into its search field, moves
// the selection of its card list and runs its copy commands.
class SearchHost {
public:
    virtual ~SearchHost() = default;

    // Puts the text into the main window's search field, which filters the card list.
    virtual void setSearchText(const QString& text) = 0;
    [[nodiscard]] virtual int lineCount() const = 0;
    [[nodiscard]] virtual QString lineText(int row) const = 0;
    // The selected line of the card list, -1 when none is.
    [[nodiscard]] virtual int selectedLine() const = 0;
    // Selects a line and shows its card; -1 only clears the selection.
    virtual void selectLine(int row) = 0;
    [[nodiscard]] virtual ShownCard shownCard() const = 0;
    // The main window's "copy address" and "copy notes" commands.
    virtual void copyAddress() = 0;
    virtual void copyNotes() = 0;
    virtual void minimizeMainWindow() = 0;
    // From minimised back to a normal, active window.
    virtual void restoreMainWindow() = 0;
    // "Nach dem Beenden des Suchfensters Adressbuch wieder aktivieren".
    [[nodiscard]] virtual bool reactivateOnClose() const = 0;
};

}  // namespace veltro::search
