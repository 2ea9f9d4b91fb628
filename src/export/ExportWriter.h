#pragma once

#include "base/Error.h"
#include "export/CsvPresets.h"
#include "export/ExportColumns.h"
#include "export/ExportEncoder.h"
#include "export/ExportOptions.h"
#include "store/CardExtrasTable.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QIODevice;

namespace veltro::store {
class CardStore;
class Statement;
}  // namespace veltro::store

namespace veltro::exporting {

// The target refused bytes (disk full, device gone): the reason in German, the device's
// own text as the detail.
class ExportError : public Error {
public:
    explicit ExportError(const QIODevice& device);
    // A reason already in German, such as the atomic file's.
    explicit ExportError(const QString& reason);
};

// Writes all the bytes; false when the device failed, its error telling why. A write the
// disk takes only in part is no error to Qt; writing the rest then fails with the system's
// reason. Meant for unbuffered files: Qt's own buffer may lose such a failure.
[[nodiscard]] bool writeAll(QIODevice& device, const QByteArray& bytes);

// Called between batches with the cards written so far and the expected total; returning
// false stops the export. No read lock is held while it runs, so the caller may let the
// main window go on writing to the store.
using ProgressCallback = std::function<bool(std::int64_t done, std::int64_t total)>;

struct ExportSummary {
    std::int64_t cards = 0;
    std::int64_t replacedCharacters = 0;  // written as "?" (Windows-1252 only)
};

// Streams every card with a heading, in store order, to a device: a header line, then one
// record a card, every column quoted, lines ending in CR LF. Memory stays flat however
// many cards there are. With a preset the columns are those of the other program.
class ExportWriter {
public:
    ExportWriter(store::CardStore& store, ExportOptions options);

    // How many cards an export writes.
    [[nodiscard]] std::int64_t cardCount();

    // Writes the whole file; nothing when progress asked to stop. Throws ExportError when
    // the device fails and store::StoreError when the store cannot be read.
    std::optional<ExportSummary> write(QIODevice& device, const ProgressCallback& progress = {});

private:
    // The columns of a batch as read: their UTF-8 bytes one after the other and where each
    // ends. They become text only when encoded, on either thread.
    struct Cells {
        std::string bytes;
        std::vector<std::size_t> ends;

        [[nodiscard]] std::string_view at(std::size_t i) const {
            const std::size_t start = i == 0 ? 0 : ends[i - 1];
            return std::string_view(bytes).substr(start, ends[i] - start);
        }
    };

    void appendHeader();
    // Reads the batch after lastRow: its cells, or with a preset its records into the buffer.
    int readBatch(store::Statement& batch, std::int64_t& lastRow, Cells& cells);
    void readRecord(const store::Statement& row, Cells& cells) const;
    // Encodes whole records, the first part on a second thread while this one calls
    // readNext, whose result it returns, and then encodes the rest.
    int appendRecords(const Cells& cells, const std::function<int()>& readNext);
    void balance(std::chrono::steady_clock::duration reading,
                 std::chrono::steady_clock::duration encoding);
    // Cells [first, last) of the batch.
    void encodeRecords(const Cells& cells, std::size_t first, std::size_t last,
                       ExportEncoder& encoder, QByteArray& out) const;
    [[nodiscard]] QString cellText(store::Field field, std::string_view utf8) const;
    void appendPresetRecord(const store::Statement& row);
    void appendSeparatorAfter(std::size_t column, ExportEncoder& encoder, QByteArray& out) const;
    [[nodiscard]] QString columnText(store::Field field, QString stored) const;
    void flush(QIODevice& device);

    store::CardStore& store_;
    ExportOptions options_;
    std::span<const ExportColumn> columns_;
    std::span<const PresetColumn> presetColumns_;
    std::optional<store::CardExtrasReader> extras_;  // with a preset only
    ExportEncoder encoder_;
    ExportEncoder helperEncoder_;  // the second thread's
    QByteArray buffer_;
    QByteArray helperBuffer_;
    double helperShare_ = 0.5;  // of the records of a batch that the helper encodes
};

}  // namespace veltro::exporting
