#include "platform/append_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/paths.h"
#include "platform/system_error_text.h"

namespace platform {
namespace {

std::string reason(int error) { return describeSystemError(std::error_code(error, std::generic_category())); }

}  // namespace

AppendFile::AppendFile(std::filesystem::path path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}

AppendFile::AppendFile(AppendFile&& other) noexcept : path_(std::move(other.path_)), handle_(other.handle_) {
    other.handle_ = -1;
}

AppendFile& AppendFile::operator=(AppendFile&& other) noexcept {
    if (this != &other) {
        if (handle_ >= 0) ::close(static_cast<int>(handle_));
        path_ = std::move(other.path_);
        handle_ = other.handle_;
        other.handle_ = -1;
    }
    return *this;
}

AppendFile::~AppendFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

Result<AppendFile> AppendFile::open(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return Status::failure("无法打开 " + utf8FromPath(path) + "：" + reason(errno));
    return AppendFile(path, fd);
}

Status AppendFile::append(std::string_view bytes) {
    if (handle_ < 0) return Status::failure("文件已关闭，无法写入：" + utf8FromPath(path_));
    const int fd = static_cast<int>(handle_);
    // One write per record: with O_APPEND two copies of the program writing the same file
    // never interleave inside a record.
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return Status::failure("无法写入 " + utf8FromPath(path_) + "：" + reason(errno));
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    if (::fdatasync(fd) != 0) return Status::failure("无法把数据写到磁盘上：" + utf8FromPath(path_) + "：" + reason(errno));
    return Status::success();
}

}  // namespace platform
