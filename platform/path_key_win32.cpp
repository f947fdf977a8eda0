#include "platform/path_key.h"

#include <windows.h>

#include <algorithm>

#include "platform/windows_api.h"

namespace platform {

std::string pathKey(std::string_view utf8Path) {
    std::wstring wide = win32::wideFromUtf8(utf8Path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    // The file system's own upper-casing of names is the invariant one, letter by letter.
    if (!wide.empty()) {
        const int n = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), static_cast<int>(wide.size()), nullptr,
                                      0, nullptr, nullptr, 0);
        if (n > 0) {
            std::wstring upper(static_cast<std::size_t>(n), L'\0');
            if (::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), static_cast<int>(wide.size()), upper.data(), n,
                                nullptr, nullptr, 0) == n)
                wide = std::move(upper);
        }
    }
    return win32::utf8FromWide(wide);
}

}  // namespace platform
