#pragma once

#include "session/Session.h"

#include <QString>

#include <cstdint>
#include <filesystem>

namespace veltro::import {

// What the import dialog needs from the main window.
class ImportHost {
public:
    virtual ~ImportHost() = default;

    // The card store file the cards are written to.
    [[nodiscard]] virtual std::filesystem::path storeFile() const = 0;
    // The text of the category selector; "-Alle-" when all categories are shown.
    [[nodiscard]] virtual QString selectedCategory() const = 0;
    // Sets the change flag, so the exit asks whether the run's changes are kept.
    virtual void setChanged() = 0;
    // Reloads all cards into the card list after an import.
    virtual void ImportCommand1() = 0;
    // Runs the import's writing off the window's thread; the host takes no input meanwhile.
    // Nothing when other work runs.
    virtual session::Task* startImport(session::Session::StoreWork work, session::Task::Done done,
                                       session::Task::Progress progress) = 0;
    // After a run: how many of the cards it wrote look like cards there before.
    [[nodiscard]] virtual std::int64_t duplicatesOfImport() { return 0; }
    // Shows those cards beside the ones they look like.
    virtual void showDuplicatesOfImport() {}
    // The name under which the run is one step of the undo log; empty for none.
    [[nodiscard]] virtual QString undoStepName() const { return {}; }
};

}  // namespace veltro::import
