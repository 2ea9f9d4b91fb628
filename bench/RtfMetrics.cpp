// rtf_plain: plain text of stored address and notes blocks, as the export and the full-text
// index take it, in MB of RTF per second.
#include "Bench.h"

#include "richtext/StoredText.h"

#include <QElapsedTimer>

#include <array>
#include <ctime>
#include <random>

namespace veltro::bench {

namespace {

constexpr int kBlocks = 4000;

const std::array<const char*, 6> kNames = {"M\\'fcller", "Schr\\'f6der", "Wei\\'df",
                                           "Becker",     "Kr\\'e4mer",   "Hoffmann"};
const std::array<const char*, 4> kStreets = {"Hauptstra\\'dfe", "Am M\\'fchlbach", "Lindenallee",
                                             "Gartenweg"};

// An address as the Windows rich-text box stored it.
QString address(std::mt19937& rng) {
    const auto pick = [&](const auto& items) { return items[rng() % items.size()]; };
    return QString::asprintf(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans "
        "Serif;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\lang1031"
        "\\f0\\fs17 Herrn\\par\r\nDr. J\\'fcrgen %s\\par\r\n\\cf1\\b %s\\cf0\\b0  %u\\par\r\n"
        "%05u Hamburg\\par\r\n}\r\n",
        pick(kNames), pick(kStreets), static_cast<unsigned>(rng() % 200),
        static_cast<unsigned>(rng() % 100000));
}

// Notes of a few paragraphs with umlauts, bold words and a bullet list, as WordPad writes them.
QString notes(std::mt19937& rng) {
    QString rtf = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1031{\\fonttbl{"
        "\\f0\\fnil\\fcharset0 "
        "Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n{\\*\\generator Riched20 10.0.19041}"
        "\\viewkind4\\uc1 \r\n\\pard\\sa200\\sl276\\slmult1\\f0\\fs20 ");
    const int paragraphs = 2 + static_cast<int>(rng() % 5);
    for (int p = 0; p < paragraphs; ++p) {
        rtf += QStringLiteral(
                   "Termin am %1.%2. wegen der \\b Gr\\'fc\\'dfe\\b0  und der "
                   "Rechnung Nr. %3 \\endash  bitte R\\'fcckruf.\\par\r\n")
                   .arg(1 + rng() % 28)
                   .arg(1 + rng() % 12)
                   .arg(rng() % 100000);
    }
    rtf += QStringLiteral(
        "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
        "\\fi-360\\li720\\sa200\\sl276\\slmult1 Angebot pr\\'fcfen\\par\r\n{\\pntext\\f1\\'B7\\tab}"
        "\\u8364? 1.200 \\'fcberweisen\\par\r\n\\pard\\sa200\\sl276\\slmult1\\par\r\n}\r\n");
    return rtf;
}

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void rtfPlain(const BenchContext& context) {
    std::mt19937 rng(42);
    std::vector<QString> blocks;
    qsizetype bytes = 0;
    for (int i = 0; i < kBlocks; ++i) {
        blocks.push_back(i % 2 == 0 ? address(rng) : notes(rng));
        bytes += blocks.back().size();
    }
    std::vector<double> samples;
    std::vector<double> cpuSamples;  // this thread's processor time: a busy machine shows less
    qsizetype characters = 0;
    for (int run = 0; run < std::max(context.runs, 5); ++run) {
        QElapsedTimer timer;
        const double cpuStart = threadCpuMs();
        timer.start();
        for (const QString& block : blocks) {
            characters += richtext::plainTextFromStored(block, richtext::LineBreak::CrLf).size();
        }
        samples.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        cpuSamples.push_back(threadCpuMs() - cpuStart);
    }
    const double ms = median(samples);
    const auto perSecond = [&](double elapsedMs) {
        return QString::number(static_cast<double>(bytes) / 1e6 / (elapsedMs / 1e3), 'f', 1)
            .toStdString();
    };
    report("rtf_plain", kBlocks, ms, static_cast<int>(samples.size()),
           {{"mb_per_s", perSecond(ms)},
            {"cpu_mb_per_s", perSecond(median(cpuSamples))},
            {"bytes", std::to_string(bytes)},
            {"plain_chars", std::to_string(characters / static_cast<qsizetype>(samples.size()))}});
}

const Register kRtfPlain("rtf_plain", rtfPlain);

}  // namespace

}  // namespace veltro::bench
