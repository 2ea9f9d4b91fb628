#pragma once

#include "import/PreviewTable.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace veltro::vcard {

// Thrown by VcardRows when the file could not be read to its end.
class VcardUnreadable : public std::runtime_error {
public:
    VcardUnreadable() : std::runtime_error("Die Datei lässt sich nicht lesen.") {}
};

// The rows of a vCard file for an import that writes while the file is still being read:
// the file is read and mapped on threads of their own, and the caller takes the rows one
// by one, in the order of the file.
class VcardRows {
public:
    VcardRows(const QString& path, const QString& category);
    VcardRows(const VcardRows&) = delete;
    VcardRows& operator=(const VcardRows&) = delete;
    ~VcardRows();

    // The next row; false after the last. Throws VcardUnreadable at the end of a file that
    // could not be read, so that nothing of it is imported.
    bool next(import::PreviewRow& row);
    // Once next() said false: the cards skipped as broken or without a name.
    [[nodiscard]] std::int64_t skipped() const;

private:
    struct Queue;
    std::shared_ptr<Queue> queue_;
    std::thread reader_;
    std::vector<import::PreviewRow> chunk_;
    std::size_t taken_ = 0;
};

}  // namespace veltro::vcard
