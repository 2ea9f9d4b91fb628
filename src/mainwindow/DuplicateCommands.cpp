#include "mainwindow/DuplicateCommands.h"

#include "mainwindow/CardEditor.h"
#include "mainwindow/CardList.h"
#include "mainwindow/DuplicatesWindow.h"
#include "mainwindow/StoreGuard.h"
#include "platform/Platform.h"
#include "store/StoreError.h"

#include <set>

namespace veltro::mainwindow {

using duplicates::Group;
using duplicates::MergePlan;

void DuplicateCommands::open() {
    if (!c_.storeOpen()) {
        return;
    }
    show(duplicates::findDuplicates(c_.session.store()));
}

std::vector<Group> DuplicateCommands::groupsAfterImport(std::int64_t lastIdBefore) {
    if (!c_.storeOpen()) {
        return {};
    }
    const auto facts = duplicates::readCardFacts(c_.session.store());
    std::set<std::int64_t> fresh;
    for (const auto& card : facts) {
        if (card.id > lastIdBefore) {
            fresh.insert(card.id);
        }
    }
    if (fresh.empty()) {
        return {};
    }
    return duplicates::groupsAgainst(
        duplicates::findDuplicates(facts, store::notDuplicatePairs(c_.session.store().db())),
        fresh);
}

std::int64_t DuplicateCommands::countAfterImport(std::int64_t lastIdBefore) {
    std::set<std::int64_t> found;
    for (const Group& group : groupsAfterImport(lastIdBefore)) {
        for (const auto id : group.cards) {
            if (id > lastIdBefore) {
                found.insert(id);
            }
        }
    }
    return static_cast<std::int64_t>(found.size());
}

void DuplicateCommands::openAfterImport(std::int64_t lastIdBefore) {
    show(groupsAfterImport(lastIdBefore));
}

void DuplicateCommands::show(std::vector<Group> groups) {
    if (groups.empty()) {
        platform::current().message({QStringLiteral("Es wurden keine doppelten Karten gefunden."),
                                     QStringLiteral("Doppelte Karten"), platform::Buttons::Ok,
                                     platform::Icon::Information, 0});
        return;
    }
    DuplicatesWindow window(
        c_.session.store(), std::move(groups),
        {[this](const std::vector<MergePlan>& plans, std::function<void(bool)> ended) {
             return merge(plans, std::move(ended));
         },
         [this](const Group& group) { return notDuplicates(group); }},
        c_.window);
    window.exec();
}

bool DuplicateCommands::guarded(const QString& name, const std::function<void()>& write) {
    return runGuarded(name, write);
}

bool DuplicateCommands::merge(const std::vector<MergePlan>& plans,
                              std::function<void(bool)> ended) {
    // The view may show one of the cards: what was typed there is written first.
    if (plans.empty() || !c_.storeOpen() || !c_.editor.commit()) {
        return false;
    }
    c_.list.clear();  // the index changes under it when the merge ends
    const auto merged = [this, plans, ended = std::move(ended)](const store::Card&,
                                                                std::exception_ptr failure) {
        if (failure) {
            c_.list.filter();
            guarded(QStringLiteral("Zusammenführen"), [&] { std::rethrow_exception(failure); });
        } else {
            follow(plans);
        }
        ended(!failure);
    };
    bool started = false;
    guarded(QStringLiteral("Zusammenführen"),
            [&] { started = c_.session.startMerge(plans, merged) != nullptr; });
    if (!started) {
        c_.list.filter();
    }
    return started;
}

// The store changed first; now the list, the full-text index and the view.
void DuplicateCommands::follow(const std::vector<MergePlan>& plans) {
    const std::int64_t keep = plans.front().keep;
    const auto shown = c_.editor.shownCardId();
    bool showMerged = shown == keep;
    for (const MergePlan& plan : plans) {
        showMerged = showMerged || shown == plan.other;
    }
    c_.list.filter();
    c_.list.showCount();
    if (showMerged) {
        if (const auto card = c_.session.store().loadCard(keep);
            card && c_.editor.showCard(*card)) {
            c_.list.selectCard(keep);
        }
    }
}

bool DuplicateCommands::notDuplicates(const Group& group) {
    if (!c_.storeOpen()) {
        return false;
    }
    return guarded(QStringLiteral("Keine Dubletten"), [&] { c_.session.markNotDuplicates(group); });
}

}  // namespace veltro::mainwindow
