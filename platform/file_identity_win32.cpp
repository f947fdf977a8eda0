#include "platform/file_identity.h"

#include <windows.h>

#include "platform/windows_api.h"

namespace platform {

Result<FileIdentity> fileIdentity(const std::filesystem::path& path) {
    // No access asked for but the attributes, so a file another program holds open (even
    // without sharing) still tells who it is; backup semantics open folders as well.
    win32::Handle file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) return Status::failure(win32::describe("cannot stat", path, ::GetLastError()));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info)) {
        return Status::failure(win32::describe("cannot stat", path, ::GetLastError()));
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
