#include "Bench.h"

#include "labels/CardAddress.h"
#include "labels/CardSelection.h"
#include "labels/LabelDocument.h"
#include "labels/PainterCanvas.h"
#include "store/CardStore.h"
#include "store/Schema.h"

#include <QElapsedTimer>
#include <QFile>

#include <iostream>
#include <string>

namespace veltro::bench {

namespace {

// Every card of the store on label sheet 3474, as "veltro-cli labels" makes them: the cards
// read in list order, their addresses laid out and the PDF written.
const Register labelsMetric("labels_pdf", [](const BenchContext& context) {
    for (const std::int64_t cards : context.cardCounts) {
        const auto storeFile = context.pristineStore(cards) / store::kStoreFileName;
        const QString target = QString::fromStdString((context.cacheDir / "labels.pdf").string());
        const labels::LabelOptions options{
            *labels::sheetById(QStringLiteral("3474")), 1, {}, false};
        std::vector<double> samples;
        int pages = 0;
        Repeats repeats(context, cards);
        while (repeats.another()) {
            QElapsedTimer timer;
            timer.start();
            auto cardStore = store::CardStore::openForReading(storeFile);
            std::vector<QStringList> addresses;
            for (const store::Card& card : labels::cardsInListOrder(cardStore, {})) {
                addresses.push_back(labels::addressLines(card));
            }
            const auto failure = labels::writePdf(
                target, QStringLiteral("Etiketten"), options.sheet.page,
                [&](labels::PageCanvas& canvas) {
                    pages = labels::drawLabels(canvas, options, addresses).back().page + 1;
                });
            samples.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            if (failure) {
                std::cerr << "labels_pdf: " << failure->toStdString() << std::endl;
                return;
            }
        }
        const auto bytes = QFile(target).size();
        QFile::remove(target);
        report("labels_pdf", cards, median(samples), repeats.done(),
               {{"sheets", std::to_string(pages)}, {"file_kb", std::to_string(bytes / 1024)}});
    }
});

}  // namespace

}  // namespace veltro::bench
