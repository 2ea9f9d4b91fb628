#include "export/ExportWriter.h"

#include "base/SystemReason.h"
#include "richtext/StoredText.h"
#include "store/CardStore.h"
#include "store/FoldedUtf8.h"

#include <QFileDevice>
#include <QIODevice>

#include <algorithm>
#include <chrono>
#include <future>
#include <string>

namespace veltro::exporting {

namespace {

// Cards read per statement; between batches the store is not locked.
constexpr int kBatchSize = 500;
constexpr qsizetype kFlushSize = qsizetype{256} * 1024;
const QString kLineEnd = QStringLiteral("\r\n");

// A preset reads every field, in table order.
std::string batchSql(std::span<const ExportColumn> columns, bool allFields) {
    std::string sql = "SELECT rowid";
    if (allFields) {
        sql += ", " + store::cardColumnList();
    }
    for (const auto& column : allFields ? std::span<const ExportColumn>() : columns) {
        sql += ", \"";
        sql += store::kColumnNames[store::index(column.field)];
        sql += '"';
    }
    return sql +
           " FROM Kontakte WHERE Schlagworte IS NOT NULL AND rowid > ?1 ORDER BY rowid "
           "LIMIT ?2";
}

bool isRichTextField(store::Field field) {
    return field == store::Field::Anschrift || field == store::Field::Notizen;
}

}  // namespace

ExportWriter::ExportWriter(store::CardStore& store, ExportOptions options)
    : store_(store),
      options_(std::move(options)),
      columns_(exportColumns(options_.format)),
      presetColumns_(presetColumns(options_.preset)),
      encoder_(options_.encoding),
      helperEncoder_(options_.encoding) {
    if (!presetColumns_.empty()) {
        options_.separator = QStringLiteral(",");
        extras_.emplace(store_.db());
    }
}

std::int64_t ExportWriter::cardCount() {
    return store_.cardCount();
}

std::optional<ExportSummary> ExportWriter::write(QIODevice& device,
                                                 const ProgressCallback& progress) {
    const std::int64_t total = cardCount();
    buffer_.clear();
    buffer_.reserve(kFlushSize + qsizetype{64} * 1024);
    buffer_ += encoder_.preamble();
    appendHeader();

    auto batch = store_.db().prepare(batchSql(columns_, !presetColumns_.empty()));
    std::int64_t lastRow = 0;
    std::int64_t done = 0;
    Cells cells;
    Cells next;
    int rows = readBatch(batch, lastRow, cells);
    for (bool more = true; more;) {
        more = rows == kBatchSize;
        done += rows;
        // The next batch is read while this one is encoded.
        rows = appendRecords(cells, [&] { return more ? readBatch(batch, lastRow, next) : 0; });
        std::swap(cells, next);
        if (buffer_.size() >= kFlushSize) {
            flush(device);
        }
        if (progress && !progress(done, std::max(total, done))) {
            return std::nullopt;
        }
    }
    flush(device);
    return ExportSummary{done, encoder_.replacedCount() + helperEncoder_.replacedCount()};
}

int ExportWriter::readBatch(store::Statement& batch, std::int64_t& lastRow, Cells& cells) {
    batch.reset();
    batch.bind(1, lastRow).bind(2, std::int64_t{kBatchSize});
    int rows = 0;
    cells.bytes.clear();
    cells.ends.clear();
    while (batch.step()) {
        lastRow = batch.integer(0);
        if (presetColumns_.empty()) {
            readRecord(batch, cells);
        } else {
            appendPresetRecord(batch);
        }
        ++rows;
    }
    batch.reset();  // releases the read lock before anyone else gets a turn
    return rows;
}

void ExportWriter::appendHeader() {
    if (!presetColumns_.empty()) {
        for (std::size_t i = 0; i < presetColumns_.size(); ++i) {
            encoder_.appendQuoted(buffer_, presetColumns_[i].header);
            appendSeparatorAfter(i, encoder_, buffer_);
        }
        return;
    }
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        encoder_.appendQuoted(buffer_, columns_[i].header);
        appendSeparatorAfter(i, encoder_, buffer_);
    }
}

void ExportWriter::readRecord(const store::Statement& row, Cells& cells) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        // Column 0 of the row is the row id; a Null field is empty text.
        cells.bytes += row.utf8(static_cast<int>(i + 1));
        cells.ends.push_back(cells.bytes.size());
    }
}

int ExportWriter::appendRecords(const Cells& cells, const std::function<int()>& readNext) {
    if (cells.ends.empty()) {
        return readNext();
    }
    using Clock = std::chrono::steady_clock;
    const std::size_t records = cells.ends.size() / columns_.size();
    const auto helped = static_cast<std::size_t>(static_cast<double>(records) * helperShare_);
    const std::size_t split = helped * columns_.size();
    helperBuffer_.resize(0);
    Clock::duration helperTime{};
    auto helper = std::async(std::launch::async, [&] {
        const auto start = Clock::now();
        encodeRecords(cells, 0, split, helperEncoder_, helperBuffer_);
        helperTime = Clock::now() - start;
    });
    const auto readStart = Clock::now();
    const int rows = readNext();
    const auto encodeStart = Clock::now();
    QByteArray rest;
    encodeRecords(cells, split, cells.ends.size(), encoder_, rest);
    const auto encodeEnd = Clock::now();
    helper.get();
    buffer_ += helperBuffer_;
    buffer_ += rest;
    balance(encodeStart - readStart, helperTime + (encodeEnd - encodeStart));
    return rows;
}

// Both threads should finish together: the helper takes so much of the encoding that it
// needs as long as the reading and the rest of the encoding here.
void ExportWriter::balance(std::chrono::steady_clock::duration reading,
                           std::chrono::steady_clock::duration encoding) {
    const double read = std::chrono::duration<double>(reading).count();
    const double encode = std::chrono::duration<double>(encoding).count();
    if (encode <= 0) {
        return;
    }
    const double ideal = std::clamp((read + encode) / (2 * encode), 0.5, 0.95);
    helperShare_ = (helperShare_ + ideal) / 2;
}

void ExportWriter::encodeRecords(const Cells& cells, std::size_t first, std::size_t last,
                                 ExportEncoder& encoder, QByteArray& out) const {
    for (std::size_t at = first; at < last; ++at) {
        const std::size_t column = at % columns_.size();
        const store::Field field = columns_[column].field;
        const std::string_view bytes = cells.at(at);
        // Most columns are ASCII kept as they are: no detour through UTF-16.
        if ((!isRichTextField(field) || options_.keepRichText) &&
            QtPrivate::isAscii(
                QLatin1StringView(bytes.data(), static_cast<qsizetype>(bytes.size())))) {
            encoder.appendQuotedAscii(out, bytes);
        } else {
            encoder.appendQuoted(out, cellText(field, bytes));
        }
        appendSeparatorAfter(column, encoder, out);
    }
}

QString ExportWriter::cellText(store::Field field, std::string_view utf8) const {
    if (isRichTextField(field) && !options_.keepRichText && store::isValidUtf8(utf8)) {
        // The RTF is read from the engine's bytes without a copy as UTF-16 first.
        return richtext::plainTextFromStoredUtf8(utf8, richtext::LineBreak::CrLf);
    }
    return columnText(field, QString::fromUtf8(utf8));
}

void ExportWriter::appendPresetRecord(const store::Statement& row) {
    store::Card card;
    for (std::size_t field = 0; field < store::kFieldCount; ++field) {
        card.values[field] = row.text(static_cast<int>(field) + 1);
    }
    const std::vector<QString> values =
        presetRow(presetColumns_, card, extras_->read(row.integer(0)));
    for (std::size_t i = 0; i < values.size(); ++i) {
        encoder_.appendQuoted(buffer_, values[i]);
        appendSeparatorAfter(i, encoder_, buffer_);
    }
}

void ExportWriter::appendSeparatorAfter(std::size_t column, ExportEncoder& encoder,
                                        QByteArray& out) const {
    const std::size_t count = presetColumns_.empty() ? columns_.size() : presetColumns_.size();
    encoder.append(out,
                   column + 1 < count ? QStringView(options_.separator) : QStringView(kLineEnd));
}

QString ExportWriter::columnText(store::Field field, QString stored) const {
    if (!isRichTextField(field) || options_.keepRichText || stored.isEmpty()) {
        return stored;
    }
    return richtext::plainTextFromStored(stored, richtext::LineBreak::CrLf);
}

namespace {

QString writeReason(const QIODevice& device) {
    if (const auto* file = qobject_cast<const QFileDevice*>(&device)) {
        return germanFileReason(*file);
    }
    return QStringLiteral("Beim Schreiben trat ein Fehler auf.");
}

}  // namespace

ExportError::ExportError(const QIODevice& device)
    : Error(Kind::File,
            QStringLiteral("Die Datei lässt sich nicht schreiben:\n%1").arg(writeReason(device)),
            device.errorString().toStdString()) {}

ExportError::ExportError(const QString& reason)
    : Error(Kind::File, QStringLiteral("Die Datei lässt sich nicht schreiben:\n%1").arg(reason),
            reason.toStdString()) {}

bool writeAll(QIODevice& device, const QByteArray& bytes) {
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = device.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            return false;
        }
        done += written;
    }
    return true;
}

void ExportWriter::flush(QIODevice& device) {
    if (buffer_.isEmpty()) {
        return;
    }
    if (!writeAll(device, buffer_)) {
        throw ExportError(device);
    }
    buffer_.resize(0);  // keeps the capacity for the next batch
}

}  // namespace veltro::exporting
