// keystroke, fulltext, show_card and baseline_scan: the main window on a generated store.
#include "Bench.h"

#include "mainwindow/MainWindow.h"
#include "store/CaseFold.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <random>

namespace veltro::bench {

namespace {

const QStringList kTexts = {QStringLiteral("m"), QStringLiteral("mü"), QStringLiteral("mül")};
const QString kCategory = QStringLiteral("Ärzte");

double msSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

std::string quoted(const QString& text) {
    return '"' + text.toStdString() + '"';
}

// One loaded main window over a scratch copy of the store.
class LoadedWindow {
public:
    LoadedWindow(const BenchContext& context, std::int64_t cards) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_.path());
        const auto dir = context.scratchCopy(cards, "window");
        qputenv("VELTRO_HOME", QByteArray::fromStdString(dir.string()));
        window_.resize(1000, 700);
        window_.Form_Load();
        window_.show();
        QApplication::processEvents();
    }
    mainwindow::MainWindow& operator*() { return window_; }
    mainwindow::MainWindow* operator->() { return &window_; }

    void chooseCategory(const QString& name) {
        auto* combo = window_.ui().Combo1;
        combo->setCurrentIndex(std::max(0, combo->findText(name)));
        window_.Combo1_Click();
    }
    void repaintList() { window_.ui().List1->viewport()->repaint(); }

private:
    QTemporaryDir config_;
    mainwindow::MainWindow window_;
};

void keystroke(const BenchContext& context) {
    for (const auto cards : context.cardCounts) {
        LoadedWindow window(context, cards);
        for (const QString& category : {QStringLiteral("-Alle-"), kCategory}) {
            window.chooseCategory(category);
            for (const QString& text : kTexts) {
                std::vector<double> samples;
                int lines = 0;
                for (int run = 0; run < context.runs; ++run) {
                    window->ui().Text1->setText(text.left(text.size() - 1));
                    QElapsedTimer timer;
                    timer.start();
                    window->ui().Text1->setText(text);  // the last keystroke
                    window.repaintList();
                    samples.push_back(msSince(timer));
                    lines = window->ui().List1->model()->rowCount();
                }
                report("keystroke", cards, median(samples), context.runs,
                       {{"text", quoted(text)},
                        {"category", quoted(category)},
                        {"lines", std::to_string(lines)}});
            }
        }
    }
}

void baselineScan(const BenchContext& context) {
    for (const auto cards : context.cardCounts) {
        LoadedWindow window(context, cards);
        std::vector<QString> folded;
        for (const auto& row : window->cardStore()->headings()) {
            folded.push_back(store::foldCase(row.heading));
        }
        for (const QString& text : kTexts) {
            std::vector<double> samples;
            for (int run = 0; run < context.runs; ++run) {
                QElapsedTimer timer;
                timer.start();
                std::size_t hits = 0;
                for (const QString& heading : folded) {
                    hits += heading.contains(text) ? 1 : 0;
                }
                samples.push_back(msSince(timer));
                if (hits == static_cast<std::size_t>(-1)) {
                    return;
                }
            }
            report("baseline_scan", cards, median(samples), context.runs, {{"text", quoted(text)}});
        }
    }
}

void fulltext(const BenchContext& context) {
    for (const auto cards : context.cardCounts) {
        LoadedWindow window(context, cards);
        auto* field = window->ui().Text16;
        QTest::mouseClick(field, Qt::LeftButton);
        QElapsedTimer build;
        build.start();
        field->setText(QStringLiteral("x"));
        window->VolltextSuchen();  // first use builds the index
        report("fulltext_first_use", cards, msSince(build), 1);
        for (const QString& text : kTexts) {
            std::vector<double> samples;
            for (int run = 0; run < context.runs; ++run) {
                field->setText(text);
                QElapsedTimer timer;
                timer.start();
                window->VolltextSuchen();
                window.repaintList();
                samples.push_back(msSince(timer));
            }
            report("fulltext", cards, median(samples), context.runs,
                   {{"text", quoted(text)},
                    {"lines", std::to_string(window->ui().List1->model()->rowCount())}});
        }
    }
}

void showCard(const BenchContext& context) {
    for (const auto cards : context.cardCounts) {
        LoadedWindow window(context, cards);
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
