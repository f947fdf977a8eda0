#include "platform/file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/paths.h"

namespace platform {
namespace {

std::string describe(const char* what, const std::filesystem::path& path, int error) {
    return std::string(what) + " " + utf8FromPath(path) + ": " + std::strerror(error);
}

Status writeAll(int fd, const std::uint8_t* data, std::size_t size, const std::filesystem::path& path) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Status::failure(describe("cannot write", path, errno));
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
    if (fd < 0) return Status::failure(describe("cannot open", path, errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        int e = errno;
        ::close(fd);
        return Status::failure(describe("cannot stat", path, e));
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return Status::failure("cannot open " + utf8FromPath(path) + ": is a folder");
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
            return Status::failure(describe("cannot read", path_, errno));
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target, std::filesystem::path temp, std::intptr_t handle)
    : target_(std::move(target)), tempPath_(std::move(temp)), handle_(handle) {}

Result<AtomicFileWriter> AtomicFileWriter::create(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    auto dir = target.parent_path();
    if (dir.empty()) dir = ".";
    const std::string base = "." + target.filename().string() + "." + std::to_string(::getpid());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = base;
        unsigned n = counter++;
        if (n > 0) name += "-" + std::to_string(n);
        name += kTemporaryFileSuffix;
        auto temp = dir / name;
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) return AtomicFileWriter(target, temp, fd);
        if (errno != EEXIST) return Status::failure(describe("cannot create temporary file for", target, errno));
    }
    return Status::failure("cannot create temporary file for " + utf8FromPath(target));
}

Status AtomicFileWriter::append(std::span<const std::uint8_t> bytes) {
    if (handle_ < 0) return Status::failure("write after close: " + utf8FromPath(target_));
    auto s = writeAll(static_cast<int>(handle_), bytes.data(), bytes.size(), tempPath_);
    if (s) written_ += bytes.size();
    return s;
}

Status AtomicFileWriter::appendRange(const ReadableFile& source, std::uint64_t offset, std::uint64_t length) {
    if (handle_ < 0) return Status::failure("write after close: " + utf8FromPath(target_));
    int out = static_cast<int>(handle_);
    int in = static_cast<int>(source.nativeHandle());
    loff_t inOffset = static_cast<loff_t>(offset);
    std::uint64_t left = length;
    // The kernel copy avoids moving the bytes through user space; some file systems
    // refuse it, and then the plain loop below takes over where it stopped.
    while (left > 0) {
        ssize_t n = ::copy_file_range(in, &inOffset, out, nullptr, static_cast<size_t>(std::min<std::uint64_t>(left, 1u << 30)), 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == EBADF) break;
            return Status::failure(describe("cannot write", tempPath_, errno));
        }
        if (n == 0) return Status::failure("unexpected end of " + utf8FromPath(source.path()));
        left -= static_cast<std::uint64_t>(n);
        written_ += static_cast<std::uint64_t>(n);
    }
    std::vector<std::uint8_t> buffer(left > 0 ? std::min<std::uint64_t>(left, 1u << 20) : 0);
    while (left > 0) {
        auto chunk = std::span<std::uint8_t>(buffer.data(), static_cast<size_t>(std::min<std::uint64_t>(left, buffer.size())));
        auto got = source.readAt(static_cast<std::uint64_t>(inOffset), chunk);
        if (!got) return got.status();
        if (*got == 0) return Status::failure("unexpected end of " + utf8FromPath(source.path()));
        if (auto s = writeAll(out, chunk.data(), *got, tempPath_); !s) return s;
        inOffset += static_cast<loff_t>(*got);
        left -= *got;
        written_ += *got;
    }
    return Status::success();
}

Status AtomicFileWriter::commit() {
    if (handle_ < 0) return Status::failure("commit after close: " + utf8FromPath(target_));
    int fd = static_cast<int>(handle_);
    if (::fsync(fd) != 0) return Status::failure(describe("cannot flush", tempPath_, errno));
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) {
        (void)::fchmod(fd, st.st_mode & 07777);
    }
    if (::close(fd) != 0) {
        handle_ = -1;
        return Status::failure(describe("cannot close", tempPath_, errno));
    }
    handle_ = -1;
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        return Status::failure(describe("cannot replace", target_, errno));
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

void removeStaleTemporaryFiles(const std::filesystem::path& target) {
    auto dir = target.parent_path();
    if (dir.empty()) dir = ".";
    const std::string prefix = "." + target.filename().string() + ".";
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        std::string name = entry.path().filename().string();
        if (!isTemporaryFileName(name) || name.rfind(prefix, 0) != 0) continue;
        std::string middle = name.substr(prefix.size(), name.size() - prefix.size() - (sizeof(kTemporaryFileSuffix) - 1));
        auto dash = middle.find('-');
        std::string pidText = middle.substr(0, dash);
        if (pidText.empty() || pidText.find_first_not_of("0123456789") != std::string::npos) continue;
        pid_t pid = static_cast<pid_t>(std::stol(pidText));
        // A live process (ours or another copy's) may still be writing it.
        if (pid == ::getpid() || ::kill(pid, 0) == 0 || errno == EPERM) continue;
        std::filesystem::remove(entry.path(), ec);
    }
}

}  // namespace platform
