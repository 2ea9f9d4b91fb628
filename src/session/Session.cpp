#include "session/Session.h"

#include "backup/Restore.h"
#include "backup/Rotation.h"
#include "store/Categories.h"
#include "store/DataDirectory.h"
#include "store/DuplicateDecisions.h"
#include "store/Schema.h"
#include "store/Snapshot.h"
#include "store/StoreError.h"

#include <unordered_set>

namespace veltro::session {

namespace {

// Beyond this many cards the indexes are read again rather than changed card by card.
constexpr std::size_t kCardByCard = 200;

}  // namespace

Session::Session(Notices notices)
    : notices_(std::move(notices)),
      fullText_([this] {
          if (notices_.fullTextBuilt) {
              notices_.fullTextBuilt();
          }
      }),
      backups_(
          [this](const QString& text, bool failed) {
              if (notices_.backup) {
                  notices_.backup(text, failed);
              }
          },
          nullptr) {}

Session::~Session() {
    work_.reset();  // stops the work and waits for it
    fullText_.cancel();
}

std::filesystem::path Session::storeFile() const {
    return store_ ? store_->file() : directory_ / store::kStoreFileName;
}

void Session::openStore(const std::filesystem::path& file) {
    store_ = store::CardStore::open(file);
    backups_.afterUnfinishedRun(store_->db());
    store::Snapshot::take(store_->db());
}

void Session::open(const std::filesystem::path& directory,
                   std::optional<store::CardIndex> preloaded) {
    directory_ = directory;
    try {
        openStore(directory / store::kStoreFileName);
        if (preloaded) {
            index_ = std::move(*preloaded);
        } else {
            index_.load(*store_);
        }
    } catch (...) {
        store_.reset();
        throw;
    }
}

void Session::close() {
    finishWork();
    fullText_.cancel();
    store_.reset();
}

Session::Busy::Busy(Session& session, RunState state) : session_(session), before_(session.state_) {
    session_.setState(state);
}

Session::Busy::~Busy() {
    session_.setState(before_);
}

void Session::setState(RunState state) {
    if (state_ == state) {
        return;
    }
    state_ = state;
    if (notices_.stateChanged) {
        notices_.stateChanged(state);
    }
}

void Session::beforeChange(backup::Occasion occasion) {
    if (store_) {
        backups_.beforeChange(store_->file(), occasion);
    }
}

maintenance::NewCard Session::addCard(const QString& heading, const QString& category) {
    markChanged();
    if (store::isAllCategories(category) || heading.isEmpty()) {
        return {};
    }
    beforeChange(backup::Occasion::Change);
    store::UndoStep step(store_->db(), QStringLiteral("Neue Karte"));
    maintenance::NewCard result = maintenance::addCard(*store_, index_, heading, category);
    step.commit();
    if (result.id) {
        index_.insert({*result.id, heading, category});
        cardWritten(*result.id);
    }
    return result;
}

bool Session::renameCard(std::int64_t id, const QString& heading) {
    markChanged();
    if (heading.isEmpty() || index_.idOfHeading(heading)) {
        return false;
    }
    beforeChange(backup::Occasion::Change);
    store::UndoStep step(store_->db(), QStringLiteral("Karte umbenennen"));
    maintenance::renameCard(*store_, id, heading, {});
    step.commit();
    index_.rename(id, heading);
    cardWritten(id);
    return true;
}

void Session::deleteCard(std::int64_t id) {
    markChanged();
    beforeChange(backup::Occasion::Change);
    store::UndoStep step(store_->db(), QStringLiteral("Karte löschen"));
    store_->deleteCard(id);
    step.commit();
    index_.remove(id);
    cardWritten(id);
}

void Session::assignCategory(const QString& heading, const QString& category) {
    markChanged();
    beforeChange(backup::Occasion::Change);
    store::UndoStep step(store_->db(), QStringLiteral("Andere Kategorie zuweisen"));
    maintenance::assignCategory(*store_, heading, category);
    step.commit();
    reloadIndexes();
}

bool Session::addCategory(const QString& name) {
    markChanged();
    if (name.isEmpty() || store::isAllCategories(name) ||
        maintenance::categoryExists(*store_, name)) {
        return false;
    }
    beforeChange(backup::Occasion::Change);
    store::UndoStep step(store_->db(), QStringLiteral("Neue Kategorie"));
    store_->addCategory(name);
    step.commit();
    return true;
}

bool Session::renameCategory(const QString& oldName, const QString& newName) {
    markChanged();
    if (newName.isEmpty() || store::isAllCategories(newName) ||
        maintenance::categoryExists(*store_, newName)) {
        return false;
    }
    beforeChange(backup::Occasion::CategoryChange);
    store::UndoStep step(store_->db(), QStringLiteral("Kategorie umbenennen"));
    maintenance::renameCategory(*store_, oldName, newName);
    step.commit();
    reloadIndexes();
    return true;
}

void Session::deleteCategory(const QString& name) {
    markChanged();
    beforeChange(backup::Occasion::CategoryChange);
    store::UndoStep step(store_->db(), QStringLiteral("Kategorie löschen"));
    maintenance::deleteCategory(*store_, name);
    step.commit();
    reloadIndexes();
}

Task* Session::startMerge(const std::vector<duplicates::MergePlan>& plans, MergeDone done) {
    if (work_ || !store_ || plans.empty()) {
        return nullptr;
    }
    markChanged();
    workState_ = std::make_unique<Busy>(*this, RunState::Merging);
    beforeChange(backup::Occasion::Change);
    auto merged = std::make_shared<store::Card>();
    auto run = [plans, merged, file = store_->file()](TaskControl&) {
        store::CardStore cards = store::CardStore::open(file);
        // However many cards go into one, the merge is one step to undo.
        store::UndoStep step(cards.db(), QStringLiteral("Karten zusammenführen"));
        *merged = duplicates::mergeCards(cards, plans);
        step.commit();
    };
    auto end = [this, plans, merged, done = std::move(done)](const std::exception_ptr& failure) {
        endedWork_ = std::move(work_);  // this runs inside it: it goes with the next one
        if (!failure) {
            for (const duplicates::MergePlan& plan : plans) {
                index_.remove(plan.other);
                cardWritten(plan.other);
            }
            const std::int64_t keep = plans.front().keep;
            index_.remove(keep);
            index_.insert({keep, merged->text(store::Field::Schlagworte),
                           merged->text(store::Field::Kategorien)});
            cardWritten(keep);
        }
        workState_.reset();
        if (done) {
            done(*merged, failure);
        }
    };
    work_ = std::make_unique<Task>(std::move(run), std::move(end));
    return work_.get();
}

store::Card Session::merge(const std::vector<duplicates::MergePlan>& plans) {
    store::Card merged;
    std::exception_ptr failure;
    if (startMerge(plans, [&](const store::Card& card, std::exception_ptr e) {
            merged = card;
            failure = std::move(e);
        }) == nullptr) {
        return merged;
    }
    finishWork();
    if (failure) {
        std::rethrow_exception(failure);
    }
    return merged;
}

void Session::markNotDuplicates(const duplicates::Group& group) {
    markChanged();
    store::Transaction tx(store_->db());
    for (const auto& pair : group.pairs) {
        store::markNotDuplicates(store_->db(), pair.a, pair.b);
    }
    tx.commit();
}

void Session::cardWritten(std::int64_t id) {
    if (store_) {
        fullText_.changed(*store_, id);
    }
}

void Session::reloadIndexes() {
    index_.load(*store_);
    fullText_.refresh(*store_);
}

std::optional<QString> Session::undoName() {
    return store_ ? store::UndoLog::undoName(store_->db()) : std::nullopt;
}

std::optional<QString> Session::redoName() {
    return store_ ? store::UndoLog::redoName(store_->db()) : std::nullopt;
}

std::optional<store::StepChanges> Session::undo() {
    return turn([](store::Database& db) { return store::UndoLog::undo(db); });
}

std::optional<store::StepChanges> Session::redo() {
    return turn([](store::Database& db) { return store::UndoLog::redo(db); });
}

std::optional<store::StepChanges> Session::turn(
    const std::function<std::optional<store::StepChanges>(store::Database&)>& step) {
    auto changes = store_ ? step(store_->db()) : std::nullopt;
    if (!changes) {
        return changes;
    }
    markChanged();
    if (changes->categories || changes->cards.size() > kCardByCard) {
        reloadIndexes();
        return changes;
    }
    for (const std::int64_t id : changes->cards) {
        index_.remove(id);
        const auto card = store_->loadCard(id);
        if (card && card->value(store::Field::Schlagworte)) {
            index_.insert(
                {id, card->text(store::Field::Schlagworte), card->text(store::Field::Kategorien)});
        }
        cardWritten(id);
    }
    return changes;
}

void Session::endWork(bool changedHere, std::exception_ptr& failure) {
    endedWork_ = std::move(work_);  // this runs inside it: it goes with the next one
    if (changedHere) {
        try {
            reloadIndexes();
        } catch (const store::StoreError&) {
            failure = failure ? failure : std::current_exception();
        }
    }
    workState_.reset();
}

Task* Session::startWork(RunState state, backup::Occasion occasion, StoreWork work, Task::Done done,
                         Task::Progress progress) {
    if (work_ || !store_) {
        return nullptr;
    }
    markChanged();
    workState_ = std::make_unique<Busy>(*this, state);
    beforeChange(occasion);
    auto run = [work = std::move(work), file = store_->file()](TaskControl& control) {
        work(file, control);
    };
    auto end = [this, done = std::move(done)](std::exception_ptr failure) {
        endWork(true, failure);
        if (done) {
            done(failure);
        }
    };
    work_ = std::make_unique<Task>(std::move(run), std::move(end), std::move(progress));
    return work_.get();
}

void Session::finishWork() {
    if (work_) {
        work_->finish();
    }
}

std::filesystem::path Session::restore(const std::filesystem::path& backupFile) {
    std::filesystem::path replaced;
    std::exception_ptr failure;
    if (startRestore(backupFile, [&](const std::filesystem::path& file, std::exception_ptr e) {
            replaced = file;
            failure = std::move(e);
        }) == nullptr) {
        return {};
    }
    finishWork();
    if (failure) {
        std::rethrow_exception(failure);
    }
    return replaced;
}

Task* Session::startRestore(const std::filesystem::path& backupFile, RestoreDone done) {
    if (work_ || !store_) {
        return nullptr;
    }
    workState_ = std::make_unique<Busy>(*this, RunState::Restoring);
    const std::filesystem::path file = storeFile();
    fullText_.cancel();
    store_.reset();
    auto replaced = std::make_shared<std::filesystem::path>();
    auto copy = [file, backupFile, replaced, now = backups_.now(),
                 keep = backup::keepPolicyFromSettings()](TaskControl&) {
        *replaced = backup::restoreBackup(file, backupFile, now, keep);
    };
    auto end = [this, file, replaced, done = std::move(done)](std::exception_ptr failure) {
        endedWork_ = std::move(work_);  // this runs inside it: it goes with the next one
        try {
            reopenAfterRestore(file);
        } catch (...) {
            failure = std::current_exception();  // the session stays closed
        }
        if (!failure) {
            restoredAs_ = QString::fromStdString(replaced->filename().string());
            markChanged();  // the exit question then says that the restore stays
        }
        workState_.reset();
        if (done) {
            done(*replaced, failure);
        }
    };
    work_ = std::make_unique<Task>(std::move(copy), std::move(end));
    return work_.get();
}

void Session::reopenAfterRestore(const std::filesystem::path& file) {
    // A run begins anew on what the store now holds, restored or as it was.
    openStore(file);
    index_.load(*store_);
    fullText_.restart(file);
}

void Session::keep() {
    // The program ends without waiting for the copy of the run's start: the run's notes stay,
    // and the next start makes that backup from them, as after a run that was stopped.
    if (!backups_.stopCopiesOfTheStart()) {
        return;
    }
    store::Snapshot::keep(store_->db());
}

void Session::discard(const std::function<void(int)>& afterStatement) {
    // The store goes back to the run's start: a copy of it is not waited for.
    (void)backups_.stopCopiesOfTheStart();
    store::Snapshot::discard(store_->db(), afterStatement);
}

}  // namespace veltro::session
