#include "app/cli/CliCommands.h"

#include "base/Counted.h"
#include "richtext/StoredText.h"
#include "store/CardExtrasTable.h"
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
        return usage("new-store",
                     QStringLiteral("Das Verzeichnis fehlt oder es ist mehr angegeben."));
    }
    return whileMakingStore(args[0], [&] {
        const auto file = store::createEmptyStore(dirArg(args[0]));
        out() << "Leere Kartei angelegt: " << QString::fromStdString(file.string()) << Qt::endl;
        return kOk;
    });
}

int demoStore(const QStringList& args) {
    if (args.size() != 1) {
        return usage("demo-store",
                     QStringLiteral("Das Verzeichnis fehlt oder es ist mehr angegeben."));
    }
    return whileMakingStore(args[0], [&] {
        const auto set = store::demoCards();
        store::writeSampleStore(dirArg(args[0]), set);
        out() << "Beispielkartei mit "
              << counted(static_cast<long long>(set.cards.size()), "Karte", "Karten")
              << " angelegt." << Qt::endl;
        return kOk;
    });
}

int generate(const QStringList& args) {
    if (args.size() != 2) {
        return usage("generate", QStringLiteral("Verzeichnis und Anzahl sind nötig."));
    }
    bool ok = false;
    const qlonglong count = args[1].toLongLong(&ok);
    if (!ok || count < 0) {
        return usage("generate",
                     QStringLiteral("Die Anzahl muss eine ganze Zahl ab 0 sein: %1").arg(args[1]));
    }
    return whileMakingStore(args[0], [&] {
        store::writeSyntheticStore(dirArg(args[0]), count);
        out() << counted(count, "Karte", "Karten") << " erzeugt." << Qt::endl;
        return kOk;
    });
}

int listCards(const QStringList& args) {
    // With a file after the folder the list goes on paper.
    if (args.size() >= 2) {
        return printList(args);
    }
    if (args.size() != 1) {
        return usage("list", QStringLiteral("Das Verzeichnis fehlt."));
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

namespace {

// "Hof 1, 89073 Ulm, Deutschland"
QString oneLine(const store::Entry& entry) {
    if (entry.kind != store::EntryKind::Anschrift) {
        return entry.value;
    }
    const QString place = (entry.postcode + u' ' + entry.town).trimmed();
    QStringList parts = {entry.value, place, entry.country};
    parts.removeAll(QString());
    return parts.join(QStringLiteral(", "));
}

// What the card holds beyond its fields, a line for each that is there.
void showExtras(const store::CardExtras& extras) {
    const auto line = [](const QString& name, const QString& value) {
        if (!value.isEmpty()) {
            out() << name << ": " << value << '\n';
        }
    };
    line(QStringLiteral("Geburtstag"), extras.birthday ? extras.birthday->shown() : QString());
    line(QStringLiteral("Jahrestag"), extras.anniversary ? extras.anniversary->shown() : QString());
    line(QStringLiteral("Spitzname"), extras.nickname);
    line(QStringLiteral("Titel"), extras.title);
    line(QStringLiteral("Rolle"), extras.role);
    if (extras.photo) {
        line(QStringLiteral("Foto"), QStringLiteral("%1, %2 Bytes")
                                         .arg(extras.photo->mediaType)
                                         .arg(extras.photo->bytes.size()));
    }
    for (const store::Entry& entry : extras.entries) {
        line(
            store::kindName(entry.kind) + QStringLiteral(" (") + store::typeName(entry.type) + u')',
            oneLine(entry));
    }
}

}  // namespace

int showCard(const QStringList& args) {
    QStringList plain = args;
    const bool rtf = plain.removeAll(QStringLiteral("--rtf")) > 0;
    if (plain.size() != 2) {
        return usage("show", QStringLiteral("Verzeichnis und Schlagworte sind nötig."));
    }
    auto cardStore = openStore(plain[0]);
    if (!cardStore) {
        return kFailed;
    }
    const auto id = cardStore->findByHeading(plain[1]);
    const auto card = id ? cardStore->loadCard(*id) : std::nullopt;
    if (!card) {
        err() << "Keine Karte mit den Schlagworten \"" << plain[1] << "\"." << Qt::endl;
        return kFailed;
    }
    for (std::size_t i = 0; i < store::kFieldCount; ++i) {
        const auto field = static_cast<store::Field>(i);
        const bool block = field == store::Field::Anschrift || field == store::Field::Notizen;
        const QString value = card->text(field);
        if (block && !rtf) {
            // A block shows below its name, a line for each paragraph.
            const QString shown = richtext::plainTextFromStored(value, richtext::LineBreak::Lf);
            QStringList lines = shown.split(u'\n');
            while (!lines.isEmpty() && lines.back().isEmpty()) {
                lines.removeLast();
            }
            out() << store::columnName(field) << ":\n";
            for (const QString& line : lines) {
                out() << (line.isEmpty() ? QString() : QStringLiteral("  ") + line) << '\n';
            }
            continue;
        }
        out() << store::columnName(field) << ": " << value << '\n';
    }
    showExtras(store::loadCardExtras(cardStore->db(), *id));
    out().flush();
    return kOk;
}

}  // namespace veltro::cli
