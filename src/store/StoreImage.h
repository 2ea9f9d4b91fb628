#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

namespace veltro::store {

// Every connection of this process opens its files through a thin layer over the engine's
// own, which lets a StoreImage keep a page before anyone overwrites it. Database::open
// installs it; calling it again does nothing.
void installImageLayer();

// A byte copy of a store file as it lay at one moment, made while this process goes on
// writing it: before any connection of the process overwrites or cuts off a page the copy
// has not taken yet, the page's old bytes go into the copy first. So nobody waits for the
// copy, and the copy is still the file of that moment. Another process that writes the file
// meanwhile is not seen; the store's writer lock keeps our own programs out.
//
// Make it while a read transaction on the file keeps writers out of the middle of a commit;
// the moment is then. `target` is an empty file open for writing.
class StoreImage {
public:
    StoreImage(const std::filesystem::path& storeFile, int target);
    StoreImage(const StoreImage&) = delete;
    StoreImage& operator=(const StoreImage&) = delete;
    ~StoreImage();

    // Copies every page no writer has kept yet, a piece at a time; `beforePiece` runs before
    // each (tests hold the copy there). Throws StoreError when a page could not be copied,
    // here or by a writer that kept it.
    void copyRest(const std::function<void()>& beforePiece = {});
    // Returns once a connection of this process has put a change of the file on disk since
    // the moment, or after `longest`: a copy that waits for it keeps its own writes off the
    // disk while the change it guards is written.
    void waitForChange(std::chrono::milliseconds longest);

    struct Pages;

private:
    std::shared_ptr<Pages> pages_;
};

}  // namespace veltro::store
