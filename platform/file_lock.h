#pragma once
// An exclusive lock on one file, shared by every process (and every thread) that locks the
// same file: whoever comes second waits until the first lets go. The lock ends with the
// object, and with the process if it dies, so a crash never leaves it taken.
#include <cstdint>
#include <filesystem>
#include <functional>

#include "platform/status.h"

namespace platform {

class FileLock {
public:
    // Creates `lockFile` if missing and takes the lock. When someone else holds it,
    // `onWait` (if given) is called once before waiting, so the caller can say why
    // nothing happens; then the call blocks until the lock is free.
    static Result<FileLock> acquire(const std::filesystem::path& lockFile, const std::function<void()>& onWait = {});

    FileLock(FileLock&&) noexcept;
    FileLock& operator=(FileLock&&) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    const std::filesystem::path& path() const { return path_; }

private:
    FileLock(std::filesystem::path path, std::intptr_t handle);
    void release();
    std::filesystem::path path_;
    std::intptr_t handle_ = -1;
};

}  // namespace platform
