#pragma once
// Whether two spellings of a path name the same place as the file system compares names:
// byte for byte on Linux; on Windows without letter case and with "/" and "\" alike, as
// NTFS and FAT compare them.
#include <string>
#include <string_view>

namespace platform {

// Equal keys for paths (UTF-8) the file system takes as one name.
std::string pathKey(std::string_view utf8Path);

}  // namespace platform
