// keystroke, fulltext, show_card and baseline_scan: the main window on a generated store.
#include "Bench.h"
#include "BenchWindow.h"

#include "mainwindow/MainWindow.h"
#include "store/CardIndex.h"
#include "store/CaseFold.h"
#include "store/Schema.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <random>

namespace veltro::bench {

namespace {

const QStringList kTexts = {QStringLiteral("m"), QStringLiteral("mü"), QStringLiteral("mül")};
const QString kChosenCategory = QStringLiteral("Ärzte");

std::string jsonQuoted(const QString& text) {
    return '"' + text.toStdString() + '"';
}

std::string fixed(double value) {
    return QString::number(value, 'f', 2).toStdString();
}

// The yardstick of the machine's speed: a plain scan of every folded heading as UTF-16,
// timed beside the keystroke so that a run on a loaded machine reads as a ratio.
class BaselineScan {
public:
    explicit BaselineScan(store::CardStore& store) {
        for (const auto& row : store.headings()) {
            folded_.push_back(store::foldCase(row.heading));
        }
    }
    double medianMs(const QString& text, int runs) const {
        std::vector<double> samples;
        std::size_t hits = 0;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            for (const QString& heading : folded_) {
                hits += heading.contains(text) ? 1 : 0;
            }
            samples.push_back(msSince(timer));
        }
        return hits == static_cast<std::size_t>(-1) ? 0.0 : median(samples);
    }

private:
    std::vector<QString> folded_;
};

// The in-memory filter alone, on an index of its own read from the same store.
double filterMs(const store::CardIndex& index, const QString& category, const QString& text,
                int runs) {
    const auto pattern = store::LikePattern::compile(u'*' + text + u'*');
    const store::CategoryFilter wanted(category);
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const auto rows = index.filter(wanted, *pattern);
        samples.push_back(msSince(timer));
    }
    return median(samples);
}

// The last key press in the search box until the whole window, list and card view,
// is painted again.
void keystroke(const BenchContext& context) {
    for (const auto cards : context.cardCounts) {
        LoadedWindow& window = sharedWindow(context, cards);
        const BaselineScan baseline(*window->cardStore());
        store::CardIndex index;
        index.load(*window->cardStore());
        for (const QString& category : {store::kAllCategories, kChosenCategory}) {
            window.chooseCategory(category);
            for (const QString& text : kTexts) {
                std::vector<double> samples;
                std::vector<double> whole;
                int lines = 0;
                for (int run = 0; run < 2 * context.runs; ++run) {
                    window->ui().Text1->setText(text.left(text.size() - 1));
                    window.repaint();
                    QElapsedTimer timer;
                    timer.start();
                    window->ui().Text1->setText(text);  // the last keystroke
                    if (run % 2 == 0) {
                        window.repaint();
                        samples.push_back(msSince(timer));
                    } else {
                        window.repaintWhole();
                        whole.push_back(msSince(timer));
                    }
                    lines = window->ui().List1->model()->rowCount();
                }
                report("keystroke", cards, median(samples), context.runs,
                       {{"text", jsonQuoted(text)},
                        {"category", jsonQuoted(category)},
                        {"lines", std::to_string(lines)},
                        {"whole_window_ms", fixed(median(whole))},
                        {"filter_ms", fixed(filterMs(index, category, text, context.runs))},
                        {"baseline_scan_ms", fixed(baseline.medianMs(text, context.runs))}});
            }
        }
    }
}

void baselineScan(const BenchContext& context) {
    for (const auto cards : context.cardCounts) {
        auto store = store::CardStore::open(context.pristineStore(cards) / store::kStoreFileName);
        const BaselineScan baseline(store);
        for (const QString& text : kTexts) {
            report("baseline_scan", cards, baseline.medianMs(text, context.runs), context.runs,
                   {{"text", jsonQuoted(text)}});
        }
    }
}

// A search over every card, once the background build is done.
void fulltext(const BenchContext& context) {
    for (const auto cards : context.cardCounts) {
        LoadedWindow& window = sharedWindow(context, cards);
        auto* field = window->ui().Text16;
        QTest::mouseClick(field, Qt::LeftButton);
        QApplication::processEvents();
        QSignalSpy shown(&*window, &mainwindow::MainWindow::fullTextShown);
        field->setText(QStringLiteral("x"));
        window->VolltextSuchen();
        while (!shown.isEmpty() && !shown.last().at(0).toBool() && shown.wait(600000)) {
        }
        for (const QString& text : kTexts) {
            std::vector<double> samples;
            for (int run = 0; run < context.runs; ++run) {
                field->setText(text);
                QElapsedTimer timer;
                timer.start();
                window->VolltextSuchen();
                window.repaint();
                samples.push_back(msSince(timer));
            }
            report("fulltext", cards, median(samples), context.runs,
                   {{"text", jsonQuoted(text)},
                    {"lines", std::to_string(window->ui().List1->model()->rowCount())}});
        }
    }
}

void showCard(const BenchContext& context) {
    for (const auto cards : context.cardCounts) {
        LoadedWindow& window = sharedWindow(context, cards);
        auto* list = window->ui().List1;
        const int rows = list->model()->rowCount();
        std::mt19937 rng(7);
        std::vector<double> samples;
        for (int run = 0; run < std::max(context.runs, 50); ++run) {
            const QModelIndex index = list->model()->index(static_cast<int>(rng() % rows), 0);
            QElapsedTimer timer;
            timer.start();
            list->setCurrentIndex(index);
            samples.push_back(msSince(timer));
        }
        report("show_card", cards, median(samples), static_cast<int>(samples.size()));
    }
}

const Register kKeystroke("keystroke", keystroke);
const Register kBaseline("baseline_scan", baselineScan);
const Register kFulltext("fulltext", fulltext);
const Register kShowCard("show_card", showCard);

}  // namespace

}  // namespace veltro::bench
