#pragma once

#include <QString>

#include <optional>

class QFileDevice;

namespace veltro {

// What a failed system call's errno means, as one short German sentence about a file or
// folder: voll, schreibgeschützt, belegt, fehlt, keine Berechtigung, Lese-/Schreibfehler.
[[nodiscard]] QString germanSystemReason(int error);

// Why Qt could not open, write or commit the file, in German. Qt's own text is the
// system's English one; the errno behind it is found again from that text.
[[nodiscard]] QString germanFileReason(const QFileDevice& file);

// Why a file cannot be read, in German (a folder, missing, no permission …); nothing when
// it opens for reading.
[[nodiscard]] std::optional<QString> whyUnreadable(const QString& file);

}  // namespace veltro
