#include "platform/file_identity.h"

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


Result<FileIdentity> fileIdentity(const std::filesystem::path& path) {
    // No access asked for but the attributes, so a file another program holds open (even
    // without sharing) still tells who it is; backup semantics open folders as well.
    win32::Handle file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) return Status::failure(describeWindowsError("无法读取文件信息", path, ::GetLastError()));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info)) {
        return Status::failure(describeWindowsError("无法读取文件信息", path, ::GetLastError()));
    }
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

bool isSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    auto ia = fileIdentity(a);
    if (!ia) return false;
    auto ib = fileIdentity(b);
    return ib && *ia == *ib;
}

}  // namespace platform
