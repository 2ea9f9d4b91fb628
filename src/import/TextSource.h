#pragma once

#include "import/FieldMapping.h"
#include "import/PreviewTable.h"
#include "import/RecordReader.h"
#include "import/TextDecoding.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace veltro::import {

struct ColumnListing {
    QStringList columns;       // the fields of the sample record, in order
    std::int64_t records = 0;  // every record of the file, a header line included
};

// A CSV or text file, read and decoded as a whole.
class TextSource {
public:
    // Nothing when the file cannot be read.
    [[nodiscard]] static std::optional<TextSource> load(const QString& path);
    [[nodiscard]] static TextSource fromBytes(QByteArrayView bytes);

    [[nodiscard]] const QString& path() const { return path_; }
    [[nodiscard]] TextEncoding encoding() const { return decoded_.encoding; }
    [[nodiscard]] const QString& text() const { return decoded_.text; }
    // False for a binary file, which gives no columns and no records.
    [[nodiscard]] bool isText() const { return !decoded_.binary; }
    // Lines that held bytes of no valid character; see DecodedText.
    [[nodiscard]] std::int64_t invalidLines() const { return decoded_.invalidLines; }
    // True when the file on disk is no longer the one that was read.
    [[nodiscard]] bool changedOnDisk() const;

    // The columns of the sample record: the first, or the second when the first is a
    // header line that is skipped. A file without such a record lists no columns.
    [[nodiscard]] ColumnListing columns(const SplitOptions& options) const;

    // One row per record, the skipped header line aside. A mapped column that a record
    // lacks gives "-", like an empty field.
    [[nodiscard]] PreviewTable preview(const SplitOptions& options, const FieldMapping& mapping,
                                       const Pulse& pulse = {}) const;

private:
    friend class TextRows;
    QString path_;
    qint64 size_ = -1;
    QDateTime modified_;
    DecodedText decoded_;
};

// The rows of TextSource::preview(), made one at a time, so that an import of a large file
// never holds them all. The source and the mapping must outlive it.
class TextRows {
public:
    TextRows(const TextSource& source, const SplitOptions& options, const FieldMapping& mapping);
    // False after the last record.
    bool next(PreviewRow& row);

private:
    RecordReader reader_;
    const FieldMapping& mapping_;
    std::vector<QStringView> fields_;
};

}  // namespace veltro::import
