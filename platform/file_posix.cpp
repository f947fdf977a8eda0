#include "platform/file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <vector>

#include "platform/paths.h"
#include "platform/system_error_text.h"

namespace platform {
namespace {

// "<what> <file>：<reason>", the reason in Chinese.
std::string describe(const char* what, const std::filesystem::path& path, int error) {
    return std::string(what) + " " + utf8FromPath(path) + "：" + describeErrno(error);
}

Status writeAll(int fd, const std::uint8_t* data, std::size_t size, const std::filesystem::path& path) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Status::failure(describe("无法写入", path, errno));
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return Status::success();
}

}  // namespace

ReadableFile::ReadableFile(std::filesystem::path path, std::intptr_t handle, std::uint64_t size)
    : path_(std::move(path)), handle_(handle), size_(size) {}

ReadableFile::ReadableFile(ReadableFile&& other) noexcept
    : path_(std::move(other.path_)), handle_(other.handle_), size_(other.size_) {
    other.handle_ = -1;
}

ReadableFile& ReadableFile::operator=(ReadableFile&& other) noexcept {
    if (this != &other) {
        if (handle_ >= 0) ::close(static_cast<int>(handle_));
        path_ = std::move(other.path_);
        handle_ = other.handle_;
        size_ = other.size_;
        other.handle_ = -1;
    }
    return *this;
}

ReadableFile::~ReadableFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

Result<ReadableFile> ReadableFile::open(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Status::failure(describe("无法打开", path, errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        int e = errno;
        ::close(fd);
        return Status::failure(describe("无法读取文件信息", path, e));
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return Status::failure("无法打开 " + utf8FromPath(path) + "：这是一个文件夹");
    }
    return ReadableFile(path, fd, static_cast<std::uint64_t>(st.st_size));
}

Result<std::size_t> ReadableFile::readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const {
    std::size_t done = 0;
    while (done < buffer.size()) {
        ssize_t n = ::pread(static_cast<int>(handle_), buffer.data() + done, buffer.size() - done,
                            static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return Status::failure(describe("无法读取", path_, errno));
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target, std::filesystem::path temp, std::intptr_t handle)
    : target_(std::move(target)), tempPath_(std::move(temp)), handle_(handle) {}

Result<AtomicFileWriter> AtomicFileWriter::create(const std::filesystem::path& requested, Links links) {
    static std::atomic<unsigned> counter{0};
    auto target = links == Links::ReplaceLink ? Result<std::filesystem::path>(requested) : fileBehindLinks(requested);
    if (!target) return target.status();
    auto dir = target->parent_path();
    if (dir.empty()) dir = ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto temp = dir / temporaryFileName(static_cast<std::uint64_t>(::getpid()), counter++);
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) return AtomicFileWriter(*target, temp, fd);
        if (errno != EEXIST) return Status::failure(describe("无法创建临时文件，用于写入", *target, errno));
    }
    return Status::failure("无法在 " + utf8FromPath(*target) + " 旁边创建临时文件：临时文件名都已被占用");
}

Status AtomicFileWriter::append(std::span<const std::uint8_t> bytes) {
    if (handle_ < 0) return Status::failure("内部错误：写入已关闭的临时文件 " + utf8FromPath(target_));
    auto s = writeAll(static_cast<int>(handle_), bytes.data(), bytes.size(), tempPath_);
    if (s) written_ += bytes.size();
    return s;
}

namespace {

// A copy hands each chunk to the disk as soon as it is in the page cache and waits for the
// chunk two behind: the disk works while the copy goes on, the flush before the rename
// finds little left to write, and the dirty memory of a large copy stays bounded.
constexpr std::uint64_t kWritebackChunk = 16u << 20;

class WriteBehind {
public:
    WriteBehind(int fd, std::uint64_t start) : fd_(fd), waitedUpTo_(start), startedUpTo_(start) {}
    void wrote(std::uint64_t upTo) {
        if (upTo - startedUpTo_ >= kWritebackChunk) {
            (void)::sync_file_range(fd_, static_cast<off_t>(startedUpTo_), static_cast<off_t>(upTo - startedUpTo_),
                                    SYNC_FILE_RANGE_WRITE);
            startedUpTo_ = upTo;
        }
        while (startedUpTo_ - waitedUpTo_ > 2 * kWritebackChunk) {
            // Errors surface in the flush of commit(); here they only end the overlap.
            (void)::sync_file_range(fd_, static_cast<off_t>(waitedUpTo_), static_cast<off_t>(kWritebackChunk),
                                    SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
            waitedUpTo_ += kWritebackChunk;
        }
    }

private:
    int fd_;
    std::uint64_t waitedUpTo_;
    std::uint64_t startedUpTo_;
};

}  // namespace

Status AtomicFileWriter::appendRange(const ReadableFile& source, std::uint64_t offset, std::uint64_t length) {
    if (handle_ < 0) return Status::failure("内部错误：写入已关闭的临时文件 " + utf8FromPath(target_));
    int out = static_cast<int>(handle_);
    int in = static_cast<int>(source.nativeHandle());
    loff_t inOffset = static_cast<loff_t>(offset);
    std::uint64_t left = length;
    WriteBehind writeBehind(out, written_);
    // The kernel copy avoids moving the bytes through user space; some file systems
    // refuse it, and then the plain loop below takes over where it stopped.
    while (left > 0) {
        ssize_t n = ::copy_file_range(in, &inOffset, out, nullptr, static_cast<size_t>(std::min(left, kWritebackChunk)), 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == EBADF) break;
            return Status::failure(describe("无法写入", tempPath_, errno));
        }
        if (n == 0) return Status::failure("读取 " + utf8FromPath(source.path()) + " 时意外到了文件末尾");
        left -= static_cast<std::uint64_t>(n);
        written_ += static_cast<std::uint64_t>(n);
        writeBehind.wrote(written_);
    }
    std::vector<std::uint8_t> buffer(left > 0 ? std::min<std::uint64_t>(left, 1u << 20) : 0);
    while (left > 0) {
        auto chunk = std::span<std::uint8_t>(buffer.data(), static_cast<size_t>(std::min<std::uint64_t>(left, buffer.size())));
        auto got = source.readAt(static_cast<std::uint64_t>(inOffset), chunk);
        if (!got) return got.status();
        if (*got == 0) return Status::failure("读取 " + utf8FromPath(source.path()) + " 时意外到了文件末尾");
        if (auto s = writeAll(out, chunk.data(), *got, tempPath_); !s) return s;
        inOffset += static_cast<loff_t>(*got);
        left -= *got;
        written_ += *got;
        writeBehind.wrote(written_);
    }
    return Status::success();
}

Status AtomicFileWriter::commit() {
    if (handle_ < 0) return Status::failure("内部错误：提交已关闭的临时文件 " + utf8FromPath(target_));
    int fd = static_cast<int>(handle_);
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) {
        // Owner first: a change of owner clears the set-id bits that the mode then restores.
        // Only root may give a file away; anyone else keeps the file as their own, which is
        // no failure, and may still hand it to the group when they belong to it.
        if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) && ::fchown(fd, st.st_uid, st.st_gid) != 0)
            (void)::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
        (void)::fchmod(fd, st.st_mode & 07777);
    }
    // The data and what finds it (size, blocks) reach the disk before the rename can; the
    // permissions just set travel in the same journal as the rename after them.
    if (::fdatasync(fd) != 0) return Status::failure(describe("无法写入磁盘", tempPath_, errno));
    if (::close(fd) != 0) {
        handle_ = -1;
        return Status::failure(describe("无法关闭", tempPath_, errno));
    }
    handle_ = -1;
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        return Status::failure(describe("无法替换", target_, errno));
    }
    committed_ = true;
    // Make the rename itself durable.
    auto dir = target_.parent_path();
    if (dir.empty()) dir = ".";
    int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        (void)::fsync(dirFd);
        ::close(dirFd);
    }
    return Status::success();
}

void AtomicFileWriter::abort() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
        handle_ = -1;
    }
    if (!committed_ && !tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        committed_ = true;
    }
}

Result<bool> cutFileInPlace(const ReadableFile& file, std::uint64_t offset, std::span<const std::uint8_t> bytes,
                            std::uint64_t newSize) {
    struct stat was {};
    if (::fstat(static_cast<int>(file.nativeHandle()), &was) != 0) return false;
    // Not through a symbolic link: a link in its place is left to the rewrite, which finds
    // the file behind it and keeps the link.
    const int fd = ::open(file.path().c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat now {};
    if (::fstat(fd, &now) != 0 || !S_ISREG(now.st_mode) || now.st_dev != was.st_dev || now.st_ino != was.st_ino ||
        now.st_nlink != 1 || static_cast<std::uint64_t>(now.st_size) != file.size())
        return false;
    // Readers that take a shared lock (as the program's own jobs and many others do) keep
    // the bytes they opened: then the file is not changed under them.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return Status::failure(describe("无法写入", file.path(), errno));
        }
        done += static_cast<std::size_t>(n);
    }
    if (!bytes.empty() && ::fdatasync(fd) != 0) return Status::failure(describe("无法写入磁盘", file.path(), errno));
    if (::ftruncate(fd, static_cast<off_t>(newSize)) != 0) return Status::failure(describe("无法截短", file.path(), errno));
    if (::fdatasync(fd) != 0) return Status::failure(describe("无法写入磁盘", file.path(), errno));
    return true;
}

void removeStaleTemporaryFilesIn(const std::filesystem::path& folder) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const auto process = temporaryFileProcess(entry.path().filename().string());
        if (!process) continue;
        // A live process (ours or another copy's) may still be writing it; a number past
        // the range of process ids names no process at all.
        if (*process <= 0x7FFFFFFFull) {
            const pid_t pid = static_cast<pid_t>(*process);
            if (pid == ::getpid() || ::kill(pid, 0) == 0 || errno == EPERM) continue;
        }
        std::error_code removeError;
        if (entry.is_regular_file(removeError)) std::filesystem::remove(entry.path(), removeError);
    }
}

}  // namespace platform
