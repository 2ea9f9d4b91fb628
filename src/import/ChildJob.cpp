#include "import/ChildJob.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace veltro::import {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kWriteBuffer = std::size_t{64} * 1024;
constexpr std::uint32_t kMaxFrame = 64U * 1024U * 1024U;
constexpr int kWaitSliceMs = 50;
// Room the child may take beyond what it inherits; a damaged file can make a reader
// allocate without end.
constexpr rlim_t kExtraAddressSpace = rlim_t{2} * 1024 * 1024 * 1024;

// Splits the byte stream back into frames.
class FrameParser {
public:
    // False when the stream is not made of frames.
    bool feed(QByteArrayView bytes, const ChildJob::OnFrame& onFrame, bool& stop) {
        buffer_.append(bytes);
        qsizetype at = 0;
        while (buffer_.size() - at >= 5) {
            std::uint32_t size = 0;
            std::memcpy(&size, buffer_.constData() + at + 1, sizeof size);
            if (size > kMaxFrame) {
                return false;
            }
            if (buffer_.size() - at - 5 < static_cast<qsizetype>(size)) {
                break;
            }
            const char tag = buffer_[at];
            const QByteArrayView payload(buffer_.constData() + at + 5, size);
            at += 5 + static_cast<qsizetype>(size);
            if (!onFrame(tag, payload)) {
                stop = true;
                break;
            }
        }
        buffer_.remove(0, at);
        return true;
    }
    [[nodiscard]] bool clean() const { return buffer_.isEmpty(); }

private:
    QByteArray buffer_;
};

}  // namespace

void limitAddressSpace() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    unsigned long pages = 0;
    if (statm != nullptr) {
        if (std::fscanf(statm, "%lu", &pages) != 1) {
            pages = 0;
        }
        std::fclose(statm);
    }
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) +
                         kExtraAddressSpace;
    const rlimit value{limit, limit};
    ::setrlimit(RLIMIT_AS, &value);
}

namespace {

// The helper program lies beside the program that starts it in the build folder, and in a
// folder of its own once installed.
QString helperProgram() {
    if (const QByteArray chosen = qgetenv("VELTRO_MDB_READER"); !chosen.isEmpty()) {
        return QFile::decodeName(chosen);
    }
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (self.isEmpty()) {
        return QString::fromLatin1(kHelperName);
    }
    const QDir folder = QFileInfo(self).absoluteDir();
    QString beside = folder.filePath(QLatin1String(kHelperName));
    if (QFileInfo::exists(beside)) {
        return beside;
    }
    return QDir::cleanPath(
        folder.filePath(QStringLiteral(VELTRO_HELPER_FROM_BIN "/") + QLatin1String(kHelperName)));
}

}  // namespace

void FrameWriter::append(const void* data, std::size_t size) {
    buffer_.append(static_cast<const char*>(data), size);
    if (buffer_.size() >= kWriteBuffer) {
        flush();
    }
}

void FrameWriter::frame(char tag, std::string_view payload) {
    const auto size = static_cast<std::uint32_t>(payload.size());
    append(&tag, 1);
    append(&size, sizeof size);
    append(payload.data(), payload.size());
}

void FrameWriter::flush() {
    std::size_t written = 0;
    while (written < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + written, buffer_.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ::_exit(3);  // the parent has stopped listening
        }
        written += static_cast<std::size_t>(n);
    }
    buffer_.clear();
}

ChildJob::Outcome ChildJob::run(const OnFrame& onFrame, const OnWait& onWait) const {
    QProcess helper;
    helper.setProgram(helperProgram());
    helper.setArguments(arguments_);
    helper.setStandardErrorFile(QProcess::nullDevice());  // the library talks about every page
    helper.start(QIODevice::ReadOnly);
    if (!helper.waitForStarted()) {
        return Outcome::Failed;
    }
    FrameParser parser;
    auto lastData = Clock::now();
    auto lastWait = lastData;
    for (;;) {
        const bool running = helper.state() == QProcess::Running;
        if (running) {
            static_cast<void>(helper.waitForReadyRead(kWaitSliceMs));
        }
        const auto now = Clock::now();
        if (now - lastWait >= std::chrono::milliseconds(kWaitSliceMs)) {
            lastWait = now;
            if (onWait && !onWait()) {
                return Outcome::Stopped;  // QProcess ends the helper on the way out
            }
        }
        const QByteArray bytes = helper.readAllStandardOutput();
        if (!bytes.isEmpty()) {
            lastData = now;
            bool stop = false;
            if (!parser.feed(bytes, onFrame, stop)) {
                return Outcome::Failed;
            }
            if (stop) {
                return Outcome::Stopped;
            }
        } else if (!running) {
            break;
        } else if (now - lastData > patience_) {
            return Outcome::Failed;  // a reader caught in a loop on a damaged page
        }
    }
    return helper.exitStatus() == QProcess::NormalExit && helper.exitCode() == 0 && parser.clean()
               ? Outcome::Finished
               : Outcome::Failed;
}

}  // namespace veltro::import
