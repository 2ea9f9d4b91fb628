#include "store/StoreError.h"

#include <sqlite3.h>

namespace veltro::store {

namespace {

QString sentenceFor(int code) {
    switch (code & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral(
                "Die Kartei ist gerade von einem anderen Programm oder Fenster belegt.");
        case SQLITE_FULL:
            return QStringLiteral("Auf dem Datenträger ist kein Platz mehr frei.");
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_CANTOPEN:
            return QStringLiteral("Die Kartei darf nicht beschrieben werden.");
        case SQLITE_IOERR:
            return QStringLiteral("Beim Lesen oder Schreiben der Kartei trat ein Fehler auf.");
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return QStringLiteral("Die Kartei ist beschädigt.");
        default:
            return QStringLiteral("Die Kartei meldet einen Fehler.");
    }
}

}  // namespace

QString germanReason(const StoreError& error) {
    if (error.code() == 0) {
        return QString::fromUtf8(error.what());  // our own text, already German
    }
    return sentenceFor(error.code()) + QStringLiteral("\n(Meldung der Datenbank: ") +
           QString::fromUtf8(error.what()) + u')';
}

}  // namespace veltro::store
