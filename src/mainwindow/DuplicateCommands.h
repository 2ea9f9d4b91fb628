#pragma once

#include "duplicates/CardMerge.h"
#include "duplicates/DuplicateFinder.h"
#include "mainwindow/CommandContext.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace veltro::mainwindow {

// "Doppelte Karten suchen…": searches the store, shows the window, and after a merge
// brings the card list, the full-text index and the card view in step with the store.
class DuplicateCommands {
public:
    explicit DuplicateCommands(CommandContext context) : c_(context) {}

    // All groups of the store.
    void open();
    // Only the groups in which cards with a row id above this one meet cards there before:
    // what an import brought.
    void openAfterImport(std::int64_t lastIdBefore);
    // How many cards with a row id above this one look like cards there before.
    [[nodiscard]] std::int64_t countAfterImport(std::int64_t lastIdBefore);

    // Makes one card of several on the session's thread; false after telling the user why
    // it did not begin. `ended` hears whether it merged (a failure has been told).
    bool merge(const std::vector<duplicates::MergePlan>& plans,
               std::function<void(bool merged)> ended);
    bool notDuplicates(const duplicates::Group& group);

private:
    [[nodiscard]] std::vector<duplicates::Group> groupsAfterImport(std::int64_t lastIdBefore);
    void show(std::vector<duplicates::Group> groups);
    void follow(const std::vector<duplicates::MergePlan>& plans);
    bool guarded(const QString& name, const std::function<void()>& write);

    CommandContext c_;
};

}  // namespace veltro::mainwindow
