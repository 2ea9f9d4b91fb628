#include "Bench.h"

#include "store/CardStore.h"
#include "store/CaseFold.h"
#include "store/SampleCards.h"
#include "store/Schema.h"
#include "store/SchemaVersion.h"
#include "store/Sqlite.h"
#include "store/Upgrade.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>

#include <fcntl.h>
#include <unistd.h>

namespace veltro::bench {

namespace fs = std::filesystem;

std::vector<Metric>& registry() {
    static std::vector<Metric> metrics;
    return metrics;
}

Register::Register(std::string name, std::function<void(const BenchContext&)> run) {
    registry().push_back({std::move(name), std::move(run)});
}

namespace {

// What a phone's contact brings beyond the card's fields, on every card; set-based, so a
// million cards take seconds.
void addExtrasToEveryCard(const fs::path& file) {
    auto db = store::Database::open(file);
    store::Transaction tx(db);
    db.exec(
        "INSERT OR REPLACE INTO KartenAngaben (KarteId, Geburtstag, Spitzname, Titel) "
        "SELECT rowid, printf('%04d-%02d-%02d', 1940 + rowid % 60, 1 + rowid % 12, "
        "1 + rowid % 28), 'Spitz' || rowid, 'Leitung Einkauf' FROM Kontakte");
    db.exec("DELETE FROM KartenEintraege");
    db.exec(
        "INSERT INTO KartenEintraege (KarteId, Art, Typ, Rang, Wert, Postleitzahl, Ort, Land) "
        "SELECT rowid, 'Telefon', 'mobil', 0, '0170 ' || (1000000 + rowid), '', '', '' "
        "FROM Kontakte UNION ALL "
        "SELECT rowid, 'Telefon', 'privat', 1, '0951 ' || (200000 + rowid), '', '', '' "
        "FROM Kontakte UNION ALL "
        "SELECT rowid, 'E-Mail', 'privat', 0, 'privat' || rowid || '@example.de', '', '', '' "
        "FROM Kontakte UNION ALL "
        "SELECT rowid, 'Anschrift', 'privat', 0, 'Rosenweg ' || (rowid % 90 + 1), "
        "printf('%05d', 10000 + rowid % 89999), 'Bamberg', 'Deutschland' FROM Kontakte");
    tx.commit();
}

}  // namespace

fs::path BenchContext::pristineStore(std::int64_t cards) const {
    const fs::path dir = cacheDir / ((extras ? "store-extras-" : "store-") + std::to_string(cards));
    const fs::path file = dir / store::kStoreFileName;
    if (!fs::exists(file)) {
        std::cerr << "erzeuge Kartei mit " << cards << " Karten ..." << std::endl;
        fs::remove_all(dir);
        store::writeSyntheticStore(dir, cards);
    }
    // A store made by an older build is brought forward once here, not in every measured
    // run on a copy of it.
    if (auto db = store::Database::open(file);
        store::storeVersion(db) < store::kCurrentStoreVersion) {
        std::cerr << "hebe Kartei mit " << cards << " Karten auf den neuen Stand ..." << std::endl;
        store::upgradeStore(db);
    }
    if (extras) {
        if (auto db = store::Database::open(file);
            !db.prepare("SELECT 1 FROM KartenEintraege LIMIT 1").step()) {
            std::cerr << "gebe jeder Karte weitere Angaben ..." << std::endl;
            addExtrasToEveryCard(file);
        }
    }
    return dir;
}

fs::path BenchContext::scratchCopy(std::int64_t cards, const std::string& tag) const {
    const fs::path source = pristineStore(cards);
    const fs::path dir = cacheDir / ("scratch-" + tag + "-" + std::to_string(cards));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy_file(source / store::kStoreFileName, dir / store::kStoreFileName);
    // On disk before it is measured, as a user's store lies at rest: the copy's writing
    // would otherwise fall to the first commit measured.
    for (const fs::path& written : {dir / store::kStoreFileName, dir}) {
        if (const int fd = ::open(written.c_str(), O_RDONLY | O_CLOEXEC); fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
    return dir;
}

namespace {
constexpr std::int64_t kHeavyBudgetMs = 30000;

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

Repeats::Repeats(const BenchContext& context, std::int64_t cards)
    : most_(context.heavyRuns(cards)), strict_(context.runsGiven), startedMs_(nowMs()) {}

bool Repeats::another() {
    const bool more =
        done_ == 0 || (done_ < most_ && (strict_ || nowMs() - startedMs_ < kHeavyBudgetMs));
    done_ += more ? 1 : 0;
    return more;
}

double median(std::vector<double> samples) {
    if (samples.empty()) {
        return 0.0;
    }
    std::sort(samples.begin(), samples.end());
    const std::size_t mid = samples.size() / 2;
    return samples.size() % 2 == 1 ? samples[mid] : (samples[mid - 1] + samples[mid]) / 2.0;
}

namespace {
const BenchContext* baselineContext = nullptr;
}  // namespace

void useBaselineOf(const BenchContext& context) {
    baselineContext = &context;
}

double baselineScanMs() {
    static const std::vector<QString> folded = [] {
        std::vector<QString> headings;
        auto store = store::CardStore::openForReading(baselineContext->pristineStore(100000) /
                                                      store::kStoreFileName);
        for (const auto& row : store.headings()) {
            headings.push_back(store::foldCase(row.heading));
        }
        return headings;
    }();
    const QString text = QStringLiteral("mü");
    std::vector<double> samples;
    std::size_t hits = 0;
    for (int run = 0; run < 5; ++run) {
        const auto started = std::chrono::steady_clock::now();
        for (const QString& heading : folded) {
            hits += heading.contains(text) ? 1 : 0;
        }
        samples.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                .count());
    }
    return hits == static_cast<std::size_t>(-1) ? 0.0 : median(samples);
}

void report(const std::string& metric, std::int64_t cards, double medianMs, int runs,
            const std::vector<std::pair<std::string, std::string>>& extra) {
    const double baseline = baselineContext != nullptr ? baselineScanMs() : 0.0;
    std::printf("{\"metric\": \"%s\", \"cards\": %lld, \"median_ms\": %.2f, \"runs\": %d",
                metric.c_str(), static_cast<long long>(cards), medianMs, runs);
    bool hasBaseline = false;
    for (const auto& [key, value] : extra) {
        std::printf(", \"%s\": %s", key.c_str(), value.c_str());
        hasBaseline = hasBaseline || key == "baseline_scan_ms";
    }
    if (baselineContext != nullptr && !hasBaseline) {
        std::printf(", \"baseline_scan_ms\": %.2f", baseline);
    }
    std::printf("}\n");
    std::fflush(stdout);
}

}  // namespace veltro::bench
