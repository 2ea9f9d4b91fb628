#include "import/TextSource.h"

#include <QFile>
#include <QFileInfo>

#include <vector>

namespace veltro::import {

namespace {

constexpr std::int64_t kLinesPerPulse = 512;

}  // namespace

std::optional<TextSource> TextSource::load(const QString& path) {
    QFile file(path);
    const QFileInfo info(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // Mapping spares a copy of a large file; an empty file or a pipe cannot be mapped.
    const qint64 size = file.size();
    const uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
    QByteArray read;
    if (mapped == nullptr) {
        read = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            return std::nullopt;
        }
    }
    TextSource source =
        fromBytes(mapped != nullptr ? QByteArrayView(reinterpret_cast<const char*>(mapped), size)
                                    : QByteArrayView(read));
    source.path_ = path;
    source.size_ = info.size();
    source.modified_ = info.lastModified();
    return source;
}

TextSource TextSource::fromBytes(QByteArrayView bytes) {
    TextSource source;
    source.decoded_ = decodeText(bytes);
    return source;
}

bool TextSource::changedOnDisk() const {
    const QFileInfo info(path_);
    return !info.isFile() || info.size() != size_ || info.lastModified() != modified_;
}

ColumnListing TextSource::columns(const SplitOptions& options) const {
    ColumnListing listing;
    RecordReader reader(decoded_.text, options);
    std::vector<QStringView> fields;
    const std::int64_t sample = options.useFirstLine ? 0 : 1;
    for (std::int64_t record = 0;; ++record) {
        const bool read = record == sample ? reader.next(fields) : reader.skip();
        if (!read) {
            break;
        }
        if (record == sample) {
            for (const QStringView field : fields) {
                listing.columns << field.toString();
            }
        }
        ++listing.records;
    }
    return listing;
}

PreviewTable TextSource::preview(const SplitOptions& options, const FieldMapping& mapping,
                                 const Pulse& pulse) const {
    PreviewTable table;
    TextRows rows(*this, options, mapping);
    PreviewRow row;
    while (rows.next(row)) {
        table.rows.push_back(std::move(row));
        const auto done = static_cast<std::int64_t>(table.rows.size());
        if (pulse && done % kLinesPerPulse == 0 && !pulse(done)) {
            table.complete = false;
            break;
        }
    }
    return table;
}

TextRows::TextRows(const TextSource& source, const SplitOptions& options,
                   const FieldMapping& mapping)
    : reader_(source.decoded_.text, options), mapping_(mapping) {
    if (!options.useFirstLine) {
        reader_.skip();
    }
}

bool TextRows::next(PreviewRow& row) {
    return nextPreviewRow(reader_, mapping_, fields_, row);
}

}  // namespace veltro::import
