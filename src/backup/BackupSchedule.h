#pragma once

#include <QDateTime>

#include <optional>

namespace veltro::backup {

// What a backup is taken before.
enum class Occasion {
    Change,          // any change of the cards: the first of the run, then once a day
    Import,          // always
    CategoryChange,  // renaming or deleting a category: always
    Sync,            // a sync that changes cards here: always
};

// When the running program backs the store up.
class BackupSchedule {
public:
    [[nodiscard]] bool due(Occasion occasion, const QDateTime& now) const {
        return occasion != Occasion::Change || !last_ || last_->date() != now.date();
    }
    void taken(const QDateTime& now) { last_ = now; }
    // Whether the run has taken a backup yet.
    [[nodiscard]] bool takenBefore() const { return last_.has_value(); }

private:
    std::optional<QDateTime> last_;
};

}  // namespace veltro::backup
