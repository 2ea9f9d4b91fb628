// new_card, rename_card and delete_card: a card command from the user's answer until the
// window is painted again.
#include "Bench.h"
#include "BenchWindow.h"

#include "maintenance/CardOperations.h"

#include <QAbstractItemModel>

#include <random>

namespace veltro::bench {

namespace {

const QString kCategory = QStringLiteral("Ärzte");

// Runs `command` a few times on one window, each time after `prepare`, and reports it.
template <typename Prepare, typename Command>
void measure(const char* name, LoadedWindow& window, std::int64_t cards, int runs, Prepare prepare,
             Command command) {
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run) {
        prepare(run);
        window.repaint();
        QElapsedTimer timer;
        timer.start();
        command();
        window.repaint();
        samples.push_back(msSince(timer));
    }
    report(name, cards, median(samples), runs,
           {{"lines", std::to_string(window->ui().List1->model()->rowCount())}});
}

void selectRandomLine(LoadedWindow& window, std::mt19937& rng) {
    auto* list = window->ui().List1;
    const int rows = list->model()->rowCount();
    list->setCurrentIndex(list->model()->index(static_cast<int>(rng() % rows), 0));
}

void newCard(const BenchContext& context) {
    for (const auto cards : context.cardCounts) {
        int number = 0;
        PlatformScope platform(std::make_unique<AnsweringPlatform>(
            platform::Answer::Ok, [&] { return QStringLiteral("Neue Karte %1").arg(++number); }));
        LoadedWindow& window = sharedWindow(context, cards);
        window.chooseCategory(kCategory);
        measure(
            "new_card", window, cards, context.runs, [](int) {}, [&] { window->mnuNeuekarte(); });
    }
}

void renameCard(const BenchContext& context) {
    for (const auto cards : context.cardCounts) {
        int number = 0;
        PlatformScope platform(std::make_unique<AnsweringPlatform>(
            platform::Answer::Ok, [&] { return QStringLiteral("Umbenannt %1").arg(++number); }));
        LoadedWindow& window = sharedWindow(context, cards);
        std::mt19937 rng(5);
        measure(
            "rename_card", window, cards, context.runs, [&](int) { selectRandomLine(window, rng); },
            [&] { window->mnukarteRen(); });
    }
}

void deleteCard(const BenchContext& context) {
    for (const auto cards : context.cardCounts) {
        PlatformScope platform(std::make_unique<AnsweringPlatform>(platform::Answer::Yes));
        LoadedWindow& window = sharedWindow(context, cards);
        std::mt19937 rng(9);
        measure(
            "delete_card", window, cards, context.runs, [&](int) { selectRandomLine(window, rng); },
            [&] { window->Command3_Click(); });
    }
}

// The card index read again after the store changed under it, as after an import or a
// category command: here every card of one category moved to another and back.
void reload(const BenchContext& context) {
    for (const auto cards : context.cardCounts) {
        LoadedWindow& window = sharedWindow(context, cards);
        auto& store = *window->cardStore();
        measure(
            "reload", window, cards, context.runs,
            [&](int run) {
                const bool forth = run % 2 == 0;
                maintenance::renameCategory(store, forth ? kCategory : QStringLiteral("Praxen"),
                                            forth ? QStringLiteral("Praxen") : kCategory);
            },
            [&] { window->ImportCommand1(); });
        // The next metrics find the category and the full-text index as they were.
        if (maintenance::categoryExists(store, QStringLiteral("Praxen"))) {
            maintenance::renameCategory(store, QStringLiteral("Praxen"), kCategory);
        }
        window.reloadAndWait();
    }
}

const Register kNewCard("new_card", newCard);
const Register kReload("reload", reload);
const Register kRenameCard("rename_card", renameCard);
const Register kDeleteCard("delete_card", deleteCard);

}  // namespace

}  // namespace veltro::bench
