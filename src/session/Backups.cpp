#include "session/Backups.h"

#include "backup/BackupWriter.h"
#include "backup/PartialBackups.h"
#include "backup/Rotation.h"
#include "base/Failure.h"
#include "base/ThreadPriority.h"
#include "store/Snapshot.h"

#include <memory>
#include <mutex>

#include <sys/syscall.h>
#include <unistd.h>

namespace veltro::session {

namespace {

QString failure(const QString& reason) {
    return QStringLiteral("Die Sicherung der Kartei ist misslungen; Ihre Arbeit geht weiter. %1")
        .arg(reason);
}

// Thrown on a copy's thread when it is to stop unfinished.
struct Stopped {};

// Two copies may end together; one of them looks at the folder at a time.
std::mutex rotating;

// A copy is never in a hurry: the processor and the disk go to the window first.
void yieldToTheWindow() {
    yieldProcessorToTheWindow();
    constexpr int kIdleClass = 3;
    constexpr int kClassShift = 13;
    ::syscall(SYS_ioprio_set, 1 /* one thread */, ::gettid(), kIdleClass << kClassShift);
}

}  // namespace

Backups::Backups(std::function<void(const QString&, bool)> tell, QObject* parent)
    : QObject(parent), tell_(std::move(tell)) {}

Backups::~Backups() {
    wait();
}

void Backups::wait() {
    for (auto& copy : std::exchange(copies_, {})) {
        copy.join();
    }
}

bool Backups::stopCopiesOfTheStart() {
    stopping_ = true;
    wait();
    stopping_ = false;
    return !stopped_.exchange(false);
}

bool Backups::beforeChange(const std::filesystem::path& storeFile, backup::Occasion occasion) {
    const QDateTime now = clock_();
    if (!schedule_.due(occasion, now)) {
        return false;
    }
    const bool ofTheStart = !schedule_.takenBefore();
    schedule_.taken(now);
    try {
        auto writer = std::make_unique<backup::BackupWriter>(storeFile, now);
        writer->afterTheChange();
        start(std::move(writer), now, ofTheStart);
    } catch (...) {
        report(failure(describeFailure(std::current_exception()).text), true);
        return false;
    }
    return true;
}

void Backups::afterUnfinishedRun(store::Database& db) {
    try {
        if (!store::Snapshot::leftChanges(db) ||
            !backup::hasLeftPartials(backup::backupFolder(db.file()))) {
            return;
        }
        const QDateTime now = clock_();
        auto writer = std::make_unique<backup::BackupWriter>(db.file(), now);
        writer->rewindRun();
        start(std::move(writer), now, false);
    } catch (...) {
        report(failure(describeFailure(std::current_exception()).text), true);
    }
}

void Backups::start(std::unique_ptr<backup::BackupWriter> writer, const QDateTime& now,
                    bool ofTheStart) {
    // Copies that ended are taken in; one still running goes on beside the new one.
    if (running_ == 0) {
        wait();
    }
    const backup::KeepPolicy keep = backup::keepPolicyFromSettings();
    ++running_;
    copies_.emplace_back([this, writer = std::move(writer), now, keep, ofTheStart]() mutable {
        yieldToTheWindow();
        QString text;
        bool failed = false;
        const auto beforePiece = [this, ofTheStart] {
            if (pieceHook_) {
                pieceHook_();
            }
            if (ofTheStart && stopping_) {
                throw Stopped();
            }
        };
        try {
            const auto file = writer->write(beforePiece);
            const std::lock_guard lock(rotating);
            backup::rotateBackups(file.parent_path(), now.date(), keep);
            text = QStringLiteral("Sicherung angelegt: %1")
                       .arg(QString::fromStdString(file.filename().string()));
        } catch (const Stopped&) {
            writer->leaveUnfinished();
            stopped_ = true;
        } catch (...) {  // nothing may leave the thread
            text = failure(describeFailure(std::current_exception()).text);
            failed = true;
        }
        writer.reset();
        --running_;
        if (text.isEmpty()) {
            return;
        }
        QMetaObject::invokeMethod(
            this, [this, text, failed] { report(text, failed); }, Qt::QueuedConnection);
    });
}

void Backups::report(const QString& text, bool failed) {
    if (tell_) {
        tell_(text, failed);
    }
}

}  // namespace veltro::session
