#include "app/cli/CliCommands.h"

#include "store/CardStore.h"
#include "store/SampleCards.h"
#include "store/Schema.h"
#include "store/StoreError.h"

#include <filesystem>

namespace veltro::cli {

namespace {

std::filesystem::path dirArg(const QString& arg) {
    return std::filesystem::path(arg.toStdString());
}

int usage(const char* text) {
    err() << "Aufruf: veltro-cli " << text << Qt::endl;
    return kUsage;
}

// For reading only: a store of any version is listed, and none is upgraded.
std::optional<store::CardStore> openStore(const QString& dir) {
    try {
        return store::CardStore::openForReading(dirArg(dir) / store::kStoreFileName);
    } catch (const store::StoreError& e) {
        err() << "Die Kartei in " << dir << " lässt sich nicht öffnen: " << store::germanReason(e)
              << Qt::endl;
        return std::nullopt;
    }
}

// A command that makes a store creates its folder first, so that the folder can be locked.
int whileMakingStore(const QString& dir, const std::function<int()>& command) {
    std::error_code ec;
    std::filesystem::create_directories(dirArg(dir), ec);
    return whileLocked(dir, command);
}

}  // namespace

int newStore(const QStringList& args) {
    if (args.size() != 1) {
        return usage("new-store VERZEICHNIS");
    }
    return whileMakingStore(args[0], [&] {
        const auto file = store::createEmptyStore(dirArg(args[0]));
        out() << "Leere Kartei angelegt: " << QString::fromStdString(file.string()) << Qt::endl;
        return kOk;
    });
}

int demoStore(const QStringList& args) {
    if (args.size() != 1) {
        return usage("demo-store VERZEICHNIS");
    }
    return whileMakingStore(args[0], [&] {
        const auto set = store::demoCards();
        store::writeSampleStore(dirArg(args[0]), set);
        out() << "Beispielkartei mit " << set.cards.size() << " Karten angelegt." << Qt::endl;
        return kOk;
    });
}

int generate(const QStringList& args) {
    bool ok = false;
    const qlonglong count = args.size() == 2 ? args[1].toLongLong(&ok) : 0;
    if (!ok || count < 0) {
        return usage("generate VERZEICHNIS ANZAHL");
    }
    return whileMakingStore(args[0], [&] {
        store::writeSyntheticStore(dirArg(args[0]), count);
        out() << count << " Karten erzeugt." << Qt::endl;
        return kOk;
    });
}

int listCards(const QStringList& args) {
    // With a file after the folder the list goes on paper.
    if (args.size() >= 2) {
        return printList(args);
    }
    if (args.size() != 1) {
        return usage("list VERZEICHNIS");
    }
    auto cardStore = openStore(args[0]);
    if (!cardStore) {
        return kFailed;
    }
    for (const auto& row : cardStore->headings()) {
        out() << row.heading << '\n';
    }
    out().flush();
    return kOk;
}

int showCard(const QStringList& args) {
    if (args.size() != 2) {
        return usage("show VERZEICHNIS SCHLAGWORTE");
    }
    auto cardStore = openStore(args[0]);
    if (!cardStore) {
        return kFailed;
    }
    const auto id = cardStore->findByHeading(args[1]);
    const auto card = id ? cardStore->loadCard(*id) : std::nullopt;
    if (!card) {
        err() << "Keine Karte mit den Schlagworten \"" << args[1] << "\"." << Qt::endl;
        return kFailed;
    }
    for (std::size_t i = 0; i < store::kFieldCount; ++i) {
        const auto field = static_cast<store::Field>(i);
        out() << store::columnName(field) << ": " << card->text(field) << '\n';
    }
    out().flush();
    return kOk;
}

}  // namespace veltro::cli
