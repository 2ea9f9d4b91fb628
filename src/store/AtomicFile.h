#pragma once

#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

#include <filesystem>
#include <optional>

namespace veltro::store {

// A file that takes its target's place only once it is written whole: written beside the
// target, brought to disk and renamed over it. Until then, and whenever something fails, the
// target stays as it was; reason() says in German what failed. Dropped without commit(), the
// new file goes.
class AtomicFile {
public:
    enum class Buffering {
        Buffered,
        // Every write reaches the system at once and fails where it happens: for writers that
        // send large blocks of their own.
        Unbuffered,
    };

    explicit AtomicFile(const QString& target, Buffering buffering = Buffering::Buffered);
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile() = default;

    // Where no file can be made beside the target (a folder one may not write in), the target
    // itself is written; a failure then leaves it incomplete.
    void allowWritingInPlace();
    // The new file gets the read and write permissions of `model` instead of the target's.
    void takePermissionsOf(const std::filesystem::path& model);

    [[nodiscard]] bool open();
    // For writers that take a device; their failures show in commit().
    [[nodiscard]] QIODevice& device() { return file_; }
    [[nodiscard]] bool write(QByteArrayView bytes);
    [[nodiscard]] bool commit();
    // Drops the new file, as after a write through device() that failed; reason() says why.
    void cancel() { fail(); }
    [[nodiscard]] const QString& reason() const { return reason_; }

private:
    bool fail();

    QSaveFile file_;
    Buffering buffering_;
    std::optional<std::filesystem::path> permissionsModel_;
    QString reason_;
};

// The last step for a file another writer filled beside its target (the engine's VACUUM INTO,
// a backup copy): brings it to disk and renames it over the target. Nothing when done,
// otherwise the German reason; the file then stays where it is.
[[nodiscard]] std::optional<QString> putInPlace(const std::filesystem::path& written,
                                                const std::filesystem::path& target);

}  // namespace veltro::store
