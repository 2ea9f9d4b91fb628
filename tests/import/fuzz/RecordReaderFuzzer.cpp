// libFuzzer target: any bytes through the encoding detection and the record reader, with
// and without quotes and with several separators. Skipping must step over the same records
// that reading yields, and no field is ever empty. Then the bytes, cut into fields and
// records, are written as quoted CSV and must read back field for field.
#include "import/RecordReader.h"
#include "import/TextDecoding.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace veltro::import;

namespace {

using Records = std::vector<std::vector<QString>>;

Records readAll(const QString& text, const SplitOptions& options) {
    RecordReader reader(text, options);
    Records records;
    std::vector<QString> fields;
    while (reader.next(fields)) {
        records.push_back(fields);
    }
    return records;
}

void checkReading(const QString& text, const SplitOptions& options) {
    const Records records = readAll(text, options);
    RecordReader skipper(text, options);
    std::size_t skipped = 0;
    while (skipper.skip()) {
        ++skipped;
    }
    if (skipped != records.size()) {
        std::abort();
    }
    for (const auto& fields : records) {
        if (fields.empty()) {
            std::abort();
        }
        for (const auto& field : fields) {
            if (field.isEmpty()) {
                std::abort();
            }
        }
    }
}

// Fields are separated by U+0001 in the input, records by U+0002.
Records recordsOf(const QString& text) {
    Records records;
    for (const QString& line : text.split(QChar(2))) {
        std::vector<QString> fields;
        for (const QString& field : line.split(QChar(1))) {
            fields.push_back(field);
        }
        records.push_back(fields);
    }
    return records;
}

QString quotedCsv(const Records& records, QChar separator) {
    QString csv;
    for (const auto& fields : records) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) {
                csv += separator;
            }
            csv += u'"' + QString(fields[i]).replace(QStringLiteral("\""), QStringLiteral("\"\"")) +
                   u'"';
        }
        csv += QStringLiteral("\r\n");
    }
    return csv;
}

void checkRoundTrip(const QString& text, QChar separator) {
    Records written = recordsOf(text);
    const Records read = readAll(quotedCsv(written, separator), {separator, true, true});
    for (auto& fields : written) {
        for (auto& field : fields) {
            field = field.isEmpty() ? kEmptyValue : field;
        }
    }
    if (read != written) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const auto decoded = decodeText(bytes);
    // Bytes refused as binary still go through the reader, which must cope with anything.
    const QString text = decoded.binary ? QString::fromLatin1(bytes) : decoded.text;
    for (const QChar separator : {QChar(u';'), QChar(u','), QChar(u'\t'), QChar(u'"')}) {
        checkReading(text, {separator, false, true});
        checkReading(text, {separator, true, true});
    }
    checkRoundTrip(text, u';');
    checkRoundTrip(text, u'\t');
    return 0;
}
