#include <windows.h>

#include <algorithm>

#include "archiver/rar/extractor_output.h"
#include "platform/paths.h"
#include "platform/system_error_text.h"

namespace rar {
namespace {

std::string describe(const char* what, const std::filesystem::path& path) {
    const int error = static_cast<int>(GetLastError());
    return std::string(what) + " " + platform::utf8FromPath(path) + "：" +
           platform::describeSystemError(std::error_code(error, std::system_category()));
}

}  // namespace

TargetState targetState(const std::filesystem::path& path) {
    const DWORD attrs = GetFileAttributesW(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return TargetState::Absent;
    // Junctions and symbolic links are both reparse points; neither is passed through.
    if (attrs & FILE_ATTRIBUTE_REPARSE_POINT) return TargetState::Link;
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) return TargetState::Folder;
    return TargetState::File;
}

platform::Result<std::filesystem::path> makeFoldersBelow(const std::filesystem::path& root,
                                                         const std::vector<std::string>& components) {
    std::filesystem::path current = root;
    for (const auto& c : components) {
        current /= platform::pathFromUtf8(c);
        if (CreateDirectoryW(current.c_str(), nullptr)) continue;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return platform::Status::failure(describe("无法创建文件夹", current));
        if (targetState(current) != TargetState::Folder)
            return platform::Status::failure(platform::utf8FromPath(current) + " 已经存在，但不是文件夹");
    }
    return current;
}

platform::Status removeForReplace(const std::filesystem::path& path) {
    // A read-only file cannot be deleted until the attribute is gone.
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        return platform::Status::failure(describe("无法替换", path));
    return platform::Status::success();
}

platform::Result<OutputFile> OutputFile::createNew(const std::filesystem::path& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return platform::Status::failure(describe("无法创建", path));
    return OutputFile(path, reinterpret_cast<std::intptr_t>(h));
}

OutputFile::OutputFile(OutputFile&& other) noexcept : path_(std::move(other.path_)), handle_(other.handle_) {
    other.handle_ = -1;
}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this != &other) {
        if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
        path_ = std::move(other.path_);
        handle_ = other.handle_;
        other.handle_ = -1;
    }
    return *this;
}

OutputFile::~OutputFile() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

platform::Status OutputFile::write(std::span<const std::uint8_t> bytes) {
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(left, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(reinterpret_cast<HANDLE>(handle_), p, chunk, &written, nullptr))
            return platform::Status::failure(describe("无法写入", path_));
        p += written;
        left -= written;
    }
    return platform::Status::success();
}

platform::Status OutputFile::close() {
    if (handle_ == -1) return platform::Status::success();
    HANDLE h = reinterpret_cast<HANDLE>(handle_);
    handle_ = -1;
    if (!CloseHandle(h)) return platform::Status::failure(describe("无法写入", path_));
    return platform::Status::success();
}

void OutputFile::discard() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = -1;
    DeleteFileW(path_.c_str());
}

platform::Status createSymbolicLink(const std::filesystem::path& path, const std::string& targetUtf8, bool toFolder) {
    std::string target = targetUtf8;
    std::replace(target.begin(), target.end(), '/', '\\');
    const DWORD flags = (toFolder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    if (!CreateSymbolicLinkW(path.c_str(), platform::pathFromUtf8(target).c_str(), flags))
        return platform::Status::failure(describe("无法创建链接", path));
    return platform::Status::success();
}

}  // namespace rar
