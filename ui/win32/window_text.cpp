#include "ui/win32/window_text.h"

#include "platform/windows_api.h"

namespace win32ui {

std::wstring wide(std::string_view text) { return platform::win32::wideFromUtf8(text); }

std::string utf8(std::wstring_view text) { return platform::win32::utf8FromWide(text); }

std::string windowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, buffer.data(), length + 1);
    buffer.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return utf8(buffer);
}

void setWindowText(HWND window, std::string_view text) { ::SetWindowTextW(window, wide(text).c_str()); }

}  // namespace win32ui
