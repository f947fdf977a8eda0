#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "archiver/rar/extractor_output.h"
#include "platform/paths.h"
#include "platform/system_error_text.h"

namespace rar {
namespace {

std::string describe(const char* what, const std::filesystem::path& path, int error) {
    return std::string(what) + " " + platform::utf8FromPath(path) + "：" + platform::describeErrno(error);
}

}  // namespace

TargetState targetState(const std::filesystem::path& path) {
    struct stat st{};
    if (::lstat(path.c_str(), &st) != 0) return TargetState::Absent;
    if (S_ISLNK(st.st_mode)) return TargetState::Link;
    if (S_ISDIR(st.st_mode)) return TargetState::Folder;
    if (S_ISREG(st.st_mode)) return TargetState::File;
    return TargetState::Other;
}

platform::Result<std::filesystem::path> makeFoldersBelow(const std::filesystem::path& root,
                                                         const std::vector<std::string>& components) {
    std::filesystem::path current = root;
    for (const auto& c : components) {
        current /= platform::pathFromUtf8(c);
        if (::mkdir(current.c_str(), 0777) == 0) continue;
        const int error = errno;
        if (error != EEXIST) return platform::Status::failure(describe("无法创建文件夹", current, error));
        if (targetState(current) != TargetState::Folder)
            return platform::Status::failure(platform::utf8FromPath(current) + " 已经存在，但不是文件夹");
    }
    return current;
}

platform::Status removeForReplace(const std::filesystem::path& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return platform::Status::failure(describe("无法替换", path, errno));
    return platform::Status::success();
}

platform::Result<OutputFile> OutputFile::createNew(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return platform::Status::failure(describe("无法创建", path, errno));
    return OutputFile(path, fd);
}

OutputFile::OutputFile(OutputFile&& other) noexcept : path_(std::move(other.path_)), handle_(other.handle_) {
    other.handle_ = -1;
}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this != &other) {
        if (handle_ >= 0) ::close(static_cast<int>(handle_));
        path_ = std::move(other.path_);
        handle_ = other.handle_;
        other.handle_ = -1;
    }
    return *this;
}

OutputFile::~OutputFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

platform::Status OutputFile::write(std::span<const std::uint8_t> bytes) {
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(static_cast<int>(handle_), p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return platform::Status::failure(describe("无法写入", path_, errno));
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return platform::Status::success();
}

platform::Status OutputFile::close() {
    if (handle_ < 0) return platform::Status::success();
    const int fd = static_cast<int>(handle_);
    handle_ = -1;
    if (::close(fd) != 0) return platform::Status::failure(describe("无法写入", path_, errno));
    return platform::Status::success();
}

void OutputFile::discard() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
    ::unlink(path_.c_str());
}

platform::Status createSymbolicLink(const std::filesystem::path& path, const std::string& targetUtf8, bool) {
    std::string target = targetUtf8;
    std::replace(target.begin(), target.end(), '\\', '/');
    if (::symlink(platform::pathFromUtf8(target).c_str(), path.c_str()) != 0)
        return platform::Status::failure(describe("无法创建链接", path, errno));
    return platform::Status::success();
}

}  // namespace rar
