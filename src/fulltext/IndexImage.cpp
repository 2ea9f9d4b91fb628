#include "fulltext/IndexImage.h"

#include "fulltext/FullTextIndex.h"

#include <array>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltro::fulltext {

namespace fs = std::filesystem;

namespace {

// A new layout of the index's lists takes a new number: older images are then built anew.
constexpr std::array<char, 8> kMagic = {'V', 'e', 'l', 't', 'r', 'o', 'V', 'T'};
constexpr std::uint32_t kLayout = 3;

struct Header {
    std::array<char, 8> magic = kMagic;
    std::uint32_t layout = kLayout;
    std::uint32_t columns = FullTextIndex::kColumns;
    std::uint64_t number = 0;
};

// Cheap enough to check a few hundred megabytes in a blink; it is no defence, only a check.
std::uint64_t mixed(std::uint64_t sum, const unsigned char* bytes, std::size_t count) {
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes + i, 8);
        sum = (((sum << 23) | (sum >> 41)) ^ word) * 0x9E3779B97F4A7C15ULL;
    }
    for (; i < count; ++i) {
        sum = (sum ^ bytes[i]) * 0x100000001B3ULL;
    }
    return sum;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File openToRead(const fs::path& file) {
    return File(std::fopen(file.c_str(), "rbe"));
}

std::optional<Header> readHeader(std::FILE* file) {
    Header header;
    if (std::fread(&header, sizeof header, 1, file) != 1 || header.magic != kMagic ||
        header.layout != kLayout || header.columns != FullTextIndex::kColumns) {
        return std::nullopt;
    }
    return header;
}

}  // namespace

void ImageSink::put(const void* data, std::size_t bytes) {
    failed_ = failed_ || stop_ || (bytes > 0 && std::fwrite(data, bytes, 1, file_) != 1);
    if (!failed_) {
        sum_ = mixed(sum_, static_cast<const unsigned char*>(data), bytes);
    }
}

bool ImageSource::get(void* data, std::size_t bytes) {
    if (bytes > left_ || (bytes > 0 && std::fread(data, bytes, 1, file_) != 1)) {
        return false;
    }
    left_ -= bytes;
    sum_ = mixed(sum_, static_cast<const unsigned char*>(data), bytes);
    return true;
}

fs::path imageFileOf(const fs::path& storeFile) {
    return fs::path(storeFile).concat(".volltext");
}

bool writeImage(const FullTextIndex& index, const fs::path& file, std::uint64_t number,
                const std::atomic<bool>& stop) {
    // The cards' words are in it: only the owner reads it, as the store's backups.
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const File out(::fdopen(fd, "wb"));
    if (!out) {
        ::close(fd);
        return false;
    }
    std::setvbuf(out.get(), nullptr, _IOFBF, 1 << 20);
    Header header;
    header.number = number;
    ImageSink sink(out.get(), stop);
    sink.put(&header, sizeof header);
    index.write(sink);
    const std::uint64_t sum = sink.sum();
    return !sink.failed() && std::fwrite(&sum, sizeof sum, 1, out.get()) == 1 &&
           std::fflush(out.get()) == 0;
}

std::optional<std::uint64_t> imageNumber(const fs::path& file) {
    const File in = openToRead(file);
    const auto header = in ? readHeader(in.get()) : std::nullopt;
    return header ? std::optional(header->number) : std::nullopt;
}

std::optional<FullTextIndex> loadImage(const fs::path& file, std::uint64_t number) {
    const File in = openToRead(file);
    struct stat info {};
    if (!in || ::fstat(::fileno(in.get()), &info) != 0) {
        return std::nullopt;
    }
    std::setvbuf(in.get(), nullptr, _IOFBF, 1 << 20);
    const auto header = readHeader(in.get());
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (!header || header->number != number || size < sizeof(Header) + 8) {
        return std::nullopt;
    }
    // Read once more through the source: the header counts into the sum as it was written.
    ImageSource source(in.get());
    source.setLeft(size - 8);
    Header again;
    FullTextIndex index;
    if (std::fseek(in.get(), 0, SEEK_SET) != 0 || !source.get(&again, sizeof again) ||
        !index.read(source) || source.left() != 0) {
        return std::nullopt;
    }
    const std::uint64_t expected = source.sum();
    std::uint64_t sum = 0;
    if (std::fread(&sum, sizeof sum, 1, in.get()) != 1 || sum != expected) {
        return std::nullopt;
    }
    return index;
}

}  // namespace veltro::fulltext
