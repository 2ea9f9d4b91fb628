#include "import/TextFile.h"

#include <QFileInfo>

#include <sys/mman.h>
#include <unistd.h>

namespace veltro::import {

namespace {

// A read-only mapping of a whole file; nothing for an empty file or one that cannot be
// mapped (a pipe), which then reads as empty.
struct Mapped {
    std::unique_ptr<QFile> file;
    QByteArrayView bytes;
};

Mapped mapWhole(const QString& path) {
    Mapped mapped{std::make_unique<QFile>(path), {}};
    if (!QFileInfo(path).isFile() || !mapped.file->open(QIODevice::ReadOnly)) {
        mapped.file.reset();
        return mapped;
    }
    const qint64 size = mapped.file->size();
    if (const uchar* data = size > 0 ? mapped.file->map(0, size) : nullptr) {
        mapped.bytes = QByteArrayView(reinterpret_cast<const char*>(data), size);
    }
    return mapped;
}

// Lets the pages before `upTo` go from the process; the system keeps them cached.
void letGo(QByteArrayView bytes, qsizetype upTo) {
    static const auto pageSize = static_cast<qsizetype>(::sysconf(_SC_PAGESIZE));
    const qsizetype pages = upTo / pageSize * pageSize;
    if (pages > 0) {
        // The start of a mapping is page-aligned.
        ::madvise(const_cast<char*>(bytes.data()), static_cast<std::size_t>(pages), MADV_DONTNEED);
    }
}

}  // namespace

std::optional<TextFile> TextFile::open(const QString& path) {
    const Mapped mapped = mapWhole(path);
    if (!mapped.file) {
        return std::nullopt;
    }
    TextFile file;
    file.path_ = path;
    file.facts_ = scanText(mapped.bytes, [&](qsizetype upTo) { letGo(mapped.bytes, upTo); });
    return file;
}

QStringList TextFile::columns(const SplitOptions& options) const {
    TextFileRecords records(*this, options);
    if (!options.useFirstLine) {
        records.skip();
    }
    std::vector<QStringView> fields;
    QStringList columns;
    if (records.next(fields)) {
        for (const QStringView field : fields) {
            columns << field.toString();
        }
    }
    return columns;
}

TextFileRecords::TextFileRecords(const TextFile& file, const SplitOptions& options)
    : facts_(file.facts_), options_(options), decoder_(file.facts_) {
    Mapped mapped = mapWhole(file.path_);
    file_ = std::move(mapped.file);
    bytes_ = mapped.bytes;
    if (!file.facts_.binary && bytes_.size() >= file.facts_.bodyStart) {
        body_ = bytes_.sliced(file.facts_.bodyStart);
    }
    reader_.emplace(QStringView(text_), options_, facts_.crLineEnds);
}

bool TextFileRecords::next(std::vector<QStringView>& fields) {
    return read(&fields);
}

bool TextFileRecords::skip() {
    return read(nullptr);
}

bool TextFileRecords::read(std::vector<QStringView>* fields) {
    for (;;) {
        const qsizetype start = reader_->position();
        const bool got = fields != nullptr ? reader_->next(*fields) : reader_->skip();
        if (!reader_->reachedEnd() || decodedUpTo_ == body_.size()) {
            return got;
        }
        // The record may go on in the next piece: read it again with that piece added.
        readMore(start);
    }
}

void TextFileRecords::readMore(qsizetype keepFrom) {
    const qsizetype end = pieceEnd(body_, decodedUpTo_, facts_);
    QString piece = decoder_.decode(body_.sliced(decodedUpTo_, end - decodedUpTo_));
    // Made anew rather than grown, so that it never holds more than the rest and a piece.
    if (keepFrom == text_.size()) {
        text_ = std::move(piece);
    } else {
        QString joined;
        joined.reserve(text_.size() - keepFrom + piece.size());
        joined.append(QStringView(text_).sliced(keepFrom)).append(piece);
        text_ = std::move(joined);
    }
    decodedUpTo_ = end;
    letGo(bytes_, facts_.bodyStart + decodedUpTo_);
    reader_.emplace(QStringView(text_), options_, facts_.crLineEnds);
}

TextFileRows::TextFileRows(const TextFile& file, const SplitOptions& options,
                           const FieldMapping& mapping)
    : records_(file, options), mapping_(mapping) {
    if (!options.useFirstLine) {
        records_.skip();
    }
}

bool TextFileRows::next(PreviewRow& row) {
    return nextPreviewRow(records_, mapping_, fields_, row);
}

}  // namespace veltro::import
