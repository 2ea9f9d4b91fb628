#include "store/StoreError.h"

#include "base/SystemReason.h"

#include <sqlite3.h>

#include <cerrno>

namespace veltro::store {

namespace {

// Where the engine failed in a system call, its errno tells which kind of failure it was.
QString systemSentence(int systemError, const QString& otherwise) {
    switch (systemError) {
        case 0:
            return otherwise;
        case ENOENT:
            return QStringLiteral("Die Kartei oder ihr Verzeichnis fehlt.");
        case EACCES:
        case EPERM:
            return QStringLiteral("Für die Kartei fehlt die Berechtigung.");
        default:
            return germanSystemReason(systemError);
    }
}

// Without the system's reason, what the engine was doing when it failed.
QString ioSentence(int code) {
    switch (code) {
        case SQLITE_IOERR_WRITE:
        case SQLITE_IOERR_FSYNC:
        case SQLITE_IOERR_DIR_FSYNC:
        case SQLITE_IOERR_TRUNCATE:
            return QStringLiteral(
                "Beim Schreiben der Kartei trat ein Fehler auf; vielleicht ist der Datenträger "
                "voll.");
        case SQLITE_IOERR_READ:
        case SQLITE_IOERR_SHORT_READ:
            return QStringLiteral("Beim Lesen der Kartei trat ein Fehler auf.");
        default:
            return QStringLiteral("Beim Lesen oder Schreiben der Kartei trat ein Fehler auf.");
    }
}

QString sentenceFor(int code, int systemError) {
    switch (code & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral(
                "Die Kartei ist gerade von einem anderen Programm oder Fenster belegt.");
        case SQLITE_FULL:
            return QStringLiteral("Auf dem Datenträger ist kein Platz mehr frei.");
        case SQLITE_READONLY:
            return QStringLiteral("Die Kartei ist schreibgeschützt.");
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return QStringLiteral("Für die Kartei fehlt die Berechtigung.");
        case SQLITE_CANTOPEN:
            return systemSentence(systemError,
                                  QStringLiteral("Die Kartei lässt sich nicht öffnen."));
        case SQLITE_IOERR:
            return systemSentence(systemError, ioSentence(code));
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return QStringLiteral("Die Kartei ist beschädigt oder keine Kartei.");
        case SQLITE_NOMEM:
            return QStringLiteral("Der Arbeitsspeicher reicht nicht aus.");
        default:
            return QStringLiteral("Die Kartei meldet einen Fehler.");
    }
}

// Only these codes come from a system call; for the others a left-over errno would mislead.
bool systemErrorTells(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR;
}

QString reasonFor(const std::string& message, int code, int systemError) {
    if (code == 0) {
        return QString::fromStdString(message);  // our own text, already German
    }
    const int told = systemErrorTells(code) ? systemError : 0;
    QString number = QStringLiteral(" (Fehlernummer %1").arg(code);
    if (told != 0) {
        number += QStringLiteral(", Systemfehler %1").arg(told);
    }
    return sentenceFor(code, told) + number + u')';
}

}  // namespace

StoreError::StoreError(const std::string& message, int code, int systemError)
    : Error(Kind::Store, reasonFor(message, code, systemError), message),
      code_(code),
      systemError_(systemError) {}

}  // namespace veltro::store
