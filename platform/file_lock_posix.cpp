#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/paths.h"
#include "platform/system_error_text.h"

namespace platform {
namespace {

std::string describe(const char* what, const std::filesystem::path& path, int error) {
    return std::string(what) + " " + utf8FromPath(path) + "：" + describeErrno(error);
}

int lockBlocking(int fd) {
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
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
    // Closing the only descriptor of this open file drops the lock.
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
}

Result<FileLock> FileLock::acquire(const std::filesystem::path& lockFile, const std::function<void()>& onWait) {
    // flock, not fcntl: its lock belongs to the open file, so two threads of one process
    // exclude each other as two processes do, and closing some other descriptor of the
    // same file elsewhere in the process does not silently drop it.
    int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return Status::failure(describe("无法打开锁文件", lockFile, errno));
    FileLock lock(lockFile, fd);
    int e = 0;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        e = errno;
        if (e != EINTR) break;
        e = 0;
    }
    if (e == EWOULDBLOCK) {
        if (onWait) onWait();
        e = lockBlocking(fd);
    }
    if (e != 0) return Status::failure(describe("无法锁定", lockFile, e));
    return lock;
}

}  // namespace platform
