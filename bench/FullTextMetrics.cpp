// fulltext_first and rss_mb: the real program (offscreen, splash off) searches the full text
// right after start-up. fulltext_first is process start to the answer over every card;
// rss_mb is the program's peak resident memory by then.
#include "Bench.h"
#include "ProgramRun.h"

#include <QProcess>
#include <QTemporaryDir>

#include <iostream>
#include <map>
#include <optional>

namespace veltro::bench {

namespace {

struct FullTextRun {
    double wholeMs = 0;  // start to the answer over every card
    double firstMs = 0;  // start to the first answer, maybe over part of the cards
    double stallMs = 0;  // the longest the window did not answer meanwhile
    double peakMb = 0;
    int lines = 0;
};

std::optional<FullTextRun> searchOnce(const BenchContext& context, const std::filesystem::path& dir,
                                      const QString& configDir) {
    emptySnapshot(dir);
    QProcess process;
    startProgram(process, context, dir, configDir, "VELTRO_BENCH_FULLTEXT", QStringLiteral("mül"));
    if (!process.waitForFinished(600000)) {
        process.kill();
        return std::nullopt;
    }
    const QList<QByteArray> words = process.readAllStandardOutput().trimmed().split(' ');
    if (words.size() != 6 || words[0] != "fulltext") {
        std::cerr << "fulltext_first: the program gave no answer" << std::endl;
        return std::nullopt;
    }
    return FullTextRun{words[1].toDouble(), words[2].toDouble(), words[3].toDouble(),
                       words[4].toDouble() * 1024 / 1e6, words[5].toInt()};
}

// Both metrics come from the same runs, made once per store size.
const std::vector<FullTextRun>& runsFor(const BenchContext& context, std::int64_t cards) {
    static std::map<std::int64_t, std::vector<FullTextRun>> made;
    auto [it, isNew] = made.try_emplace(cards);
    if (isNew) {
        QTemporaryDir config;
        writeProgramSettings(config.path(), false);
        const auto dir = context.scratchCopy(cards, "fulltext");
        Repeats repeats(context, cards);
        while (repeats.another()) {
            if (const auto result = searchOnce(context, dir, config.path())) {
                it->second.push_back(*result);
            }
        }
    }
    return it->second;
}

template <typename Member>
double medianOf(const std::vector<FullTextRun>& runs, Member member) {
    std::vector<double> values;
    for (const auto& run : runs) {
        values.push_back(run.*member);
    }
    return median(values);
}

void fulltextFirst(const BenchContext& context) {
    for (const auto cards : context.cardCounts) {
        const auto& runs = runsFor(context, cards);
        double longestStall = 0;
        for (const auto& run : runs) {
            longestStall = std::max(longestStall, run.stallMs);
        }
        report("fulltext_first", cards, medianOf(runs, &FullTextRun::wholeMs),
               static_cast<int>(runs.size()),
               {{"text", "\"mül\""},
                {"first_answer_ms", fixed(medianOf(runs, &FullTextRun::firstMs))},
                {"longest_stall_ms", fixed(longestStall)},
                {"lines", std::to_string(runs.empty() ? 0 : runs.front().lines)}});
    }
}

// median_ms: when, after start, the peak was read.
void rssMb(const BenchContext& context) {
    for (const auto cards : context.cardCounts) {
        const auto& runs = runsFor(context, cards);
        report("rss_mb", cards, medianOf(runs, &FullTextRun::wholeMs),
               static_cast<int>(runs.size()),
               {{"mb", fixed(medianOf(runs, &FullTextRun::peakMb))}});
    }
}

// The same runs under the name the window metrics on a real display use: start to the
// answer over every card.
void fulltextComplete(const BenchContext& context) {
    for (const auto cards : context.cardCounts) {
        const auto& runs = runsFor(context, cards);
        report("fulltext_complete", cards, medianOf(runs, &FullTextRun::wholeMs),
               static_cast<int>(runs.size()),
               {{"screen", "\"offscreen\""},
                {"text", "\"mül\""},
                {"first_answer_ms", fixed(medianOf(runs, &FullTextRun::firstMs))}});
    }
}

const Register kFulltextFirst("fulltext_first", fulltextFirst);
const Register kFulltextComplete("fulltext_complete", fulltextComplete);
const Register kRssMb("rss_mb", rssMb);

}  // namespace

}  // namespace veltro::bench
