#include "Bench.h"

#include "export/ExportFile.h"
#include "store/Schema.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string>

namespace veltro::bench {

namespace {

using exporting::ExportFormat;

// A field of /proc/self/status in kB ("VmRSS:", "VmHWM:"), 0 where it cannot be read.
long long statusKb(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(key, 0) == 0) {
            return std::stoll(line.substr(key.size()));
        }
    }
    return 0;
}

// Lets VmHWM measure the peak of one run only.
void resetPeakRss() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

std::string megabytes(double bytes) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.2f", bytes / 1e6);
    return text.data();
}

void exportMetric(const BenchContext& context, const std::string& name, ExportFormat format,
                  bool keepRichText = false) {
    exporting::ExportOptions options;
    options.format = format;
    options.keepRichText = keepRichText;
    for (const std::int64_t cards : context.cardCounts) {
        const auto storeFile = context.pristineStore(cards) / store::kStoreFileName;
        const QString target =
            QString::fromStdString((context.cacheDir / (name + ".out")).string());
        std::vector<double> samples;
        std::vector<double> cpuSamples;  // tells load from other processes apart
        long long peakGrowthKb = 0;
        Repeats repeats(context, cards);
        while (repeats.another()) {
            resetPeakRss();
            const long long baseKb = statusKb("VmRSS:");
            QElapsedTimer timer;
            timer.start();
            const std::clock_t cpuStart = std::clock();
            const auto result = exporting::exportToFile(storeFile, target, options);
            samples.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            cpuSamples.push_back(1000.0 * static_cast<double>(std::clock() - cpuStart) /
                                 CLOCKS_PER_SEC);
            peakGrowthKb = std::max(peakGrowthKb, statusKb("VmHWM:") - baseKb);
            if (result.status != exporting::ExportStatus::Written) {
                std::cerr << name << ": Export fehlgeschlagen: " << result.error.toStdString()
                          << std::endl;
                return;
            }
        }
        const double fileBytes = static_cast<double>(QFile(target).size());
        QFile::remove(target);
        report(name, cards, median(samples), repeats.done(),
               {{"cpu_ms", std::to_string(static_cast<long long>(median(cpuSamples)))},
                {"file_mb", megabytes(fileBytes)},
                {"mb_per_s", megabytes(fileBytes / (median(samples) / 1e3))},
                {"peak_rss_growth_mb", megabytes(static_cast<double>(peakGrowthKb) * 1024)}});
    }
}

const Register csvMetric("export_csv", [](const BenchContext& context) {
    exportMetric(context, "export_csv", ExportFormat::Csv);
});
// Address and notes as the stored RTF rather than their text.
const Register csvRtfMetric("export_csv_rtf", [](const BenchContext& context) {
    exportMetric(context, "export_csv_rtf", ExportFormat::Csv, true);
});
const Register textMetric("export_text", [](const BenchContext& context) {
    exportMetric(context, "export_text", ExportFormat::Text);
});

}  // namespace

}  // namespace veltro::bench
