#include "session/Backups.h"

#include "backup/BackupWriter.h"
#include "backup/Rotation.h"
#include "base/Failure.h"

#include <memory>

namespace veltro::session {

namespace {

QString failure(const QString& reason) {
    return QStringLiteral("Die Sicherung der Kartei ist misslungen; Ihre Arbeit geht weiter. %1")
        .arg(reason);
}

}  // namespace

Backups::Backups(std::function<void(const QString&, bool)> tell, QObject* parent)
    : QObject(parent), tell_(std::move(tell)) {}

Backups::~Backups() {
    wait();
}

void Backups::wait() {
    if (copying_.joinable()) {
        copying_.join();
    }
}

void Backups::waitForCopy() const {
    running_.wait(true);
}

bool Backups::beforeChange(const std::filesystem::path& storeFile, backup::Occasion occasion) {
    const QDateTime now = clock_();
    if (!schedule_.due(occasion, now)) {
        return false;
    }
    schedule_.taken(now);
    // A copy still running began before any later change could end, so it already holds
    // the store as it is now.
    if (running_) {
        return false;
    }
    wait();
    std::unique_ptr<backup::BackupWriter> writer;
    try {
        writer = std::make_unique<backup::BackupWriter>(storeFile);
    } catch (...) {
        report(failure(describeFailure(std::current_exception()).text), true);
        return false;
    }
    const backup::KeepPolicy keep = backup::keepPolicyFromSettings();
    running_ = true;
    copying_ = std::thread([this, writer = std::move(writer), now, keep]() mutable {
        QString text;
        bool failed = false;
        try {
            const auto file = writer->write(now);
            backup::rotateBackups(file.parent_path(), now.date(), keep);
            text = QStringLiteral("Sicherung angelegt: %1")
                       .arg(QString::fromStdString(file.filename().string()));
        } catch (...) {  // nothing may leave the thread
            text = failure(describeFailure(std::current_exception()).text);
            failed = true;
        }
        writer.reset();  // the store is free for writing again
        running_ = false;
        running_.notify_all();
        QMetaObject::invokeMethod(
            this, [this, text, failed] { report(text, failed); }, Qt::QueuedConnection);
    });
    return true;
}

void Backups::report(const QString& text, bool failed) {
    if (tell_) {
        tell_(text, failed);
    }
}

}  // namespace veltro::session
