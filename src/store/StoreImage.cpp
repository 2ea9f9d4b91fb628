#include "store/StoreImage.h"

#include "store/StoreError.h"
#include "store/SystemReason.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltro::store {

struct StoreImage::Pages {
    dev_t device = 0;
    ino_t inode = 0;
    int source = -1;  // our own descriptor of the store file
    int target = -1;
    std::int64_t pageSize = 4096;
    std::int64_t count = 0;  // pages of the file at the moment
    std::mutex mutex;        // guards `taken`, `error` and `synced`
    std::vector<bool> taken;
    int error = 0;
    bool synced = false;
    std::condition_variable changed;

    // Copies pages [first, last) that are not taken yet; the caller holds `mutex`.
    void take(std::int64_t first, std::int64_t last);
    void copy(std::int64_t first, std::int64_t last);
};

namespace {

// ---- which images are being made ----

std::mutex registryMutex;
std::vector<std::shared_ptr<StoreImage::Pages>> registry;
std::atomic<int> imageCount{0};

// Keeps the old bytes of [offset, offset + length) of the file in every image made of it.
void keepBefore(dev_t device, ino_t inode, std::int64_t offset, std::int64_t length) {
    if (imageCount.load(std::memory_order_acquire) == 0 || length <= 0) {
        return;
    }
    const std::lock_guard lock(registryMutex);
    for (const auto& pages : registry) {
        if (pages->device != device || pages->inode != inode) {
            continue;
        }
        const std::lock_guard pageLock(pages->mutex);
        pages->take(offset / pages->pageSize,
                    std::min(pages->count, (offset + length - 1) / pages->pageSize + 1));
    }
}

// A change of the file went to disk.
void noteSync(dev_t device, ino_t inode) {
    if (imageCount.load(std::memory_order_acquire) == 0) {
        return;
    }
    const std::lock_guard lock(registryMutex);
    for (const auto& pages : registry) {
        if (pages->device == device && pages->inode == inode) {
            const std::lock_guard pageLock(pages->mutex);
            pages->synced = true;
            pages->changed.notify_all();
        }
    }
}

// ---- the file layer ----

struct ImageFile {
    sqlite3_file base;
    sqlite3_file* real;  // the engine's own file, right behind this one
    dev_t device;
    ino_t inode;
    bool watched;  // a main database file: its writes are looked at
};

sqlite3_vfs* realVfs(sqlite3_vfs* vfs) {
    return static_cast<sqlite3_vfs*>(vfs->pAppData);
}

sqlite3_file* real(sqlite3_file* file) {
    return reinterpret_cast<ImageFile*>(file)->real;
}

int imageWrite(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
    const auto* own = reinterpret_cast<ImageFile*>(file);
    if (own->watched) {
        keepBefore(own->device, own->inode, offset, amount);
    }
    return own->real->pMethods->xWrite(own->real, data, amount, offset);
}

int imageTruncate(sqlite3_file* file, sqlite3_int64 size) {
    const auto* own = reinterpret_cast<ImageFile*>(file);
    if (own->watched) {
        keepBefore(own->device, own->inode, size, INT64_MAX / 2);
    }
    return own->real->pMethods->xTruncate(own->real, size);
}

int imageSync(sqlite3_file* file, int flags) {
    const auto* own = reinterpret_cast<ImageFile*>(file);
    const int rc = own->real->pMethods->xSync(own->real, flags);
    if (own->watched && rc == SQLITE_OK) {
        noteSync(own->device, own->inode);
    }
    return rc;
}

int imageClose(sqlite3_file* file) {
    auto* inner = real(file);
    const int rc = inner->pMethods != nullptr ? inner->pMethods->xClose(inner) : SQLITE_OK;
    file->pMethods = nullptr;
    return rc;
}

// Everything else goes to the engine's own file as it is.
template <int Version>
const sqlite3_io_methods* methods() {
    static const sqlite3_io_methods table = {
        Version,
        imageClose,
        [](sqlite3_file* f, void* data, int amount, sqlite3_int64 offset) {
            return real(f)->pMethods->xRead(real(f), data, amount, offset);
        },
        imageWrite,
        imageTruncate,
        imageSync,
        [](sqlite3_file* f, sqlite3_int64* size) {
            return real(f)->pMethods->xFileSize(real(f), size);
        },
        [](sqlite3_file* f, int level) { return real(f)->pMethods->xLock(real(f), level); },
        [](sqlite3_file* f, int level) { return real(f)->pMethods->xUnlock(real(f), level); },
        [](sqlite3_file* f, int* out) {
            return real(f)->pMethods->xCheckReservedLock(real(f), out);
        },
        [](sqlite3_file* f, int op, void* arg) {
            return real(f)->pMethods->xFileControl(real(f), op, arg);
        },
        [](sqlite3_file* f) { return real(f)->pMethods->xSectorSize(real(f)); },
        [](sqlite3_file* f) { return real(f)->pMethods->xDeviceCharacteristics(real(f)); },
        [](sqlite3_file* f, int page, int size, int extend, void volatile** out) {
            return real(f)->pMethods->xShmMap(real(f), page, size, extend, out);
        },
        [](sqlite3_file* f, int offset, int n, int flags) {
            return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
        },
        [](sqlite3_file* f) { real(f)->pMethods->xShmBarrier(real(f)); },
        [](sqlite3_file* f, int remove) { return real(f)->pMethods->xShmUnmap(real(f), remove); },
        [](sqlite3_file* f, sqlite3_int64 offset, int amount, void** out) {
            return real(f)->pMethods->xFetch(real(f), offset, amount, out);
        },
        [](sqlite3_file* f, sqlite3_int64 offset, void* page) {
            return real(f)->pMethods->xUnfetch(real(f), offset, page);
        },
    };
    return &table;
}

int imageOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    auto* own = reinterpret_cast<ImageFile*>(file);
    own->base.pMethods = nullptr;
    own->real = reinterpret_cast<sqlite3_file*>(own + 1);
    own->watched = false;
    sqlite3_vfs* inner = realVfs(vfs);
    const int rc = inner->xOpen(inner, name, own->real, flags, outFlags);
    if (rc != SQLITE_OK || own->real->pMethods == nullptr) {
        return rc;
    }
    struct stat info {};
    if ((flags & SQLITE_OPEN_MAIN_DB) != 0 && name != nullptr && ::stat(name, &info) == 0) {
        own->device = info.st_dev;
        own->inode = info.st_ino;
        own->watched = true;
    }
    const int version = own->real->pMethods->iVersion;
    own->base.pMethods = version >= 3 ? methods<3>() : version == 2 ? methods<2>() : methods<1>();
    return SQLITE_OK;
}

sqlite3_vfs makeLayer(sqlite3_vfs* inner) {
    sqlite3_vfs layer = *inner;  // the same limits and version
    layer.szOsFile = static_cast<int>(sizeof(ImageFile)) + inner->szOsFile;
    layer.zName = "veltro-image";
    layer.pAppData = inner;
    layer.xOpen = imageOpen;
    layer.xDelete = [](sqlite3_vfs* v, const char* name, int sync) {
        return realVfs(v)->xDelete(realVfs(v), name, sync);
    };
    layer.xAccess = [](sqlite3_vfs* v, const char* name, int flags, int* out) {
        return realVfs(v)->xAccess(realVfs(v), name, flags, out);
    };
    layer.xFullPathname = [](sqlite3_vfs* v, const char* name, int size, char* out) {
        return realVfs(v)->xFullPathname(realVfs(v), name, size, out);
    };
    layer.xDlOpen = [](sqlite3_vfs* v, const char* name) {
        return realVfs(v)->xDlOpen(realVfs(v), name);
    };
    layer.xDlError = [](sqlite3_vfs* v, int size, char* out) {
        realVfs(v)->xDlError(realVfs(v), size, out);
    };
    layer.xDlSym = [](sqlite3_vfs* v, void* handle, const char* symbol) {
        return realVfs(v)->xDlSym(realVfs(v), handle, symbol);
    };
    layer.xDlClose = [](sqlite3_vfs* v, void* handle) { realVfs(v)->xDlClose(realVfs(v), handle); };
    layer.xRandomness = [](sqlite3_vfs* v, int size, char* out) {
        return realVfs(v)->xRandomness(realVfs(v), size, out);
    };
    layer.xSleep = [](sqlite3_vfs* v, int micro) { return realVfs(v)->xSleep(realVfs(v), micro); };
    layer.xCurrentTime = [](sqlite3_vfs* v, double* out) {
        return realVfs(v)->xCurrentTime(realVfs(v), out);
    };
    layer.xGetLastError = [](sqlite3_vfs* v, int size, char* out) {
        return realVfs(v)->xGetLastError(realVfs(v), size, out);
    };
    if (inner->iVersion >= 2) {
        layer.xCurrentTimeInt64 = [](sqlite3_vfs* v, sqlite3_int64* out) {
            return realVfs(v)->xCurrentTimeInt64(realVfs(v), out);
        };
    }
    if (inner->iVersion >= 3) {
        layer.xSetSystemCall = [](sqlite3_vfs* v, const char* name, sqlite3_syscall_ptr call) {
            return realVfs(v)->xSetSystemCall(realVfs(v), name, call);
        };
        layer.xGetSystemCall = [](sqlite3_vfs* v, const char* name) {
            return realVfs(v)->xGetSystemCall(realVfs(v), name);
        };
        layer.xNextSystemCall = [](sqlite3_vfs* v, const char* name) {
            return realVfs(v)->xNextSystemCall(realVfs(v), name);
        };
    }
    return layer;
}

[[noreturn]] void failed(int error) {
    throw StoreError(germanSystemReason(error).toStdString());
}

std::int64_t pageSizeOf(int fd) {
    std::array<unsigned char, 2> bytes{};
    if (::pread(fd, bytes.data(), bytes.size(), 16) != 2) {
        return 4096;
    }
    const int size = bytes[0] << 8 | bytes[1];
    return size == 1 ? 65536 : size >= 512 ? size : 4096;
}

// The copy goes to the disk as it is made, a piece behind, from the copying thread: no
// gigabyte of it waits in memory to be written while a commit of the window waits for the
// disk, and its pages leave the cache, which the user's programs need more.
void writeBehind(int fd, off_t offset, off_t length) {
    ::sync_file_range(fd, offset, length, SYNC_FILE_RANGE_WRITE);
    if (offset >= length) {
        const off_t before = offset - length;
        ::sync_file_range(
            fd, before, length,
            SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
        ::posix_fadvise(fd, before, length, POSIX_FADV_DONTNEED);
    }
}

}  // namespace

void installImageLayer() {
    static std::once_flag once;
    std::call_once(once, [] {
        static sqlite3_vfs layer = makeLayer(sqlite3_vfs_find(nullptr));
        sqlite3_vfs_register(&layer, 1);
    });
}

void StoreImage::Pages::copy(std::int64_t first, std::int64_t last) {
    off_t from = static_cast<off_t>(first * pageSize);
    off_t to = from;
    auto left = static_cast<std::size_t>((last - first) * pageSize);
    // The kernel copies without the pages passing through us where it can.
    while (left > 0) {
        const ssize_t done = ::copy_file_range(source, &from, target, &to, left, 0);
        if (done <= 0) {
            break;
        }
        left -= static_cast<std::size_t>(done);
    }
    std::vector<char> buffer(static_cast<std::size_t>(pageSize));
    while (left > 0) {
        const ssize_t got = ::pread(source, buffer.data(), std::min(left, buffer.size()), from);
        if (got <= 0) {
            error = got < 0 ? errno : EIO;
            return;
        }
        for (ssize_t put = 0; put < got;) {
            const ssize_t wrote = ::pwrite(target, buffer.data() + put,
                                           static_cast<std::size_t>(got - put), to + put);
            if (wrote < 0) {
                error = errno;
                return;
            }
            put += wrote;
        }
        from += got;
        to += got;
        left -= static_cast<std::size_t>(got);
    }
}

void StoreImage::Pages::take(std::int64_t first, std::int64_t last) {
    for (std::int64_t page = first; page < last;) {
        if (taken[static_cast<std::size_t>(page)]) {
            ++page;
            continue;
        }
        std::int64_t end = page;
        while (end < last && !taken[static_cast<std::size_t>(end)]) {
            taken[static_cast<std::size_t>(end++)] = true;
        }
        copy(page, end);
        page = end;
    }
}

StoreImage::StoreImage(const std::filesystem::path& storeFile, int target)
    : pages_(std::make_shared<Pages>()) {
    pages_->source = ::open(storeFile.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (pages_->source < 0 || ::fstat(pages_->source, &info) != 0) {
        const int error = errno;
        if (pages_->source >= 0) {
            ::close(pages_->source);
        }
        failed(error);
    }
    pages_->device = info.st_dev;
    pages_->inode = info.st_ino;
    pages_->target = target;
    pages_->pageSize = pageSizeOf(pages_->source);
    pages_->count = (info.st_size + pages_->pageSize - 1) / pages_->pageSize;
    pages_->taken.assign(static_cast<std::size_t>(pages_->count), false);
    const std::lock_guard lock(registryMutex);
    registry.push_back(pages_);
    imageCount.fetch_add(1, std::memory_order_release);
}

StoreImage::~StoreImage() {
    {
        const std::lock_guard lock(registryMutex);
        std::erase(registry, pages_);
        imageCount.fetch_sub(1, std::memory_order_release);
    }
    ::close(pages_->source);
}

void StoreImage::waitForChange(std::chrono::milliseconds longest) {
    std::unique_lock lock(pages_->mutex);
    pages_->changed.wait_for(lock, longest, [this] { return pages_->synced; });
}

void StoreImage::copyRest(const std::function<void()>& beforePiece) {
    // A megabyte at a time: a writer that needs a page waits no longer than that.
    const std::int64_t piece = std::max<std::int64_t>(1, (1 << 20) / pages_->pageSize);
    const auto pieceBytes = static_cast<off_t>(piece * pages_->pageSize);
    for (std::int64_t first = 0; first < pages_->count; first += piece) {
        if (beforePiece) {
            beforePiece();
        }
        {
            const std::lock_guard lock(pages_->mutex);
            pages_->take(first, std::min(pages_->count, first + piece));
            if (pages_->error != 0) {
                failed(pages_->error);
            }
        }
        writeBehind(pages_->target, static_cast<off_t>(first * pages_->pageSize), pieceBytes);
    }
    const std::lock_guard lock(pages_->mutex);
    if (pages_->error != 0) {
        failed(pages_->error);
    }
}

}  // namespace veltro::store
