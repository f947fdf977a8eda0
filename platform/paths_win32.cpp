#include "platform/paths.h"

#include <shlobj.h>
#include <windows.h>

#include <string>
#include <system_error>

#include "platform/windows_api.h"

namespace platform {

std::filesystem::path pathFromUtf8(std::string_view utf8) { return std::filesystem::path(win32::wideFromUtf8(utf8)); }

std::string utf8FromPath(const std::filesystem::path& path) { return win32::utf8FromWide(path.native()); }

std::filesystem::path programDirectory() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            std::error_code ec;
            return std::filesystem::current_path(ec);
        }
        // A full buffer may mean a cut-off name; long paths exceed MAX_PATH.
        if (n < buffer.size()) {
            buffer.resize(n);
            return std::filesystem::path(buffer).parent_path();
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool isDirectoryWritable(const std::filesystem::path& dir) {
    const auto probe = dir / (L".pimingbao-write-probe-" + std::to_wstring(::GetCurrentProcessId()));
    // Removed by the system when closed, even if this process dies in between.
    HANDLE h = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

namespace {

std::filesystem::path environmentFolder(const wchar_t* variable) {
    const DWORD n = ::GetEnvironmentVariableW(variable, nullptr, 0);
    if (n == 0) return {};
    std::wstring value(n, L'\0');
    const DWORD written = ::GetEnvironmentVariableW(variable, value.data(), n);
    if (written == 0 || written >= n) return {};
    value.resize(written);
    std::filesystem::path path(value);
    return path.is_absolute() ? path : std::filesystem::path();
}

std::filesystem::path knownFolder(REFKNOWNFOLDERID id) {
    wchar_t* text = nullptr;
    std::filesystem::path path;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &text)) && text) path = text;
    ::CoTaskMemFree(text);
    return path;
}

// The variable first, as on Linux: it is what a user (or a test) sets to move the folder.
std::filesystem::path userFolder(const wchar_t* variable, REFKNOWNFOLDERID id) {
    std::filesystem::path base = environmentFolder(variable);
    if (base.empty()) base = knownFolder(id);
    std::error_code ec;
    if (base.empty()) base = std::filesystem::temp_directory_path(ec);
    auto dir = base / L"pimingbao";
    std::filesystem::create_directories(dir, ec);
    return dir;
}

}  // namespace

std::filesystem::path userStateDirectory() { return userFolder(L"LOCALAPPDATA", FOLDERID_LocalAppData); }

std::filesystem::path userConfigDirectory() { return userFolder(L"APPDATA", FOLDERID_RoamingAppData); }

}  // namespace platform
