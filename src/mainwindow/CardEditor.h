#pragma once

#include "mainwindow/FieldTable.h"
#include "store/CardExtras.h"
#include "store/CardFields.h"
#include "store/ExtrasInput.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QEvent;
class QFocusEvent;
class QLineEdit;
class QWidget;

namespace veltro::store {
class CardStore;
}

namespace veltro::mainwindow {

struct MainWindowUi;

// Whether the focus that `left` loses goes to another widget of its window by the user's
// left click, Tab or the program's own move; not by a right click or to a pop-up, another
// window or nowhere.
[[nodiscard]] bool focusStaysInWindow(const QWidget& left, const QFocusEvent& event);

// The name of the undo step of what was saved during one visit to a card.
inline const QString kEditStep = QStringLiteral("Karte bearbeiten");

// The card view's editor: owns the shown card's id, what the user has typed into it and
// the save. Everything that replaces the shown card, empties the view or ends the run
// goes through commit() first, so no typed character is lost on the way.
class CardEditor : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> markChanged;             // sets the run's change flag
        std::function<void(std::int64_t)> saved;       // after a card was written
        std::function<QString(std::int64_t)> heading;  // for messages
        std::function<void()> beforeSave;              // a backup, where one is due
        std::function<bool()> categoryLineInUse;       // a category name is being typed there
    };

    CardEditor(const MainWindowUi& ui, Hooks hooks, QObject* parent);

    void setStore(store::CardStore* store);

    [[nodiscard]] std::optional<std::int64_t> shownCardId() const { return shownId_; }
    [[nodiscard]] bool hasPendingEdit() const;
    // The shown card's further details as they stand in the panel, typed but unsaved included
    // (a date that cannot be read as stored); for printing what the user sees.
    [[nodiscard]] store::CardExtras viewedExtras() const;

    // Writes what was typed into the shown card since it was shown or last saved. True
    // when nothing is left unsaved; false after telling the user that the text stays in
    // the view unsaved (the next commit tries again).
    bool commit();
    // The same at the end of the run, without a question on screen: when the store refuses,
    // what was typed stays in the recovery file beside the store for the next start, and
    // the reason is returned.
    [[nodiscard]] std::optional<QString> commitOrKeep();
    // Writes what is typed and unsaved to the recovery file now (or removes the file when
    // nothing is); for an end that leaves no time to save.
    void keepPendingNow();
    // Typed text found in the recovery file at start, put into the shown card as if typed
    // and saved.
    bool takeRecovered(const std::vector<std::pair<store::Field, QString>>& values,
                       const std::optional<store::TypedExtras>& extras = std::nullopt);

    // Gives the shown card this photo, or none; saved at once with the card's visit. Throws
    // what the store throws.
    void writePhoto(const std::optional<store::Photo>& photo);

    // Each of these commits first and leaves the view as it is when that fails.
    bool showCard(const store::Card& card);
    bool showNoCard();  // empties and locks the boxes
    bool emptyView();   // empties without locking

    void unlockBoxes();

    // The shown card as the view has it, typed text included.
    [[nodiscard]] store::Card viewedCard() const;

    // The field boxes' and blocks' events; true when the event is used up.
    bool boxEvent(int number, QEvent* event);
    bool blockFocusOut();

    // A button or command saved: marks the run and commits.
    bool save();

    // The time that the quiet after a failure message is measured by; tests step it.
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    void setClock(Clock clock) { clock_ = std::move(clock); }

private:
    [[nodiscard]] QLineEdit* box(int number) const;
    [[nodiscard]] std::vector<std::pair<store::Field, QString>> pendingValues() const;
    [[nodiscard]] std::optional<store::TypedExtras> pendingExtras() const;
    struct Pending {
        std::vector<std::pair<store::Field, QString>> values;
        std::optional<store::TypedExtras> extras;
        [[nodiscard]] bool empty() const { return values.empty() && !extras; }
    };
    [[nodiscard]] Pending pending() const { return {pendingValues(), pendingExtras()}; }
    enum class Wait { AsLongAsNeeded, Briefly };
    bool write(const Pending& pending, QString* failure, Wait wait = Wait::AsLongAsNeeded);
    void showExtras(std::int64_t id);
    void extrasLeft();
    void forgetKept();
    void rememberShownValues();
    void clearBoxes(bool lock);
    bool focusOut(int number, QEvent* event);
    void completeSalutation();
    void lookUpTown();
    void tellNotSaved(const QString& reason);
    void tellDateRefused(const QString& reason);
    void blockEdited(std::size_t block);
    void forgetFormatsLost();

    const MainWindowUi& ui_;
    Hooks hooks_;
    store::CardStore* store_ = nullptr;
    std::optional<std::int64_t> shownId_;
    std::int64_t visit_ = 0;  // counts the cards shown; names the undo step of their saves
    std::array<QString, store::kFieldCount> shownValues_{};  // as shown or last saved
    QString postcodeWhenShown_;
    std::array<bool, 2> blockChanged_{};  // address, notes
    store::CardExtras shownExtras_;       // the further details as stored when shown or saved
    store::TypedExtras shownTyped_;       // and as the panel showed them then
    bool extrasRead_ = false;             // false: nothing there may be written
    bool committing_ = false;
    Clock clock_ = [] { return std::chrono::steady_clock::now(); };
    // When the user closed the last failure message.
    std::optional<std::chrono::steady_clock::time_point> toldNotSaved_;
    bool showing_ = false;
    bool toldFormatsLost_ = false;  // for the shown card
    bool salutationArmed_ = true;
    std::filesystem::path storeFile_;
    QTimer keepTimer_;   // typed text reaches the recovery file within a second
    bool kept_ = false;  // this editor wrote the recovery file
};

}  // namespace veltro::mainwindow
