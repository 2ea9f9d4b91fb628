#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <type_traits>
#include <vector>

namespace veltro::fulltext {

class FullTextIndex;

// The full-text index as a file beside the store, so that a start reads it instead of every
// card: a header with the image's number (the store names the image its notes go with, see
// store/FullTextNotes.h), the index's lists as they lie in memory, and a checksum over all.
// A file that is short, damaged or of another layout is not taken; the index is then built.

// Writes the image into `file`, made anew and private to its owner; the caller puts it in
// place (store::putInPlace). False when it failed or `stop` turned true meanwhile.
[[nodiscard]] bool writeImage(const FullTextIndex& index, const std::filesystem::path& file,
                              std::uint64_t number, const std::atomic<bool>& stop);
// The number the image in `file` says it is, without reading the rest.
[[nodiscard]] std::optional<std::uint64_t> imageNumber(const std::filesystem::path& file);
// Reads the image with that number; nothing when it is not there or not sound.
[[nodiscard]] std::optional<FullTextIndex> loadImage(const std::filesystem::path& file,
                                                     std::uint64_t number);

// Where the image of a store lies.
[[nodiscard]] std::filesystem::path imageFileOf(const std::filesystem::path& storeFile);

// The lists an index is made of go through these, counted and summed.
class ImageSink {
public:
    ImageSink(std::FILE* file, const std::atomic<bool>& stop) : file_(file), stop_(stop) {}
    void put(const void* data, std::size_t bytes);
    template <typename T>
    void put(const std::vector<T>& items) {
        static_assert(std::is_trivially_copyable_v<T>);
        const std::uint64_t count = items.size();
        put(&count, sizeof count);
        put(items.data(), items.size() * sizeof(T));
    }
    [[nodiscard]] bool failed() const { return failed_; }
    [[nodiscard]] std::uint64_t sum() const { return sum_; }

private:
    std::FILE* file_;
    const std::atomic<bool>& stop_;
    std::uint64_t sum_ = 0;
    bool failed_ = false;
};

class ImageSource {
public:
    explicit ImageSource(std::FILE* file) : file_(file) {}
    bool get(void* data, std::size_t bytes);
    // At most `most` items: a damaged count never makes a huge list.
    template <typename T>
    bool get(std::vector<T>& items, std::uint64_t most) {
        static_assert(std::is_trivially_copyable_v<T>);
        std::uint64_t count = 0;
        if (!get(&count, sizeof count) || count > most) {
            return false;
        }
        items.resize(count);
        return get(items.data(), count * sizeof(T));
    }
    [[nodiscard]] std::uint64_t sum() const { return sum_; }
    // What is left of the file, in bytes: no list may be longer.
    [[nodiscard]] std::uint64_t left() const { return left_; }
    void setLeft(std::uint64_t bytes) { left_ = bytes; }

private:
    std::FILE* file_;
    std::uint64_t sum_ = 0;
    std::uint64_t left_ = 0;
};

}  // namespace veltro::fulltext
