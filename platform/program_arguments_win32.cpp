#include "platform/program_arguments.h"

// windows.h first: shellapi.h builds on its macros.
#include <windows.h>

#include <shellapi.h>

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

}  // namespace platform
