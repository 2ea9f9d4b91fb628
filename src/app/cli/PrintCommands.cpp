#include "app/cli/CliCommands.h"

#include "base/Counted.h"
#include "labels/CardAddress.h"
#include "labels/CardSelection.h"
#include "labels/EnvelopeDocument.h"
#include "labels/FitText.h"
#include "labels/LabelDocument.h"
#include "labels/ListColumns.h"
#include "labels/ListDocument.h"
#include "labels/PainterCanvas.h"
#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/Categories.h"
#include "store/Schema.h"
#include "store/StoreError.h"

#include <QDate>
#include <QLocale>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <unordered_map>

namespace veltro::cli {

namespace {

// Pages go into PDF files only; another name would hide what the file holds.
std::optional<QString> notPdf(const QStringList& args) {
    if (args.size() < 2) {
        return QStringLiteral("Verzeichnis und PDF-Datei sind nötig.");
    }
    if (!args[1].endsWith(u".pdf", Qt::CaseInsensitive)) {
        return QStringLiteral("Gedruckt wird in eine PDF-Datei; ihr Name endet auf .pdf: %1")
            .arg(args[1]);
    }
    return std::nullopt;
}

// The options after DIR and FILE: "--name value" pairs and flags without a value.
struct Options {
    std::map<QString, QString> values;
    QString problem;

    [[nodiscard]] bool has(const char* name) const { return values.contains(QLatin1String(name)); }
    [[nodiscard]] QString value(const char* name) const {
        const auto it = values.find(QLatin1String(name));
        return it == values.end() ? QString() : it->second;
    }
};

bool among(const QString& arg, std::initializer_list<const char*> names) {
    return std::ranges::any_of(names, [&](const char* name) { return arg == QLatin1String(name); });
}

Options readOptions(const QStringList& args, std::initializer_list<const char*> withValue,
                    std::initializer_list<const char*> flags) {
    Options options;
    for (qsizetype i = 2; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (options.values.contains(arg)) {
            options.problem = QStringLiteral("Die Option %1 steht doppelt.").arg(arg);
        } else if (among(arg, flags)) {
            options.values[arg] = QString();
        } else if (among(arg, withValue) && i + 1 < args.size()) {
            options.values[arg] = args[++i];
        } else {
            options.problem = among(arg, withValue)
                                  ? QStringLiteral("Nach %1 fehlt der Wert.").arg(arg)
                                  : QStringLiteral("Zu viele Angaben: %1").arg(arg);
        }
        if (!options.problem.isEmpty()) {
            break;
        }
    }
    return options;
}

// Face and size for the text; the size must be a sensible number of points.
bool readStyle(const Options& options, labels::TextStyle& style, QString& problem) {
    style.face = options.value("--font");
    if (options.has("--size")) {
        bool ok = false;
        const double points = QLocale::c().toDouble(options.value("--size"), &ok);
        if (!ok || points < labels::kSmallestPoints || points > 72) {
            problem = QStringLiteral("Die Schriftgröße muss zwischen 7 und 72 Punkt liegen.");
            return false;
        }
        style.points = points;
    }
    return true;
}

std::optional<std::vector<store::Card>> readCards(const QString& dir, const QString& category) {
    try {
        auto cardStore = store::CardStore::openForReading(std::filesystem::path(dir.toStdString()) /
                                                          store::kStoreFileName);
        return labels::cardsInListOrder(cardStore, store::CategoryFilter(category));
    } catch (const store::StoreError& e) {
        err() << "Die Kartei in " << dir << " lässt sich nicht öffnen: " << store::germanReason(e)
              << Qt::endl;
        return std::nullopt;
    }
}

// The postal address type --address asks for; nothing for the cards' own addresses.
struct AddressChoice {
    std::optional<store::EntryType> type;
    QString problem;
};

AddressChoice addressChoice(const Options& options) {
    if (!options.has("--address")) {
        return {};
    }
    const auto type = store::typeByName(options.value("--address"));
    const auto allowed = store::typesOf(store::EntryKind::Anschrift);
    if (!type || std::find(allowed.begin(), allowed.end(), *type) == allowed.end()) {
        return {std::nullopt, QStringLiteral("--address ist privat, geschäftlich oder andere, "
                                             "nicht \"%1\".")
                                  .arg(options.value("--address"))};
    }
    return {type, {}};
}

// Each card's address; with a type, its further address of that type where it has one.
std::optional<std::vector<QStringList>> addressesOf(const QString& dir,
                                                    const std::vector<store::Card>& cards,
                                                    std::optional<store::EntryType> type) {
    std::vector<QStringList> addresses;
    addresses.reserve(cards.size());
    if (!type) {
        for (const store::Card& card : cards) {
            addresses.push_back(labels::addressLines(card));
        }
        return addresses;
    }
    try {
        auto cardStore = store::CardStore::openForReading(std::filesystem::path(dir.toStdString()) /
                                                          store::kStoreFileName);
        store::CardExtrasReader extras(cardStore.db());
        for (const store::Card& card : cards) {
            addresses.push_back(labels::addressLines(card, extras.read(card.id), type));
        }
    } catch (const store::StoreError& e) {
        err() << "Die Kartei in " << dir << " lässt sich nicht lesen: " << store::germanReason(e)
              << Qt::endl;
        return std::nullopt;
    }
    return addresses;
}

int written(const QString& file, const std::optional<QString>& failure) {
    if (failure) {
        err() << "Die Datei " << file << " lässt sich nicht schreiben: " << *failure << Qt::endl;
        return kFailed;
    }
    return kOk;
}

QString heading(const store::Card& card) {
    return card.text(store::Field::Schlagworte);
}

}  // namespace

int printLabels(const QStringList& args) {
    if (const auto problem = notPdf(args)) {
        return usage("labels", *problem);
    }
    const Options options = readOptions(
        args, {"--sheet", "--category", "--start", "--font", "--size", "--address"}, {"--frame"});
    if (!options.problem.isEmpty()) {
        return usage("labels", options.problem);
    }
    const AddressChoice address = addressChoice(options);
    if (!address.problem.isEmpty()) {
        return usage("labels", address.problem);
    }
    const auto sheet = labels::sheetById(options.value("--sheet"));
    if (!sheet) {
        return usage("labels",
                     options.has("--sheet")
                         ? QStringLiteral("Unbekannter Bogen: \"%1\"").arg(options.value("--sheet"))
                         : QStringLiteral("--sheet fehlt."));
    }
    labels::LabelOptions label{*sheet, 1, {}, options.has("--frame")};
    QString problem;
    if (!readStyle(options, label.style, problem)) {
        return usage("labels", problem);
    }
    if (options.has("--start")) {
        bool ok = false;
        label.start = options.value("--start").toInt(&ok);
        if (!ok || label.start < 1 || label.start > sheet->count()) {
            return usage("labels", QStringLiteral("Die Startposition muss zwischen 1 und %1 "
                                                  "liegen.")
                                       .arg(sheet->count()));
        }
    }
    const auto cards = readCards(args[0], options.value("--category"));
    if (!cards) {
        return kFailed;
    }
    if (cards->empty()) {
        err() << "Keine Karten zu drucken." << Qt::endl;
        return kFailed;
    }
    const auto addresses = addressesOf(args[0], *cards, address.type);
    if (!addresses) {
        return kFailed;
    }
    std::vector<labels::PlacedLabel> placed;
    const auto failure = labels::writePdf(
        args[1], QStringLiteral("Etiketten"), sheet->page, [&](labels::PageCanvas& canvas) {
            placed = labels::drawLabels(canvas, label, *addresses);
        });
    if (failure) {
        return written(args[1], failure);
    }
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (placed[i].cut) {
            err() << "Etikett " << (i + 1) << " (\"" << heading((*cards)[i])
                  << "\") passt nicht ganz: der Text ist gekürzt." << Qt::endl;
        }
    }
    out() << counted(static_cast<long long>(cards->size()), "Etikett", "Etiketten") << " auf "
          << (placed.back().page + 1) << " Bogen in " << args[1] << " geschrieben." << Qt::endl;
    return kOk;
}

int printList(const QStringList& args) {
    if (const auto problem = notPdf(args)) {
        return usage("list", *problem);
    }
    const Options options = readOptions(
        args, {"--category", "--columns", "--font", "--size", "--address"}, {"--landscape"});
    if (!options.problem.isEmpty()) {
        return usage("list", options.problem);
    }
    const AddressChoice address = addressChoice(options);
    if (!address.problem.isEmpty()) {
        return usage("list", address.problem);
    }
    labels::ListOptions list;
    list.columns = options.has("--columns")
                       ? options.value("--columns").split(u',', Qt::SkipEmptyParts)
                       : labels::defaultListColumns();
    for (const QString& column : list.columns) {
        if (!labels::listColumnByName(column)) {
            return usage("list", QStringLiteral("Unbekannte Spalte: \"%1\"").arg(column));
        }
    }
    list.landscape = options.has("--landscape");
    list.date = QDate::currentDate();
    const QString category = options.value("--category");
    list.title = store::isAllCategories(category) ? QStringLiteral("Karten") : category;
    QString problem;
    if (!readStyle(options, list.style, problem)) {
        return usage("list", problem);
    }
    const auto cards = readCards(args[0], category);
    if (!cards) {
        return kFailed;
    }
    const auto addresses = addressesOf(args[0], *cards, address.type);
    if (!addresses) {
        return kFailed;
    }
    std::unordered_map<std::int64_t, QStringList> byCard;
    for (std::size_t i = 0; i < cards->size(); ++i) {
        byCard.emplace((*cards)[i].id, (*addresses)[i]);
    }
    list.addressOf = [&byCard](const store::Card& card) { return byCard.at(card.id); };
    int pages = 0;
    const auto failure = labels::writePdf(
        args[1], QStringLiteral("Liste – ") + list.title, labels::listPage(list),
        [&](labels::PageCanvas& canvas) { pages = labels::drawList(canvas, list, *cards); });
    if (failure) {
        return written(args[1], failure);
    }
    out() << counted(static_cast<long long>(cards->size()), "Karte", "Karten") << " auf "
          << counted(pages, "Seite", "Seiten") << " in " << args[1] << " geschrieben." << Qt::endl;
    return kOk;
}

int printEnvelopes(const QStringList& args) {
    if (const auto problem = notPdf(args)) {
        return usage("envelope", *problem);
    }
    const Options options = readOptions(
        args,
        {"--format", "--form", "--sender", "--category", "--card", "--font", "--size", "--address"},
        {"--turned"});
    if (!options.problem.isEmpty()) {
        return usage("envelope", options.problem);
    }
    const AddressChoice address = addressChoice(options);
    if (!address.problem.isEmpty()) {
        return usage("envelope", address.problem);
    }
    labels::EnvelopeOptions envelope;
    const auto format = labels::envelopeById(options.value("--format"));
    const QString form = options.value("--form").toUpper();
    if (!format) {
        return usage(
            "envelope",
            options.has("--format")
                ? QStringLiteral("Unbekanntes Format: \"%1\"").arg(options.value("--format"))
                : QStringLiteral("--format fehlt."));
    }
    if (options.has("--form") && form != u"A" && form != u"B") {
        return usage(
            "envelope",
            QStringLiteral("--form ist A oder B, nicht \"%1\".").arg(options.value("--form")));
    }
    if (options.has("--card") && options.has("--category")) {
        return usage("envelope", QStringLiteral("--card und --category schließen sich aus."));
    }
    envelope.format = *format;
    envelope.form = form == u"B" ? labels::LetterForm::B : labels::LetterForm::A;
    envelope.sender = options.value("--sender");
    envelope.turned = options.has("--turned");
    QString problem;
    if (!readStyle(options, envelope.style, problem)) {
        return usage("envelope", problem);
    }
    auto cards = readCards(args[0], options.value("--category"));
    if (!cards) {
        return kFailed;
    }
    if (options.has("--card")) {
        const QString wanted = options.value("--card");
        std::erase_if(*cards, [&](const store::Card& card) {
            return heading(card).compare(wanted, Qt::CaseInsensitive) != 0;
        });
        cards->resize(std::min<std::size_t>(cards->size(), 1));
    }
    if (cards->empty()) {
        err() << "Keine Karten zu drucken." << Qt::endl;
        return kFailed;
    }
    const auto addresses = addressesOf(args[0], *cards, address.type);
    if (!addresses) {
        return kFailed;
    }
    std::vector<labels::PrintedEnvelope> printed;
    const auto failure =
        labels::writePdf(args[1], QStringLiteral("Umschläge"), labels::envelopePage(envelope),
                         [&](labels::PageCanvas& canvas) {
                             printed = labels::drawEnvelopes(canvas, envelope, *addresses);
                         });
    if (failure) {
        return written(args[1], failure);
    }
    for (std::size_t i = 0; i < printed.size(); ++i) {
        if (printed[i].cut) {
            err() << "Umschlag " << (i + 1) << " (\"" << heading((*cards)[i])
                  << "\") passt nicht ganz: der Text ist gekürzt." << Qt::endl;
        }
    }
    out() << counted(static_cast<long long>(cards->size()), "Umschlag", "Umschläge") << " in "
          << args[1] << " geschrieben." << Qt::endl;
    return kOk;
}

}  // namespace veltro::cli
