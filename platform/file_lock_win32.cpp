#include "platform/file_lock.h"

#include <windows.h>

#include "platform/paths.h"
#include "platform/system_error_text.h"
#include "platform/windows_api.h"

namespace platform {
namespace {

std::string describeWindowsError(const char* what, const std::filesystem::path& path, DWORD error) {
    return std::string(what) + " " + utf8FromPath(path) + "：" +
           describeSystemError(std::error_code(static_cast<int>(error), std::system_category()));
}

}  // namespace

namespace {

HANDLE handleOf(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

// The lock covers the first byte; a lock may lie past the end of a file, so the lock file
// stays empty.
bool lockFirstByte(HANDLE h, DWORD flags) {
    OVERLAPPED at{};
    return ::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | flags, 0, 1, 0, &at) != 0;
}

}  // namespace

FileLock::FileLock(std::filesystem::path path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}

FileLock::FileLock(FileLock&& other) noexcept : path_(std::move(other.path_)), handle_(other.handle_) {
    other.handle_ = -1;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        path_ = std::move(other.path_);
        handle_ = other.handle_;
        other.handle_ = -1;
    }
    return *this;
}

FileLock::~FileLock() { release(); }

void FileLock::release() {
    if (handle_ != -1) {
        // Unlocked first: the system frees the locks of a closed handle only some time later.
        OVERLAPPED at{};
        ::UnlockFileEx(handleOf(handle_), 0, 1, 0, &at);
        ::CloseHandle(handleOf(handle_));
    }
    handle_ = -1;
}

Result<FileLock> FileLock::acquire(const std::filesystem::path& lockFile, const std::function<void()>& onWait) {
    // A lock belongs to the handle, so two threads of one process exclude each other as
    // two processes do. A link planted in the lock file's place is opened as itself and
    // refused, never followed.
    HANDLE h = ::CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Status::failure(describeWindowsError("无法打开锁文件", lockFile, ::GetLastError()));
    FileLock lock(lockFile, reinterpret_cast<std::intptr_t>(h));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h, &info)) {
        return Status::failure(describeWindowsError("无法打开锁文件", lockFile, ::GetLastError()));
    }
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) {
        return Status::failure("无法打开锁文件 " + win32::utf8FromWide(lockFile.native()) + "：它不是普通文件");
    }
    if (lockFirstByte(h, LOCKFILE_FAIL_IMMEDIATELY)) return lock;
    DWORD error = ::GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) {
        if (onWait) onWait();
        if (lockFirstByte(h, 0)) return lock;
        error = ::GetLastError();
    }
    return Status::failure(describeWindowsError("无法锁定", lockFile, error));
}

}  // namespace platform
