#include "tests/support/symbolic_link.h"

#include <windows.h>

#include "platform/paths.h"

namespace testsupport {

bool createSymbolicLink(const std::filesystem::path& target, const std::filesystem::path& link, bool toFolder,
                        std::string& whyNot) {
    // Not through the standard library, which makes no links on Windows.
    std::filesystem::path preferred = target;
    preferred.make_preferred();
    const DWORD flags = (toFolder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    const BOOL made = ::CreateSymbolicLinkW(link.c_str(), preferred.c_str(), flags);
    const DWORD error = ::GetLastError();
    // Wine says yes and makes nothing.
    const DWORD attributes = ::GetFileAttributesW(link.c_str());
    if (made && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    whyNot = "this system makes no symbolic link " + platform::utf8FromPath(link) +
             (made ? std::string(" (it reported one made, but there is none)") : " (error " + std::to_string(error) + ")");
    return false;
}

}  // namespace testsupport
