#pragma once

#include "import/FieldMapping.h"
#include "import/PreviewTable.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace veltro::import {

struct AccessTable {
    QString name;
    QStringList columns;  // in table order
};

struct AccessListing {
    std::vector<AccessTable> tables;
    bool complete = false;  // false: the file could not be read, or only in part
};

// False for the engine's own "MSys…" tables (the prefix as written) and for the
// "Einfügefehler" table in which Access keeps rows that a past import could not take.
[[nodiscard]] bool isUserTable(const QString& name);

// An Access database file (.mdb), read through mdbtools in a child process: a damaged file
// gives a failed or partial read, never a crash or a hang.
class AccessSource {
public:
    // Gives up when the reader stays silent this long.
    explicit AccessSource(QString path,
                          std::chrono::milliseconds patience = std::chrono::seconds(10));

    // The user's tables (isUserTable), sorted by name without regard to case.
    [[nodiscard]] AccessListing tables(const std::function<bool()>& onWait = {}) const;

    // One row per record of the table whose column mapped to "Karte" holds a value; the
    // mapping names its source columns by their captions, the column names. onCount gets
    // the number of such records before the rows come. The preview's count compares the
    // records read with those the table declares.
    [[nodiscard]] PreviewTable preview(const QString& table, const FieldMapping& mapping,
                                       const std::function<void(std::int64_t)>& onCount = {},
                                       const Pulse& pulse = {}) const;

    [[nodiscard]] const QString& path() const { return path_; }

private:
    QString path_;
    std::chrono::milliseconds patience_;
};

}  // namespace veltro::import
