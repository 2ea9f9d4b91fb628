#include "import/AccessSource.h"

#include "import/ChildJob.h"
#include "import/MdbReader.h"

#include <QFile>

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

namespace veltro::import {

namespace {

// The mapping with every source found by its name among the table's columns; a name the
// table lacks points past the last column.
FieldMapping byPosition(const FieldMapping& mapping, const QStringList& columns) {
    FieldMapping result(mapping.category());
    for (std::size_t target = kCategoryTarget + 1; target < kTargetCount; ++target) {
        if (const auto& source = mapping.source(target)) {
            const auto at = columns.indexOf(source->caption);
            result.assign(target, at < 0 ? std::numeric_limits<int>::max() : static_cast<int>(at),
                          source->caption);
        }
    }
    return result;
}

}  // namespace

bool isUserTable(const QString& name) {
    return !name.startsWith(u"MSys") && name != u"Einfügefehler";
}

AccessSource::AccessSource(QString path, std::chrono::milliseconds patience)
    : path_(std::move(path)), patience_(patience) {}

AccessListing AccessSource::tables(const std::function<bool()>& onWait) const {
    const ChildJob job({QStringLiteral("list"), path_}, patience_);
    AccessListing listing;
    bool keep = false;
    const auto outcome = job.run(
        [&](char tag, QByteArrayView payload) {
            const QString text = QString::fromUtf8(payload);
            if (tag == 'T') {
                keep = isUserTable(text);
                if (keep) {
                    listing.tables.push_back({text, {}});
                }
            } else if (tag == 'C' && keep) {
                listing.tables.back().columns << text;
            }
            return true;
        },
        onWait);
    listing.complete = outcome == ChildJob::Outcome::Finished;
    std::stable_sort(listing.tables.begin(), listing.tables.end(),
                     [](const auto& a, const auto& b) {
                         return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
                     });
    return listing;
}

PreviewTable AccessSource::preview(const QString& table, const FieldMapping& mapping,
                                   const std::function<void(std::int64_t)>& onCount,
                                   const Pulse& pulse) const {
    PreviewTable preview;
    const auto& key = mapping.source(kHeadingTarget);
    if (!key) {
        preview.complete = false;
        return preview;
    }
    const ChildJob job({QStringLiteral("records"), path_, table, key->caption}, patience_);
    QStringList columns;
    std::optional<FieldMapping> positions;
    std::vector<QByteArrayView> values;
    std::vector<QString> texts;
    const auto outcome = job.run(
        [&](char tag, QByteArrayView payload) {
            if (tag == 'C') {
                columns << QString::fromUtf8(payload);
            } else if (tag == 'D') {
                const auto numbers = payload.toByteArray().split(' ');
                if (numbers.size() == 2) {
                    preview.count = RecordCount{numbers[0].toLongLong(), numbers[1].toLongLong()};
                }
            } else if (tag == 'N') {
                positions = byPosition(mapping, columns);
                if (onCount) {
                    onCount(payload.toByteArray().toLongLong());
                }
            } else if (tag == 'R') {
                if (!positions || !splitValues(payload, values)) {
                    return false;
                }
                texts.clear();
                for (const QByteArrayView value : values) {
                    texts.push_back(QString::fromUtf8(value));
                }
                preview.rows.push_back(makePreviewRow(*positions, [&](int column) {
                    const auto at = static_cast<std::size_t>(column);
                    return at < texts.size() ? QStringView(texts[at]) : QStringView();
                }));
                const auto done = static_cast<std::int64_t>(preview.rows.size());
                return !pulse || pulse(done);
            }
            return true;
        },
        [&] { return !pulse || pulse(static_cast<std::int64_t>(preview.rows.size())); });
    preview.complete = outcome == ChildJob::Outcome::Finished;
    return preview;
}

}  // namespace veltro::import
