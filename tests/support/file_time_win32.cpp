#include "tests/support/file_time.h"

#include <windows.h>

#include <stdexcept>
#include <string>

#include "platform/paths.h"

namespace testsupport {
namespace {

// FILETIME counts 100 ns from 1601; Unix time starts 11644473600 s later.
constexpr std::int64_t kEpochDifference100ns = 116444736000000000LL;

[[noreturn]] void fail(const char* what, const std::filesystem::path& path) {
    throw std::runtime_error(std::string(what) + " " + platform::utf8FromPath(path) + " (error " +
                             std::to_string(::GetLastError()) + ")");
}

}  // namespace

void setModificationTime(const std::filesystem::path& path, std::int64_t seconds, long nanoseconds) {
    HANDLE h = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) fail("cannot open", path);
    const std::int64_t ticks = seconds * 10000000 + nanoseconds / 100 + kEpochDifference100ns;
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    const BOOL set = ::SetFileTime(h, nullptr, nullptr, &time);
    ::CloseHandle(h);
    if (!set) fail("cannot set the time of", path);
}

std::pair<std::int64_t, long> modificationTime(const std::filesystem::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) fail("cannot read the time of", path);
    const std::int64_t ticks =
        ((static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime) -
        kEpochDifference100ns;
    std::int64_t seconds = ticks / 10000000;
    std::int64_t rest = ticks % 10000000;
    if (rest < 0) {
        rest += 10000000;
        --seconds;
    }
    return {seconds, static_cast<long>(rest * 100)};
}

}  // namespace testsupport
