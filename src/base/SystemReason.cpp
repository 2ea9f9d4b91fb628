#include "base/SystemReason.h"

#include <QFile>
#include <QFileDevice>
#include <QFileInfo>

#include <array>
#include <cerrno>
#include <cstring>

namespace veltro {

namespace {

// The highest errno Linux knows.
constexpr int kLastErrno = 133;

QString systemText(int error) {
    std::array<char, 256> buffer{};
    // The GNU variant: the text may or may not land in the buffer.
    return QString::fromLocal8Bit(::strerror_r(error, buffer.data(), buffer.size())).trimmed();
}

int errnoOfSystemText(const QString& text) {
    for (int error = 1; error <= kLastErrno; ++error) {
        if (text == systemText(error)) {
            return error;
        }
    }
    return 0;
}

// Qt tells a file's failure by the system's text for its errno, by that text after one of
// its own ("Cannot open for output: ..."), by a text of its own, or by nothing.
int errnoOfText(const QString& text) {
    if (text.isEmpty()) {
        return 0;
    }
    if (const int error = errnoOfSystemText(text); error != 0) {
        return error;
    }
    if (const qsizetype colon = text.lastIndexOf(u": "); colon >= 0) {
        if (const int error = errnoOfSystemText(text.mid(colon + 2)); error != 0) {
            return error;
        }
    }
    if (text == u"Filename refers to a directory") {
        return EISDIR;
    }
    if (text.startsWith(u"Existing file ") && text.endsWith(u" is not writable")) {
        return EACCES;
    }
    return 0;
}

QString byKind(QFileDevice::FileError kind) {
    switch (kind) {
        case QFileDevice::ReadError:
            return QStringLiteral("Beim Lesen der Datei trat ein Fehler auf.");
        case QFileDevice::WriteError:
            return QStringLiteral(
                "Beim Schreiben der Datei trat ein Fehler auf; vielleicht ist der Datenträger "
                "voll.");
        case QFileDevice::PermissionsError:
            return QStringLiteral("Dafür fehlt die Berechtigung.");
        case QFileDevice::ResourceError:
            return QStringLiteral("Dem System fehlt Platz oder Speicher dafür.");
        case QFileDevice::OpenError:
            return QStringLiteral("Die Datei lässt sich nicht öffnen.");
        default:
            return QStringLiteral("Beim Zugriff auf die Datei trat ein Fehler auf.");
    }
}

}  // namespace

QString germanSystemReason(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("Auf dem Datenträger ist kein Platz mehr frei.");
        case EFBIG:
            return QStringLiteral("Die Datei würde größer, als das System erlaubt.");
        case EROFS:
            return QStringLiteral("Der Datenträger ist schreibgeschützt.");
        case EACCES:
        case EPERM:
            return QStringLiteral("Dafür fehlt die Berechtigung.");
        case ENOENT:
            return QStringLiteral("Die Datei oder ihr Verzeichnis fehlt.");
        case ENOTDIR:
            return QStringLiteral("Ein Teil des Pfads ist kein Verzeichnis.");
        case EISDIR:
            return QStringLiteral("Dort liegt ein Verzeichnis, keine Datei.");
        case EEXIST:
            return QStringLiteral("Die Datei gibt es schon.");
        case EBUSY:
        case ETXTBSY:
        case EAGAIN:
            return QStringLiteral("Die Datei ist gerade belegt.");
        case EIO:
            return QStringLiteral(
                "Beim Lesen oder Schreiben trat ein Fehler des Datenträgers auf.");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("Es sind zu viele Dateien geöffnet.");
        case ENOMEM:
            return QStringLiteral("Der Arbeitsspeicher reicht nicht aus.");
        case ENAMETOOLONG:
            return QStringLiteral("Der Name ist zu lang.");
        default:
            return QStringLiteral(
                       "Beim Zugriff auf die Datei trat ein Fehler auf (Systemfehler %1).")
                .arg(error);
    }
}

QString germanFileReason(const QFileDevice& file) {
    if (const int error = errnoOfText(file.errorString()); error != 0) {
        return germanSystemReason(error);
    }
    return byKind(file.error());
}

std::optional<QString> whyUnreadable(const QString& file) {
    if (QFileInfo(file).isDir()) {
        return QStringLiteral("Das ist ein Verzeichnis, keine Datei.");
    }
    QFile probe(file);
    if (!probe.open(QIODevice::ReadOnly)) {
        return germanFileReason(probe);
    }
    return std::nullopt;
}

}  // namespace veltro
