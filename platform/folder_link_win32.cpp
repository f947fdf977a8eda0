#include "platform/folder_link.h"

#include <windows.h>

namespace platform {

bool isFolderLink(const std::filesystem::path& path) {
    // The entry itself, as its folder lists it: its reparse tag tells a link from the other
    // reparse points a folder may be (a cloud placeholder, a deduplicated folder), which are
    // folders like any other.
    WIN32_FIND_DATAW entry{};
    HANDLE found = ::FindFirstFileExW(path.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
    if (found == INVALID_HANDLE_VALUE) return false;
    ::FindClose(found);
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    return entry.dwReserved0 == IO_REPARSE_TAG_SYMLINK || entry.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT;
}

}  // namespace platform
