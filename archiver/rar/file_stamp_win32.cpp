#include <windows.h>

#include "archiver/rar/file_stamp.h"
#include "platform/paths.h"
#include "platform/system_error_text.h"

namespace rar {
namespace {

// FILETIME counts 100 ns from 1601-01-01; Unix time starts 11644473600 s later.
constexpr std::int64_t kEpochDifference100ns = 116444736000000000LL;

std::string lastError(const char* what, const std::filesystem::path& path) {
    const int error = static_cast<int>(GetLastError());
    return std::string(what) + " " + platform::utf8FromPath(path) + "：" +
           platform::describeSystemError(std::error_code(error, std::system_category()));
}

}  // namespace

platform::Result<FileStamp> readFileStamp(const std::filesystem::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return platform::Status::failure(lastError("无法读取时间:", path));
    const std::int64_t ticks = (static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                               data.ftLastWriteTime.dwLowDateTime;
    const std::int64_t sinceEpoch = ticks - kEpochDifference100ns;
    FileStamp s;
    s.unixSeconds = sinceEpoch >= 0 ? sinceEpoch / 10000000 : -((-sinceEpoch + 9999999) / 10000000);
    s.nanoseconds = static_cast<std::uint32_t>((sinceEpoch - s.unixSeconds * 10000000) * 100);
    s.windowsAttributes = data.dwFileAttributes & 0x37u;
    return s;
}

platform::Status applyFileStamp(const std::filesystem::path& path, const FileStamp& stamp, bool directory) {
    const DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT | (directory ? FILE_FLAG_BACKUP_SEMANTICS : 0);
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) return platform::Status::failure(lastError("无法打开", path));
    const std::int64_t ticks = stamp.unixSeconds * 10000000 + stamp.nanoseconds / 100 + kEpochDifference100ns;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    const BOOL ok = SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
    if (!ok) return platform::Status::failure(lastError("无法设置时间:", path));
    if (!directory) {
        const DWORD attrs = stamp.windowsAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                       FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        if (!SetFileAttributesW(path.c_str(), attrs ? attrs : FILE_ATTRIBUTE_NORMAL))
            return platform::Status::failure(lastError("无法设置属性:", path));
    }
    return platform::Status::success();
}

}  // namespace rar
