#pragma once

#include "import/FieldMapping.h"
#include "import/PreviewTable.h"
#include "import/RecordReader.h"
#include "import/TextDecoding.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace veltro::import {

// A CSV or text file read a piece at a time, so that an import of a large file never holds
// its whole text: what the command line imports. Decodes, splits and maps exactly as
// TextSource does with the whole text.
class TextFile {
public:
    // Nothing when the file cannot be read.
    [[nodiscard]] static std::optional<TextFile> open(const QString& path);

    [[nodiscard]] bool isText() const { return !facts_.binary; }
    [[nodiscard]] std::int64_t invalidLines() const { return facts_.invalidLines; }
    // The fields of the sample record, as TextSource::columns() lists them.
    [[nodiscard]] QStringList columns(const SplitOptions& options) const;

private:
    friend class TextFileRecords;
    QString path_;
    TextFacts facts_;
};

// The records of a TextFile, one at a time.
class TextFileRecords {
public:
    TextFileRecords(const TextFile& file, const SplitOptions& options);
    // The views stay valid until the next call.
    bool next(std::vector<QStringView>& fields);
    bool skip();

private:
    bool read(std::vector<QStringView>* fields);
    // Adds the next piece of the file after the current text from `keepFrom` on.
    void readMore(qsizetype keepFrom);

    std::unique_ptr<QFile> file_;
    QByteArrayView bytes_;  // the whole file
    QByteArrayView body_;   // after the byte-order mark
    qsizetype decodedUpTo_ = 0;
    TextFacts facts_;
    SplitOptions options_;
    PieceDecoder decoder_;
    QString text_;
    std::optional<RecordReader> reader_;
};

// The rows of TextSource::preview() from a TextFile, one at a time.
class TextFileRows {
public:
    TextFileRows(const TextFile& file, const SplitOptions& options, const FieldMapping& mapping);
    // False after the last record.
    bool next(PreviewRow& row);

private:
    TextFileRecords records_;
    const FieldMapping& mapping_;
    std::vector<QStringView> fields_;
};

}  // namespace veltro::import
