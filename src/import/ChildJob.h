#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace veltro::import {

// What a child process sends to its parent: tagged frames of bytes.
class FrameWriter {
public:
    explicit FrameWriter(int fd) : fd_(fd) {}
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;
    ~FrameWriter() = default;

    void frame(char tag, std::string_view payload);
    void flush();

private:
    void append(const void* data, std::size_t size);

    int fd_;
    std::string buffer_;
};

// The name of the helper program that reads Access files; it lies beside the program.
inline constexpr const char* kHelperName = "veltro-mdb-reader";

// Keeps a process from taking more than 2 GiB beyond what it has now; a damaged file can
// make a reader allocate without end.
void limitAddressSpace();

// Runs the Access reader as a helper program and hands its frames to the caller as they
// arrive. A library that crashes, loops or runs out of memory on a damaged file then costs
// a failed read, never the program.
class ChildJob {
public:
    // Runs in the parent for every frame; returning false stops the child.
    using OnFrame = std::function<bool(char tag, QByteArrayView payload)>;
    // Runs in the parent while it waits, about every 50 ms; returning false stops the child.
    using OnWait = std::function<bool()>;

    enum class Outcome { Finished, Failed, Stopped };

    ChildJob(QStringList arguments, std::chrono::milliseconds patience)
        : arguments_(std::move(arguments)), patience_(patience) {}

    // Finished when the child exited with status 0 after sending every frame; Failed when
    // it could not start, crashed, failed, sent garbage or stayed silent longer than the
    // patience; Stopped when a callback asked to stop.
    Outcome run(const OnFrame& onFrame, const OnWait& onWait = {}) const;

private:
    QStringList arguments_;
    std::chrono::milliseconds patience_;
};

}  // namespace veltro::import
