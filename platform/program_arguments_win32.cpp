#include "platform/program_arguments.h"

// windows.h first: shellapi.h builds on its macros.
#include <windows.h>

#include <shellapi.h>

#include "platform/text_codec.h"
#include "platform/windows_api.h"

namespace platform {

std::vector<std::string> programArguments(int argc, const char* const* argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);  // out of memory: the narrow ones are all there is
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) out.push_back(win32::utf8FromWide(wide[i]));
    ::LocalFree(wide);
    return out;
}

// The one conversion on the way, UTF-8 to UTF-16, would put U+FFFD for a byte that is not
// UTF-8, and the child's command line is a NUL-terminated string.
bool canPassAsArgument(std::string_view text) {
    return text.find('\0') == std::string_view::npos && isValidUtf8(text);
}

}  // namespace platform
