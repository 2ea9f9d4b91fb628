#include "vcard/VcardExport.h"

#include "store/AtomicFile.h"
#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/StoreError.h"
#include "vcard/Background.h"

#include <QUuid>

#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace veltro::vcard {

namespace {

using exporting::ExportResult;
using exporting::ExportStatus;

constexpr std::int64_t kBatchSize = 500;
constexpr std::int64_t kLargestSeconds = 100'000'000'000;  // beyond: milliseconds
// Namespace of the UIDs derived from store file and row id.
const QUuid kUidNamespace(QStringLiteral("{6f1c2a47-3b5e-5d2a-9c41-7e0b8d3f2a19}"));

ExportResult failure(const QString& text) {
    return {ExportStatus::Failed, {}, text};
}

bool hasCardIdentities(store::Database& db) {
    auto query =
        db.prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'KartenInfo'");
    return query.step();
}

// Reads the cards in batches by row id, so that no read lock is held between batches.
class CardBatches {
public:
    CardBatches(store::CardStore& cardStore, store::CategoryFilter category)
        : identities_(hasCardIdentities(cardStore.db())),
          category_(std::move(category)),
          storePath_(canonicalStorePath(cardStore.file())),
          batch_(cardStore.db().prepare(batchSql())),
          extras_(cardStore.db()) {}

    // The cards of the next batch; false when there are none after it.
    bool next(std::vector<ExportCard>& cards) {
        cards.clear();
        batch_.reset();
        batch_.bind(1, lastRow_).bind(2, kBatchSize);
        if (const auto& name = category_.name()) {
            batch_.bind(3, *name);
        }
        std::int64_t rows = 0;
        while (batch_.step()) {
            lastRow_ = batch_.integer(0);
            cards.push_back(exportCard());
            ++rows;
        }
        batch_.reset();
        return rows == kBatchSize;
    }

private:
    [[nodiscard]] std::string batchSql() const {
        std::string sql = "SELECT Kontakte.rowid, " + store::cardColumnList();
        sql += identities_ ? ", KartenInfo.Uid, KartenInfo.Geaendert FROM Kontakte LEFT JOIN "
                             "KartenInfo ON KartenInfo.KarteId = Kontakte.rowid"
                           : " FROM Kontakte";
        sql += " WHERE Schlagworte IS NOT NULL AND Kontakte.rowid > ?1";
        if (!category_.isAll()) {
            sql += " AND vfold(Kategorien) = vfold(?3)";
        }
        return sql + " ORDER BY Kontakte.rowid LIMIT ?2";
    }

    [[nodiscard]] ExportCard exportCard() {
        ExportCard exported;
        exported.card.id = lastRow_;
        for (std::size_t field = 0; field < store::kFieldCount; ++field) {
            exported.card.values[field] = batch_.text(static_cast<int>(field) + 1);
        }
        constexpr int kUidColumn = static_cast<int>(store::kFieldCount) + 1;
        if (identities_) {
            exported.uid = batch_.textOrEmpty(kUidColumn);
            exported.rev = changeTime(batch_.textOrEmpty(kUidColumn + 1));
        }
        if (exported.uid.isEmpty()) {
            exported.uid = derivedUid(storePath_, lastRow_);
        }
        exported.extras = extras_.read(lastRow_);
        return exported;
    }

    bool identities_;
    store::CategoryFilter category_;
    QString storePath_;
    store::Statement batch_;
    store::CardExtrasReader extras_;
    std::int64_t lastRow_ = 0;
};

std::int64_t countCards(store::CardStore& cardStore, const store::CategoryFilter& category) {
    if (category.isAll()) {
        return cardStore.cardCount();
    }
    auto count = cardStore.db().prepare(
        "SELECT COUNT(*) FROM Kontakte WHERE Schlagworte IS NOT NULL AND "
        "vfold(Kategorien) = vfold(?1)");
    count.bind(1, *category.name());
    return count.step() ? count.integer(0) : 0;
}

bool isKnown(store::CardStore& cardStore, const store::CategoryFilter& category) {
    const auto names = cardStore.categories();
    return category.isAll() || std::any_of(names.begin(), names.end(), [&](const QString& name) {
               return category.matches(name);
           });
}

QString fileError(const QString& target, const QString& reason) {
    return QStringLiteral("Die Datei „%1“ lässt sich nicht schreiben:\n%2").arg(target, reason);
}

// How many batches are formatted at once: turning rich text into plain text and writing
// the lines takes most of an export's time, the reading of the next batch much less.
std::size_t batchesInFlight() {
    return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 2, 4);
}

// Formats the batches on worker threads while the next ones are read, and writes them in
// their order; false when progress asked to stop.
bool writeBatches(CardBatches& batches, std::int64_t total, store::AtomicFile& file,
                  Version version, const exporting::ProgressCallback& progress,
                  std::int64_t& done) {
    std::deque<std::future<QByteArray>> formatting;
    const auto writeOldest = [&] {
        const QByteArray bytes = formatting.front().get();
        formatting.pop_front();
        if (!file.write(bytes)) {
            throw exporting::ExportError(file.reason());
        }
    };
    const std::size_t inFlight = batchesInFlight();
    for (bool more = true; more;) {
        std::vector<ExportCard> cards;
        more = batches.next(cards);
        done += static_cast<std::int64_t>(cards.size());
        formatting.push_back(
            inBackground(std::move(cards), [version](const std::vector<ExportCard>& batch) {
                return writeCards(batch, version);
            }));
        if (formatting.size() >= inFlight) {
            writeOldest();
        }
        if (progress && !progress(done, std::max(total, done))) {
            return false;  // the futures wait for their threads as they go
        }
    }
    while (!formatting.empty()) {
        writeOldest();
    }
    return true;
}

}  // namespace

QString canonicalStorePath(const std::filesystem::path& storeFile) {
    std::error_code error;
    const auto absolute = std::filesystem::weakly_canonical(storeFile, error);
    return QString::fromStdString((error ? storeFile : absolute).string());
}

QString derivedUid(const QString& canonicalStore, std::int64_t rowId) {
    return QUuid::createUuidV5(kUidNamespace, canonicalStore + u'#' + QString::number(rowId))
        .toString(QUuid::WithoutBraces);
}

QString derivedUid(const std::filesystem::path& storeFile, std::int64_t rowId) {
    return derivedUid(canonicalStorePath(storeFile), rowId);
}

CardIdentity cardIdentity(store::Database& db, const std::filesystem::path& storeFile,
                          std::int64_t rowId) {
    CardIdentity identity;
    if (hasCardIdentities(db)) {
        auto query = db.prepare("SELECT Uid, Geaendert FROM KartenInfo WHERE KarteId = ?1");
        query.bind(1, rowId);
        if (query.step()) {
            identity.uid = query.textOrEmpty(0);
            identity.rev = changeTime(query.textOrEmpty(1));
        }
    }
    if (identity.uid.isEmpty()) {
        identity.uid = derivedUid(storeFile, rowId);
    }
    return identity;
}

QDateTime changeTime(const QString& stored) {
    const QString text = stored.trimmed();
    bool isNumber = false;
    const qint64 number = text.toLongLong(&isNumber);
    if (isNumber) {
        return number > kLargestSeconds ? QDateTime::fromMSecsSinceEpoch(number, Qt::UTC)
                                        : QDateTime::fromSecsSinceEpoch(number, Qt::UTC);
    }
    QDateTime time = QDateTime::fromString(QString(text).replace(u' ', u'T'), Qt::ISODateWithMs);
    if (time.isValid() && time.timeSpec() == Qt::LocalTime) {
        time.setTimeSpec(Qt::UTC);
    }
    return time;
}

ExportResult exportToFile(const std::filesystem::path& storeFile, const QString& target,
                          const VcardExportOptions& options,
                          const exporting::ProgressCallback& progress) {
    std::optional<store::CardStore> cardStore;
    try {
        cardStore = store::CardStore::openForReading(storeFile);
    } catch (const store::StoreError& e) {
        return failure(
            QStringLiteral("Die Kartei lässt sich nicht öffnen:\n%1").arg(store::germanReason(e)));
    }
    // Unbuffered: the batches are large blocks, and a failure is seen where it happens.
    store::AtomicFile file(target, store::AtomicFile::Buffering::Unbuffered);
    file.allowWritingInPlace();
    try {
        if (!isKnown(*cardStore, options.category)) {
            return failure(QStringLiteral("Die Kategorie „%1“ gibt es in der Kartei nicht.")
                               .arg(*options.category.name()));
        }
        const std::int64_t total = countCards(*cardStore, options.category);
        if (total == 0) {
            return {ExportStatus::NoCard, {}, {}};
        }
        if (!file.open()) {
            return failure(fileError(target, file.reason()));
        }
        CardBatches batches(*cardStore, options.category);
        std::int64_t done = 0;
        if (!writeBatches(batches, total, file, options.version, progress, done)) {
            return {ExportStatus::Cancelled, {}, {}};
        }
        if (!file.commit()) {
            return failure(fileError(target, file.reason()));
        }
        return {ExportStatus::Written, {done, 0}, {}};
    } catch (const exporting::ExportError&) {
        return failure(fileError(target, file.reason()));
    } catch (const store::StoreError& e) {
        return failure(
            QStringLiteral("Die Kartei lässt sich nicht lesen:\n%1").arg(store::germanReason(e)));
    }
}

}  // namespace veltro::vcard
