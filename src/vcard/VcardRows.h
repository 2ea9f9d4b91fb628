#pragma once

#include "base/Error.h"
#include "import/PreviewTable.h"
#include "import/RowsAhead.h"

#include <QString>

#include <atomic>
#include <cstdint>

namespace veltro::vcard {

// Thrown by VcardRows when the file could not be read to its end.
class VcardUnreadable : public Error {
public:
    VcardUnreadable() : Error(Kind::File, QStringLiteral("Die Datei lässt sich nicht lesen.")) {}
};

// The rows of a vCard file for an import that writes while the file is still being read:
// the file is read and mapped on threads of their own, and the caller takes the rows one
// by one, in the order of the file.
class VcardRows {
public:
    VcardRows(const QString& path, const QString& category);

    // The next row; false after the last. Throws VcardUnreadable at the end of a file that
    // could not be read, so that nothing of it is imported.
    bool next(import::PreviewRow& row) { return rows_.next(row); }
    // Once next() said false: the cards skipped as broken or without a name.
    [[nodiscard]] std::int64_t skipped() const { return skipped_; }

private:
    std::atomic<std::int64_t> skipped_ = 0;
    import::RowsAhead rows_;  // last: its thread starts when it is made
};

}  // namespace veltro::vcard
