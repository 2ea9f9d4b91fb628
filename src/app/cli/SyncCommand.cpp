#include "app/cli/CliCommands.h"

#include "store/CardStore.h"
#include "store/Categories.h"
#include "store/Schema.h"
#include "sync/SyncError.h"
#include "sync/SyncRun.h"

#include <QUrl>

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

namespace veltro::cli {

namespace {

struct SyncArgs {
    QString dir;
    QUrl url;
    QString user;
    QString category;
    QString book;
    QString fingerprint;
    bool allowDeletes = false;
};

std::optional<QString> parse(const QStringList& args, SyncArgs& parsed) {
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == u"--url" && hasValue) {
            parsed.url = QUrl::fromUserInput(args[++i]);
        } else if (arg == u"--user" && hasValue) {
            parsed.user = args[++i];
        } else if (arg == u"--category" && hasValue) {
            parsed.category = args[++i];
        } else if (arg == u"--book" && hasValue) {
            parsed.book = args[++i];
        } else if (arg == u"--fingerprint" && hasValue) {
            parsed.fingerprint = args[++i].toUpper();
        } else if (arg == u"--allow-deletes") {
            parsed.allowDeletes = true;
        } else if (arg.startsWith(u"--")) {
            return QStringLiteral("Nach %1 fehlt der Wert.").arg(arg);
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 1 || !parsed.url.isValid() || parsed.url.isEmpty() ||
        parsed.user.isEmpty() || parsed.category.isEmpty()) {
        return QStringLiteral("Verzeichnis, --url, --user und --category sind nötig.");
    }
    if (parsed.url.scheme() != u"http" && parsed.url.scheme() != u"https") {
        return QStringLiteral("--url braucht eine Adresse mit http:// oder https://.");
    }
    if (!store::isTargetCategory(parsed.category)) {
        return QStringLiteral("\"-Alle-\" ist keine Kategorie zum Abgleichen.");
    }
    parsed.dir = positional.front();
    return std::nullopt;
}

// Reads a line from the terminal with echo off; nothing when there is no terminal.
std::optional<QString> askPassword() {
    if (isatty(STDIN_FILENO) == 0) {
        return std::nullopt;
    }
    err() << "Passwort: " << Qt::flush;
    termios saved{};
    tcgetattr(STDIN_FILENO, &saved);
    termios silent = saved;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    std::string line;
    std::getline(std::cin, line);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    err() << Qt::endl;
    return QString::fromStdString(line);
}

// The book to pair: the one the store already pairs with this category on this server, the
// address given when it is a book itself, the only one found, or the one --book names.
std::optional<sync::Pairing> choosePairing(store::Database& db, sync::DavClient& client,
                                           const SyncArgs& args, QString& problem) {
    for (const sync::Pairing& known : sync::pairings(db)) {
        if (known.category == args.category &&
            sync::canonicalUrl(known.server) == sync::canonicalUrl(args.url) &&
            known.user == args.user) {
            return known;
        }
    }
    const auto books = client.discover(args.url);
    std::vector<sync::AddressBook> chosen;
    for (const auto& book : books) {
        const QStringList path = book.url.path().split(u'/', Qt::SkipEmptyParts);
        if (args.book.isEmpty() || book.name == args.book ||
            (!path.isEmpty() && path.back() == args.book)) {
            chosen.push_back(book);
        }
    }
    if (chosen.size() != 1) {
        QStringList names;
        for (const auto& book : books) {
            names << book.name;
        }
        problem = books.empty()    ? QStringLiteral("Auf dem Server gibt es kein Adressbuch.")
                  : chosen.empty() ? QStringLiteral("Kein Adressbuch heißt \"%1\". Vorhanden: %2")
                                         .arg(args.book, names.join(QStringLiteral(", ")))
                                   : QStringLiteral(
                                         "Der Server hat mehrere Adressbücher; bitte mit --book "
                                         "eines wählen: %1")
                                         .arg(names.join(QStringLiteral(", ")));
        return std::nullopt;
    }
    if (const auto known = sync::pairingForBook(db, chosen.front().url);
        known && known->category != args.category) {
        problem = QStringLiteral(
                      "Das Adressbuch \"%1\" ist schon mit der Kategorie \"%2\" "
                      "verbunden.")
                      .arg(chosen.front().name, known->category);
        return std::nullopt;
    }
    sync::Pairing pairing;
    pairing.server = args.url;
    pairing.user = args.user;
    pairing.book = chosen.front().url;
    pairing.category = args.category;
    pairing.fingerprint = args.fingerprint;
    pairing.id = sync::savePairing(db, pairing);
    return pairing;
}

int runSync(const SyncArgs& args, const QString& password) {
    const std::filesystem::path storeFile =
        std::filesystem::path(args.dir.toStdString()) / store::kStoreFileName;
    auto cards = store::CardStore::open(storeFile);
    sync::DavClient client({args.user, password}, args.url, args.fingerprint);
    try {
        QString problem;
        auto pairing = choosePairing(cards.db(), client, args, problem);
        if (!pairing) {
            err() << problem << Qt::endl;
            return kUsage;
        }
        if (!args.fingerprint.isEmpty() && pairing->fingerprint != args.fingerprint) {
            pairing->fingerprint = args.fingerprint;
            sync::savePairing(cards.db(), *pairing);
        }
        sync::DavClient paired({args.user, password}, pairing->server, pairing->fingerprint);
        paired.allowBookOf(pairing->book);
        sync::SyncOptions options;
        options.beforeChangesHere = [&] { backUpFirst(storeFile); };
        options.allowManyDeletes = [&](const sync::MassDelete&) { return args.allowDeletes; };
        const sync::SyncReport report = sync::synchronize(cards, *pairing, paired, options);
        out() << sync::reportText(report) << Qt::endl;
        return report.skipped > 0 ? kPartly : kOk;
    } catch (const sync::SyncError& e) {
        err() << "Fehler: " << e.text() << Qt::endl;
        if (e.kind() == sync::SyncError::Kind::ManyDeletes) {
            err() << "Wenn das so gewollt ist: noch einmal mit --allow-deletes." << Qt::endl;
        }
        return kFailed;
    }
}

}  // namespace

int syncBook(const QStringList& args) {
    SyncArgs parsed;
    if (const auto problem = parse(args, parsed)) {
        return usage("sync", *problem);
    }
    std::optional<QString> password;
    if (const QByteArray fromEnv = qgetenv("VELTRO_CARDDAV_PASSWORD"); !fromEnv.isNull()) {
        password = QString::fromUtf8(fromEnv);
    } else {
        password = askPassword();
    }
    if (!password) {
        return usage("sync", QStringLiteral("Ohne Terminal braucht es das Passwort in "
                                            "VELTRO_CARDDAV_PASSWORD."));
    }
    return whileLocked(parsed.dir, [&] { return runSync(parsed, *password); });
}

}  // namespace veltro::cli
