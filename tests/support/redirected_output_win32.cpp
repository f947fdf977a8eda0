#include "tests/support/redirected_output.h"

#include <windows.h>

#include "platform/text_codec.h"
#include "platform/windows_api.h"

namespace testsupport {

std::string utf8FromRedirectedOutput(const std::string& bytes) {
    const UINT codePage = ::GetOEMCP();
    if (codePage == CP_UTF8 || bytes.empty()) return bytes;
    if (codePage == 936 || codePage == 54936) return platform::decodeGb18030Lossy(bytes);
    const int size = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (size <= 0) return bytes;
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
    return platform::win32::utf8FromWide(wide);
}

}  // namespace testsupport
