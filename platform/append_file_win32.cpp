#include "platform/append_file.h"

#include <windows.h>

#include <algorithm>

#include "platform/paths.h"
#include "platform/system_error_text.h"
#include "platform/windows_api.h"

namespace platform {
namespace {

std::string reason(DWORD error) {
    return describeSystemError(std::error_code(static_cast<int>(error), std::system_category()));
}

HANDLE handleOf(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

}  // namespace

AppendFile::AppendFile(std::filesystem::path path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}

AppendFile::AppendFile(AppendFile&& other) noexcept : path_(std::move(other.path_)), handle_(other.handle_) {
    other.handle_ = -1;
}

AppendFile& AppendFile::operator=(AppendFile&& other) noexcept {
    if (this != &other) {
        if (handle_ != -1) ::CloseHandle(handleOf(handle_));
        path_ = std::move(other.path_);
        handle_ = other.handle_;
        other.handle_ = -1;
    }
    return *this;
}

AppendFile::~AppendFile() {
    if (handle_ != -1) ::CloseHandle(handleOf(handle_));
}

Result<AppendFile> AppendFile::open(const std::filesystem::path& path) {
    // Append access alone: every write lands at the end of the file as it is then, so two
    // copies of the program writing the same file never write over each other's records.
    HANDLE h = ::CreateFileW(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Status::failure("无法打开 " + utf8FromPath(path) + "：" + reason(::GetLastError()));
    return AppendFile(path, reinterpret_cast<std::intptr_t>(h));
}

Status AppendFile::append(std::string_view bytes) {
    if (handle_ == -1) return Status::failure("文件已关闭，无法写入：" + win32::utf8FromWide(path_.native()));
    HANDLE h = handleOf(handle_);
    // One write per record where it fits, so a record is never split between two writers.
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(h, bytes.data(), chunk, &written, nullptr)) {
            return Status::failure("无法写入 " + utf8FromPath(path_) + "：" + reason(::GetLastError()));
        }
        if (written == 0) return Status::failure("无法写入 " + utf8FromPath(path_) + "：" + reason(ERROR_WRITE_FAULT));
        bytes.remove_prefix(written);
    }
    if (!::FlushFileBuffers(h)) return Status::failure("无法把数据写到磁盘上：" + utf8FromPath(path_) + "：" + reason(::GetLastError()));
    return Status::success();
}

}  // namespace platform
